#include "sheet/CsvShape.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/Errors.h"
#include "platform/RegularFile.h"

namespace quillary {

namespace {

// The bits set in a 16-bit mask, without a call where the processor has no
// instruction for it.
unsigned Ones(unsigned mask) {
  mask -= (mask >> 1) & 0x5555u;
  mask = (mask & 0x3333u) + ((mask >> 2) & 0x3333u);
  mask = (mask + (mask >> 4)) & 0x0F0Fu;
  return (mask + (mask >> 8)) & 0x1Fu;
}

}  // namespace

void CsvShapeCounter::Add(std::string_view bytes) {
  shape_.bytes += bytes.size();
  if (inHeader_) {
    const std::size_t end = std::min(bytes.find('\n'), bytes.size());
    for (const char c : bytes.substr(0, end)) {
      if (c == ',') {
        shape_.headerNames += headerFieldNamed_ ? 1 : 0;
        headerFieldNamed_ = false;
        ++lineCommas_;
        ++shape_.separators;
      } else if (c != '\r') {
        headerFieldNamed_ = true;
      }
    }
    if (end == bytes.size()) return;
    shape_.headerNames += headerFieldNamed_ ? 1 : 0;
    inHeader_ = false;
    EndLine();
    bytes.remove_prefix(end + 1);
  }
  std::size_t i = 0;
#if defined(__SSE2__)
  // Sixteen bytes a step: the commas before each line feed end its line.
  const __m128i commas = _mm_set1_epi8(','), feeds = _mm_set1_epi8('\n');
  for (; i + 16 <= bytes.size(); i += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + i));
    auto comma = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, commas)));
    for (auto feed = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, feeds))); feed != 0;
         feed &= feed - 1) {
      const unsigned before = (feed & (0u - feed)) - 1;
      lineCommas_ += Ones(comma & before);
      shape_.separators += Ones(comma & before);
      comma &= ~before;
      EndLine();
    }
    lineCommas_ += Ones(comma);
    shape_.separators += Ones(comma);
  }
#endif
  for (; i < bytes.size(); ++i) {
    if (bytes[i] == ',') {
      ++lineCommas_;
      ++shape_.separators;
    } else if (bytes[i] == '\n') {
      EndLine();
    }
  }
}

void CsvShapeCounter::EndLine() {
  ++shape_.separators;
  shape_.widestLine = std::max(shape_.widestLine, lineCommas_ + 1);
  lineCommas_ = 0;
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
