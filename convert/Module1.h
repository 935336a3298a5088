#pragma once
// Small file and text helpers of the conversion.

#include <filesystem>
#include <string>

#include "platform/TextEncoding.h"

namespace quillary {

// True when path names a regular file that can be opened for reading. One
// trailing backslash is dropped first; folders, pipes and devices test false.
// Never throws.
bool FileExists(std::u16string path);

// The file decoded in the encoding its bytes show (UTF-8 or CP932), padded
// with NUL characters to as many characters as the file has bytes, with the
// encoding it was read in. Throws FileReadError.
DecodedText ReadWholeTextFile(const std::filesystem::path& path);
// Its text alone.
std::u16string ReadWholeFile(const std::filesystem::path& path);

// Cuts the text before its first NUL character, if any.
void TruncateAtNul(std::u16string& text);

}  // namespace quillary
