#pragma once
// Encodes a text handed over piece by piece into the bytes EncodeText would
// make of it whole, so a large text never needs to be held as UTF-16.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/TextEncoding.h"

namespace quillary {

class TextEncoder {
 public:
  // Appends to bytes, the byte-order mark first for Utf8WithBom.
  TextEncoder(TextEncoding encoding, std::string& bytes);

  // Throws UnencodableCharError with the position in the whole text.
  void Append(std::u16string_view piece);
  // A surrogate left unpaired at the end throws too.
  void Finish();

 private:
  void Encode(std::u16string_view piece);

  TextEncoding encoding_;
  std::string& bytes_;
  std::size_t position_ = 0;  // units encoded so far
  // A high surrogate ending a piece waits for the low one.
  char16_t high_ = 0;
};

}  // namespace quillary
