#include "platform/AvailableMemory.h"

#include <sys/resource.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

namespace quillary {

namespace {

using Bytes = std::optional<std::uint64_t>;

Bytes Least(Bytes a, Bytes b) {
  if (!a) return b;
  if (!b) return a;
  return std::min(*a, *b);
}

// What a limit leaves once `used` is taken (nothing, not less, when used is over it).
std::uint64_t Left(std::uint64_t limit, std::uint64_t used) { return limit > used ? limit - used : 0; }

// The first number in the file (a lone "max" is no limit).
Bytes NumberIn(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::uint64_t number = 0;
  if (in >> number) return number;
  return std::nullopt;
}

// The value of "Name: number kB" in a file of such lines, in bytes.
Bytes KilobytesOf(const std::filesystem::path& file, const std::string& name) {
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    if (!line.starts_with(name + ":")) continue;
    std::istringstream value(line.substr(name.size() + 1));
    std::uint64_t kilobytes = 0;
    if (value >> kilobytes) return kilobytes * 1024;
  }
  return std::nullopt;
}

Bytes RlimitLeft(int resource, const std::filesystem::path& status, const std::string& usedName) {
  rlimit limit{};
  if (::getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return std::nullopt;
  return Left(limit.rlim_cur, KilobytesOf(status, usedName).value_or(0));
}

// The group's limit less its use, and every group's above it.
Bytes GroupLeft(const std::filesystem::path& groups, std::filesystem::path group, const char* limitFile,
                const char* usageFile) {
  Bytes least;
  for (;; group = group.parent_path()) {
    const std::filesystem::path dir = groups / group.relative_path();
    if (const Bytes limit = NumberIn(dir / limitFile)) least = Least(least, Left(*limit, NumberIn(dir / usageFile).value_or(0)));
    if (!group.has_relative_path()) return least;
  }
}

// Version 2 ("0::/path") and version 1's memory controller ("N:memory:/path").
Bytes ControlGroupLeft(const std::filesystem::path& root) {
  std::ifstream in(root / "proc/self/cgroup");
  Bytes least;
  for (std::string line; std::getline(in, line);) {
    const std::size_t first = line.find(':'), second = line.find(':', first + 1);
    if (first == std::string::npos || second == std::string::npos) continue;
    const std::string controllers = line.substr(first + 1, second - first - 1);
    const std::filesystem::path group = line.substr(second + 1);
    if (controllers.empty())
      least = Least(least, GroupLeft(root / "sys/fs/cgroup", group, "memory.max", "memory.current"));
    else if (controllers == "memory")
      least = Least(least,
                    GroupLeft(root / "sys/fs/cgroup/memory", group, "memory.limit_in_bytes", "memory.usage_in_bytes"));
  }
  return least;
}

}  // namespace

std::optional<std::uint64_t> AvailableMemory(const std::filesystem::path& root) {
  const std::filesystem::path status = root / "proc/self/status";
  Bytes least = KilobytesOf(root / "proc/meminfo", "MemAvailable");
  least = Least(least, RlimitLeft(RLIMIT_AS, status, "VmSize"));
  least = Least(least, RlimitLeft(RLIMIT_DATA, status, "VmData"));
  return Least(least, ControlGroupLeft(root));
}

}  // namespace quillary
