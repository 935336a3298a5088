// The system's memory budget under the process's own limits, and the
// figures it reads from the system's texts.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "platform/MemoryBudget.h"

namespace quillary {
namespace {

#if defined(__SANITIZE_ADDRESS__)
TEST(SystemMemory, KeepsWithinTheProcessLimits) {
  GTEST_SKIP() << "AddressSanitizer needs far more address space than a limit leaves";
}
#else
// The n-th field of /proc/self/statm, in bytes.
std::uint64_t Statm(int field) {
  std::ifstream statm("/proc/self/statm");
  std::uint64_t pages = 0;
  for (int i = 0; i <= field; ++i) statm >> pages;
  return pages * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
}

TEST(SystemMemory, KeepsWithinTheProcessLimits) {
  const struct {
    const char* name;
    int resource;
    int statmField;
  } cases[] = {{"address space", RLIMIT_AS, 0}, {"data", RLIMIT_DATA, 5}};
  constexpr std::uint64_t kRoom = 512 * kMiB;
  for (const auto& c : cases) {
    const pid_t child = ::fork();
    if (child == 0) {
      const rlimit limit{Statm(c.statmField) + kRoom, RLIM_INFINITY};
      if (::setrlimit(c.resource, &limit) != 0) ::_exit(32);
      const SystemMemory system;
      const std::uint64_t spare = system.Spare();
      // What the limit leaves less the margin, give or take what the
      // process took since; one bit for each thing that is wrong.
      int wrong = spare > kRoom - SystemMemory::kMargin ? 1 : 0;
      wrong |= spare < kRoom - SystemMemory::kMargin - 32 * kMiB ? 2 : 0;
      wrong |= system.Affords(512 * 1024) ? 0 : 4;
      wrong |= system.Affords(256 * kMiB) ? 0 : 8;
      wrong |= system.Affords(kRoom) ? 16 : 0;
      ::_exit(wrong);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << c.name;
    EXPECT_EQ(WEXITSTATUS(status), 0) << c.name << ": 1 spare over the room, 2 spare far under it, 4 or 8 refuses "
                                      << "512 KiB or 256 MiB, 16 affords all the room, 32 no limit set";
  }
}
#endif

TEST(SystemMemory, ReadsTheSystemsTexts) {
  EXPECT_EQ(MemAvailableOf("MemTotal:  100 kB\nMemAvailable:     75 kB\n"), 75 * 1024);
  EXPECT_EQ(MemAvailableOf("XMemAvailable: 75 kB\n"), std::nullopt);
  // The memory controller on a hierarchy of its own comes first, alone or
  // with others; else the unified hierarchy.
  for (const char* cgroup : {"5:cpu:/\n4:memory:/docker/abc\n0::/\n", "3:cpu,memory:/docker/abc"}) {
    const std::optional<ControlGroup> group = MemoryGroupOf(cgroup);
    ASSERT_TRUE(group.has_value()) << cgroup;
    EXPECT_EQ(group->path, "/docker/abc") << cgroup;
    EXPECT_FALSE(group->unified) << cgroup;
  }
  const std::optional<ControlGroup> unified = MemoryGroupOf("0::/user.slice/app.scope\n");
  ASSERT_TRUE(unified.has_value());
  EXPECT_EQ(unified->path, "/user.slice/app.scope");
  EXPECT_TRUE(unified->unified);
  EXPECT_EQ(MemoryGroupOf(""), std::nullopt);
}

}  // namespace
}  // namespace quillary
