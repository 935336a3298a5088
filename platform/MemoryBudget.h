#pragma once
// How much more memory the program may take. A large change asks first and
// is refused before it begins, rather than running out half-way.

#include <cstdint>
#include <new>
#include <optional>
#include <string_view>

namespace quillary {

inline constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;

class MemoryBudget {
 public:
  virtual ~MemoryBudget() = default;
  // True when `bytes` more can be taken.
  virtual bool Affords(std::uint64_t bytes) const = 0;
};

// The limits as they stand when asked: what the machine still has
// (MemAvailable), what the address-space and data limits leave (RLIMIT_AS,
// RLIMIT_DATA less what the process has), what the memory control group
// leaves (its limit less its usage, at every level up to the root),
// whichever is smallest, less a margin for the window's own work.
class SystemMemory final : public MemoryBudget {
 public:
  static constexpr std::uint64_t kMargin = 64 * kMiB;
  // Requests up to this size are granted unmeasured: the margin is there for
  // them, and a keystroke costs no reading of the system's figures.
  static constexpr std::uint64_t kUnmeasured = 1 * kMiB;

  bool Affords(std::uint64_t bytes) const override;
  // What may still be taken with the margin kept back (0 when nothing).
  std::uint64_t Spare() const;
};

// The system's budget, for the documents that are given no other.
const MemoryBudget& SystemMemoryBudget();

// A change refused because it would not fit. It is a bad_alloc, so every
// handler's guard reports it as running out of memory; nothing has changed.
class NotEnoughMemory : public std::bad_alloc {
 public:
  const char* what() const noexcept override;
};

// Throws NotEnoughMemory unless the budget affords `bytes`.
void CheckRoom(const MemoryBudget& budget, std::uint64_t bytes);

// ---- the figures, read from the system's texts ----
// MemAvailable of /proc/meminfo, in bytes.
std::optional<std::uint64_t> MemAvailableOf(std::string_view meminfo);
// The memory control group of the process from /proc/self/cgroup: the
// memory controller's own hierarchy ("4:memory:/a/b") where it has one,
// else the unified hierarchy ("0::/a/b").
struct ControlGroup {
  std::string_view path;
  bool unified = true;
};
std::optional<ControlGroup> MemoryGroupOf(std::string_view procSelfCgroup);

}  // namespace quillary
