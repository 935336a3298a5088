#include "convert/Module1.h"

#include <fstream>
#include <system_error>

#include "platform/FileIO.h"

namespace quillary {

bool FileExists(std::u16string path) {
  if (path.empty()) return false;
  if (path.back() == u'\\') path.pop_back();
  // A NUL would cut the name short and test some other file.
  if (path.empty() || path.find(u'\0') != std::u16string::npos) return false;
  try {
    const std::filesystem::path file = PathFromText(path);
    // Only regular files: folders fail, and pipes or devices would block or
    // never end when read.
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) return false;
    std::ifstream stream(file, std::ios::binary);
    return stream.is_open();
  } catch (...) {
    return false;  // e.g. a name that does not convert to the system's form
  }
}

DecodedText ReadWholeTextFile(const std::filesystem::path& path) {
  const std::string bytes = ReadFileBytes(path);
  DecodedText decoded = DecodeText(bytes);
  // One character per byte: multi-byte characters leave NULs at the end.
  if (decoded.text.size() < bytes.size()) decoded.text.resize(bytes.size(), u'\0');
  return decoded;
}

std::u16string ReadWholeFile(const std::filesystem::path& path) { return ReadWholeTextFile(path).text; }

void TruncateAtNul(std::u16string& text) {
  const std::size_t nul = text.find(u'\0');
  if (nul != std::u16string::npos) text.resize(nul);
}

}  // namespace quillary
