#pragma once
// How much more memory this process may take: the least of what the system
// has available, what the process's address-space and data limits leave
// it, and what the memory limits of its control group and the groups above
// it leave.

#include <cstdint>
#include <filesystem>
#include <optional>

namespace quillary {

// In bytes; nothing when none of them is known. The files are read under
// root ("/" but in tests): proc/meminfo, proc/self/status, proc/self/cgroup
// and the groups' files under sys/fs/cgroup (version 2, or version 1's
// memory controller).
std::optional<std::uint64_t> AvailableMemory(const std::filesystem::path& root = "/");

}  // namespace quillary
