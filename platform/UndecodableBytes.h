#pragma once
// What a decoder tells of the bytes it could not read.

#include <cstddef>

namespace quillary {

// Bytes that did not decode; each shows as U+FFFD in the text.
struct UndecodableBytes {
  std::size_t count = 0;
  std::size_t firstOffset = 0;  // from the start of the file, 0-based
  std::size_t firstLine = 0;    // 1-based line of the first one (CR, LF, CR LF end lines)
  // The file was read as CP932, but it is UTF-8 with a few bad sequences
  // (see DecodeText): the count and the place are those of the bad UTF-8
  // sequences, one each, since that is what the user has to mend.
  bool damagedUtf8 = false;
};

}  // namespace quillary
