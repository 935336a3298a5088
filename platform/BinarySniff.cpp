#include "platform/BinarySniff.h"

#include <fstream>
#include <string>
#include <system_error>

namespace quillary {

namespace {

// Signatures that no CSV file begins with.
constexpr std::string_view kSignatures[] = {
    "\x89PNG",       // PNG
    "\xFF\xD8\xFF",  // JPEG
    "GIF87a",
    "GIF89a",
    "%PDF-",
    "PK\x03\x04",  // ZIP, and the office formats built on it
    "\x1F\x8B",    // gzip
    "Rar!\x1A\x07",
    "7z\xBC\xAF\x27\x1C",
    "\xD0\xCF\x11\xE0",  // old office documents
    "\x7F"
    "ELF",
    "BZh",  // bzip2 (followed by a block size digit and a magic number)
};

bool StartsWith(std::string_view text, std::string_view start) { return text.substr(0, start.size()) == start; }

}  // namespace

bool LooksBinary(std::string_view head) {
  if (head.find('\0') != std::string_view::npos) return true;
  for (const std::string_view signature : kSignatures) {
    if (!StartsWith(head, signature)) continue;
    // "BZh" alone could begin a line of text: only with bzip2's magic.
    if (signature == "BZh") return head.size() >= 10 && head.substr(4, 6) == "1AY&SY";
    return true;
  }
  // RIFF containers (WebP, WAVE, AVI) and the ISO media formats (HEIC, MP4).
  if (StartsWith(head, "RIFF") && head.size() >= 12) return true;
  return head.size() >= 12 && head.substr(4, 4) == "ftyp";
}

bool FileLooksBinary(const std::filesystem::path& path) {
  // Devices and pipes are left to the reading, which refuses them.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::string head(kSniffedBytes, '\0');
  file.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(file.gcount()));
  return LooksBinary(head);
}

}  // namespace quillary
