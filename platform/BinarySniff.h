#pragma once
// Telling a file that is plainly not text (an image, an archive, a program)
// from its first bytes, before it is read as a sheet.

#include <filesystem>
#include <string_view>

namespace quillary {

// How many bytes of a file's start are looked at.
inline constexpr std::size_t kSniffedBytes = 4096;

// True when the bytes (a file's start) hold a NUL byte, which no text in
// the program's encodings holds, or begin with the signature of a common
// image, archive, document or program format.
bool LooksBinary(std::string_view head);

// LooksBinary for the file's first kSniffedBytes; a file that cannot be
// read is not judged here (false), so its reading reports the failure.
bool FileLooksBinary(const std::filesystem::path& path);

}  // namespace quillary
