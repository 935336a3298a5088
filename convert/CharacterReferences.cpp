#include "convert/CharacterReferences.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>

#include "platform/CodePage.h"

namespace quillary {

namespace {

bool IsHigh(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
bool IsLow(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

char32_t Pair(char16_t high, char16_t low) {
  return 0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) + (static_cast<char32_t>(low) - 0xDC00);
}

}  // namespace

bool IsHtmlTemplateName(const std::filesystem::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".htm" || extension == ".html";
}

void ReferencingEncoder::Append(std::u16string_view piece) {
  if (piece.empty()) return;
  if (high_ != 0) {
    const char16_t high = high_;
    high_ = 0;
    if (IsLow(piece.front())) {
      Reference(Pair(high, piece.front()));
      piece.remove_prefix(1);
    } else {
      encoder_.Append(std::u16string_view(&high, 1));
    }
  }
  while (!piece.empty()) {
    const std::size_t kept = CodePagePrefix(piece);
    encoder_.Append(piece.substr(0, kept));
    piece.remove_prefix(kept);
    if (piece.empty()) return;
    const char16_t unit = piece.front();
    if (IsHigh(unit) && piece.size() == 1) {
      high_ = unit;
      return;
    }
    if (IsHigh(unit) && IsLow(piece[1])) {
      Reference(Pair(unit, piece[1]));
      piece.remove_prefix(2);
    } else if (IsHigh(unit) || IsLow(unit)) {
      encoder_.Append(piece.substr(0, 1));  // refused there
      piece.remove_prefix(1);
    } else {
      Reference(unit);
      piece.remove_prefix(1);
    }
  }
}

void ReferencingEncoder::Finish() {
  if (high_ == 0) return;
  const char16_t alone = high_;
  high_ = 0;
  encoder_.Append(std::u16string_view(&alone, 1));
}

void ReferencingEncoder::Reference(char32_t character) {
  char text[16];
  const int length = std::snprintf(text, sizeof text, "&#x%X;", static_cast<unsigned>(character));
  const std::u16string reference(text, text + length);
  encoder_.Append(reference);
  ++references_;
}

}  // namespace quillary
