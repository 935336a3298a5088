#include "platform/MemoryBudget.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <string>

#include "platform/FileDescriptor.h"

namespace quillary {

namespace {

constexpr std::uint64_t kUnlimited = std::numeric_limits<std::uint64_t>::max();

// The start of a small system file (the figures are near its top); empty
// when it cannot be read.
class SmallFile {
 public:
  explicit SmallFile(const std::string& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) return;
    for (ssize_t got; size_ < buffer_.size(); size_ += static_cast<std::size_t>(got)) {
      got = ::read(fd.get(), buffer_.data() + size_, buffer_.size() - size_);
      if (got <= 0) break;
    }
  }
  std::string_view text() const { return {buffer_.data(), size_}; }

 private:
  std::array<char, 8192> buffer_;
  std::size_t size_ = 0;
};

std::optional<std::uint64_t> NumberAt(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data()) return std::nullopt;
  return value;
}

// The number after `key` at the start of a line ("MemAvailable:", "inactive_file ").
std::optional<std::uint64_t> FieldOf(std::string_view text, std::string_view key) {
  for (std::size_t at = text.find(key); at != std::string_view::npos; at = text.find(key, at + 1))
    if (at == 0 || text[at - 1] == '\n') return NumberAt(text.substr(at + key.size()));
  return std::nullopt;
}

std::uint64_t Less(std::uint64_t limit, std::uint64_t used) { return limit > used ? limit - used : 0; }

// The n-th field (from 0) of /proc/self/statm, in bytes.
std::uint64_t StatmBytes(int field) {
  const SmallFile statm("/proc/self/statm");
  std::string_view text = statm.text();
  for (int i = 0; i < field && !text.empty(); ++i) text.remove_prefix(std::min(text.find(' ') + 1, text.size()));
  return NumberAt(text).value_or(0) * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
}

// What a resource limit leaves beyond what the process holds of it.
std::uint64_t LimitLeaves(int resource, int statmField) {
  rlimit limit{};
  if (::getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return kUnlimited;
  return Less(limit.rlim_cur, StatmBytes(statmField));
}

// What the control group, and every group above it, leaves.
std::uint64_t ControlGroupLeaves() {
  const SmallFile cgroups("/proc/self/cgroup");
  const std::optional<ControlGroup> group = MemoryGroupOf(cgroups.text());
  if (!group) return kUnlimited;
  const std::string root = group->unified ? "/sys/fs/cgroup" : "/sys/fs/cgroup/memory";
  const char* limitFile = group->unified ? "/memory.max" : "/memory.limit_in_bytes";
  const char* usageFile = group->unified ? "/memory.current" : "/memory.usage_in_bytes";
  // Usage counts the file cache, which the system takes back when asked to;
  // its inactive part is left out, as the system's own working set does.
  const char* cacheKey = group->unified ? "inactive_file " : "total_inactive_file ";
  std::uint64_t leaves = kUnlimited;
  // A group the namespace does not show is passed over; its ancestors are
  // still looked at, up to the root of the mount.
  std::string_view path = group->path;
  while (true) {
    const std::string folder = root + std::string(path);
    const std::optional<std::uint64_t> limit = NumberAt(SmallFile(folder + limitFile).text());  // "max": none
    const std::optional<std::uint64_t> usage = NumberAt(SmallFile(folder + usageFile).text());
    if (limit && usage) {
      const std::uint64_t cache = FieldOf(SmallFile(folder + "/memory.stat").text(), cacheKey).value_or(0);
      leaves = std::min(leaves, Less(*limit, Less(*usage, cache)));
    }
    const std::size_t slash = path.rfind('/');
    if (path.empty() || slash == std::string_view::npos) break;
    path = path.substr(0, slash);
  }
  return leaves;
}

}  // namespace

std::optional<std::uint64_t> MemAvailableOf(std::string_view meminfo) {
  const std::optional<std::uint64_t> kibibytes = FieldOf(meminfo, "MemAvailable:");
  if (!kibibytes) return std::nullopt;
  return *kibibytes * 1024;
}

std::optional<ControlGroup> MemoryGroupOf(std::string_view procSelfCgroup) {
  std::optional<ControlGroup> unified;
  while (!procSelfCgroup.empty()) {
    const std::size_t end = std::min(procSelfCgroup.find('\n'), procSelfCgroup.size());
    const std::string_view line = procSelfCgroup.substr(0, end);
    procSelfCgroup.remove_prefix(std::min(end + 1, procSelfCgroup.size()));
    // hierarchy-ID:controllers:path
    const std::size_t first = line.find(':');
    const std::size_t second = first == std::string_view::npos ? first : line.find(':', first + 1);
    if (second == std::string_view::npos) continue;
    const std::string_view controllers = line.substr(first + 1, second - first - 1);
    const std::string_view path = line.substr(second + 1);
    if (line.substr(0, first) == "0" && controllers.empty()) unified = ControlGroup{path, true};
    for (std::string_view rest = controllers; !rest.empty();) {
      const std::size_t comma = std::min(rest.find(','), rest.size());
      if (rest.substr(0, comma) == "memory") return ControlGroup{path, false};
      rest.remove_prefix(std::min(comma + 1, rest.size()));
    }
  }
  return unified;
}

std::uint64_t SystemMemory::Spare() const {
  std::uint64_t spare = MemAvailableOf(SmallFile("/proc/meminfo").text()).value_or(kUnlimited);
  spare = std::min(spare, LimitLeaves(RLIMIT_AS, 0));    // the whole address space
  spare = std::min(spare, LimitLeaves(RLIMIT_DATA, 5));  // data and stack
  spare = std::min(spare, ControlGroupLeaves());
  return Less(spare, kMargin);
}

bool SystemMemory::Affords(std::uint64_t bytes) const { return bytes <= kUnmeasured || bytes <= Spare(); }

const MemoryBudget& SystemMemoryBudget() {
  static const SystemMemory system;
  return system;
}

const char* NotEnoughMemory::what() const noexcept { return "not enough memory for the change"; }

void CheckRoom(const MemoryBudget& budget, std::uint64_t bytes) {
  if (!budget.Affords(bytes)) throw NotEnoughMemory();
}

}  // namespace quillary
