#include "platform/TextEncoder.h"

#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "platform/Utf8.h"

namespace quillary {

namespace {
bool IsHigh(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
}  // namespace

TextEncoder::TextEncoder(TextEncoding encoding, std::string& bytes) : encoding_(encoding), bytes_(bytes) {
  if (encoding == TextEncoding::Utf8WithBom) bytes_.append("\xEF\xBB\xBF");
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
  if (high_ == 0) return;
  const char16_t alone = high_;
  high_ = 0;
  Encode(std::u16string_view(&alone, 1));
}

void TextEncoder::Encode(std::u16string_view piece) {
  try {
    if (encoding_ == TextEncoding::Cp932)
      AppendCodePage(piece, bytes_);
    else
      AppendUtf8(piece, bytes_);
  } catch (const UnencodableCharError& error) {
    throw UnencodableCharError(position_ + error.position(), error.character(), error.encoding());
  }
  position_ += piece.size();
}

}  // namespace quillary
