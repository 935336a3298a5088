#include <gtest/gtest.h>

#include <map>

#include "platform/AvailableMemory.h"
#include "support/TempDir.h"

namespace quillary {
namespace {

using testing::TempDir;

// A made-up system: the files a row gives, under a folder of their own.
TEST(AvailableMemory, TheLeastOfTheSystemAndTheControlGroups) {
  const std::string meminfo = "MemTotal:       8000000 kB\nMemAvailable:    4000 kB\nBuffers: 1 kB\n";
  const struct {
    const char* name;
    std::map<std::string, std::string> files;
    std::optional<std::uint64_t> expected;
  } rows[] = {
      {"the system's available memory", {{"proc/meminfo", meminfo}, {"proc/self/cgroup", "0::/\n"}}, 4000 * 1024},
      {"a group's limit less its use",
       {{"proc/meminfo", meminfo},
        {"proc/self/cgroup", "0::/a/b\n"},
        {"sys/fs/cgroup/a/b/memory.max", "3000000\n"},
        {"sys/fs/cgroup/a/b/memory.current", "1000000\n"},
        {"sys/fs/cgroup/a/memory.max", "max\n"}},
       2000000},
      {"a group above it tighter",
       {{"proc/meminfo", meminfo},
        {"proc/self/cgroup", "0::/a/b\n"},
        {"sys/fs/cgroup/a/b/memory.max", "3000000\n"},
        {"sys/fs/cgroup/a/memory.max", "1500000\n"},
        {"sys/fs/cgroup/a/memory.current", "1000000\n"}},
       500000},
      {"a group over its limit leaves nothing",
       {{"proc/self/cgroup", "0::/a\n"}, {"sys/fs/cgroup/a/memory.max", "10\n"}, {"sys/fs/cgroup/a/memory.current", "20\n"}},
       0},
      {"the first version's memory controller",
       {{"proc/meminfo", meminfo},
        {"proc/self/cgroup", "4:memory:/job\n1:cpu:/job\n0::/\n"},
        {"sys/fs/cgroup/memory/job/memory.limit_in_bytes", "900000\n"},
        {"sys/fs/cgroup/memory/job/memory.usage_in_bytes", "100000\n"}},
       800000},
  };
  for (const auto& row : rows) {
    TempDir root;
    for (const auto& [name, text] : row.files) {
      std::filesystem::create_directories((root / name).parent_path());
      root.Write(name, text);
    }
    EXPECT_EQ(AvailableMemory(root.path()), row.expected) << row.name;
  }
}

}  // namespace
}  // namespace quillary
