#pragma once
// Opening a file the program reads: a regular file only, no larger than a
// limit, refused at once otherwise.

#include <cstdint>
#include <filesystem>

#include "platform/FileDescriptor.h"

namespace quillary {

// A folder, device, pipe or socket is refused without waiting for it, and
// so is a file over `limit` bytes; size is what the file holds when it is
// opened. Throws FileReadError.
FileDescriptor OpenRegularFile(const std::filesystem::path& path, std::uintmax_t limit, std::uintmax_t& size);

}  // namespace quillary
