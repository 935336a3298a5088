#pragma once
// Whole-file reading and replacing writes.

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/TextEncoding.h"

namespace quillary {

// Throws FileReadError when the file cannot be opened or read, or is a folder.
std::string ReadFileBytes(const std::filesystem::path& path);

// The file's text, its encoding decided from its bytes. Throws FileReadError.
DecodedText ReadTextFile(const std::filesystem::path& path);

// Writes bytes to a temporary file beside the target, then renames it over
// the target: the old file stays whole when anything fails. An existing
// target keeps its permission bits. Throws FileWriteError.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// The path for a file name as the user typed it.
std::filesystem::path PathFromText(std::u16string_view text);

}  // namespace quillary
