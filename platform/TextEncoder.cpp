#include "platform/TextEncoder.h"

#include <algorithm>
#include <cstring>

#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "platform/Utf8.h"

namespace quillary {

namespace {
bool IsHigh(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
}  // namespace

TextEncoder::TextEncoder(TextEncoding encoding, Writer write)
    : encoding_(encoding), write_(std::move(write)), block_(new char[kBlock]) {
  if (encoding == TextEncoding::Utf8WithBom) {
    std::memcpy(block_.get(), "\xEF\xBB\xBF", 3);
    used_ = 3;
  }
}

void TextEncoder::Append(std::u16string_view piece) {
  if (piece.empty()) return;
  if (high_ != 0) {
    const char16_t pair[2] = {high_, piece.front()};
    high_ = 0;
    const bool low = pair[1] >= 0xDC00 && pair[1] < 0xE000;
    Encode(std::u16string_view(pair, low ? 2 : 1));
    if (low) piece.remove_prefix(1);
  }
  if (!piece.empty() && IsHigh(piece.back())) {
    high_ = piece.back();
    piece.remove_suffix(1);
  }
  Encode(piece);
}

void TextEncoder::Finish() {
  if (high_ != 0) {
    const char16_t alone = high_;
    high_ = 0;
    Encode(std::u16string_view(&alone, 1));
  }
  Flush();
}

// In parts that fit the block at the most bytes a unit can take, never
// parting a surrogate pair.
void TextEncoder::Encode(std::u16string_view piece) {
  const std::size_t most = encoding_ == TextEncoding::Cp932 ? 2 : 3;
  while (!piece.empty()) {
    std::size_t take = std::min(piece.size(), (kBlock - used_) / most);
    if (take < piece.size() && take > 0 && IsHigh(piece[take - 1])) --take;
    if (take == 0) {
      Flush();
      continue;
    }
    char* const out = block_.get() + used_;
    char* end;
    try {
      end = encoding_ == TextEncoding::Cp932 ? EncodeCodePageTo(piece.substr(0, take), out)
                                             : EncodeUtf8To(piece.substr(0, take), out);
    } catch (const UnencodableCharError& error) {
      throw UnencodableCharError(position_ + error.position(), error.character(), error.encoding());
    }
    used_ = static_cast<std::size_t>(end - block_.get());
    position_ += take;
    piece.remove_prefix(take);
  }
}

void TextEncoder::Flush() {
  if (used_ == 0) return;
  write_(std::string_view(block_.get(), used_));
  used_ = 0;
}

}  // namespace quillary
