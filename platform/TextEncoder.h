#pragma once
// Encodes a text handed over piece by piece into the bytes EncodeText would
// make of it whole, handing them on in blocks, so a large text is never held
// whole, neither as UTF-16 nor as bytes.

#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>

#include "platform/TextEncoding.h"

namespace quillary {

class TextEncoder {
 public:
  using Writer = std::function<void(std::string_view bytes)>;
  // The byte-order mark comes first for Utf8WithBom.
  TextEncoder(TextEncoding encoding, Writer write);

  // Throws UnencodableCharError with the position in the whole text.
  void Append(std::u16string_view piece);
  // A surrogate left unpaired at the end throws too; then the last bytes
  // are handed on.
  void Finish();

 private:
  static constexpr std::size_t kBlock = std::size_t{1} << 20;
  void Encode(std::u16string_view piece);
  void Flush();

  TextEncoding encoding_;
  Writer write_;
  std::unique_ptr<char[]> block_;
  std::size_t used_ = 0;
  std::size_t position_ = 0;  // units encoded so far
  // A high surrogate ending a piece waits for the low one.
  char16_t high_ = 0;
};

}  // namespace quillary
