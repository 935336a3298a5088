#include "sheet/CsvShape.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/Errors.h"
#include "platform/RegularFile.h"

namespace quillary {

void CsvShapeCounter::Add(std::string_view bytes) {
  shape_.bytes += bytes.size();
  while (!bytes.empty()) {
    const auto feed = static_cast<const char*>(std::memchr(bytes.data(), '\n', bytes.size()));
    const std::size_t length = feed ? static_cast<std::size_t>(feed - bytes.data()) : bytes.size();
    const std::string_view line = bytes.substr(0, length);
    if (inHeader_) {
      for (const char c : line) {
        if (c == ',') {
          shape_.headerNames += headerFieldNamed_ ? 1 : 0;
          headerFieldNamed_ = false;
        } else if (c != '\r') {
          headerFieldNamed_ = true;
        }
      }
    }
    const auto commas = static_cast<std::uint64_t>(std::count(line.begin(), line.end(), ','));
    lineCommas_ += commas;
    shape_.separators += commas;
    if (!feed) return;
    ++shape_.separators;
    shape_.widestLine = std::max(shape_.widestLine, lineCommas_ + 1);
    lineCommas_ = 0;
    if (inHeader_) shape_.headerNames += headerFieldNamed_ ? 1 : 0;
    inHeader_ = false;
    bytes.remove_prefix(length + 1);
  }
}

CsvShape CsvShapeCounter::Shape() const {
  CsvShape shape = shape_;
  // The last line, if no line feed ends it.
  shape.widestLine = std::max(shape.widestLine, lineCommas_ + 1);
  if (inHeader_ && headerFieldNamed_) ++shape.headerNames;
  return shape;
}

CsvShape ReadCsvShape(const std::filesystem::path& path) {
  std::uintmax_t size = 0;
  const FileDescriptor file = OpenRegularFile(path, std::numeric_limits<std::uintmax_t>::max(), size);
  CsvShapeCounter counter;
  std::vector<char> piece(std::size_t{1} << 20);
  for (;;) {
    const ssize_t got = ::read(file.get(), piece.data(), piece.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      throw FileReadError(path, ProblemOf(errno), errno);
    }
    if (got == 0) return counter.Shape();
    counter.Add(std::string_view(piece.data(), static_cast<std::size_t>(got)));
  }
}

}  // namespace quillary
