#pragma once
// Small file and text helpers of the conversion.

#include <filesystem>
#include <string>

namespace quillary {

// True when path names a regular file that can be opened for reading. One
// trailing backslash is dropped first; folders, pipes and devices test false.
// Never throws.
bool FileExists(std::u16string path);

// The file decoded from the code page, padded with NUL characters to as many
// characters as the file has bytes. Throws FileReadError.
std::u16string ReadWholeFile(const std::filesystem::path& path);

// Cuts the text before its first NUL character, if any.
void TruncateAtNul(std::u16string& text);

}  // namespace quillary
