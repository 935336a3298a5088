#include "convert/PageNames.h"

#include <algorithm>

namespace quillary {

namespace {

constexpr std::size_t kLongestExtension = 16;

bool IsHigh(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
bool IsLow(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

bool Refused(char16_t c) { return c == u'/' || c == u'\\' || c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// Bytes of UTF-8 for the character at i, and how many units it takes.
std::size_t Utf8Bytes(std::u16string_view text, std::size_t i, std::size_t& units) {
  const char16_t c = text[i];
  units = 1;
  if (c < 0x80) return 1;
  if (c < 0x800) return 2;
  if (IsHigh(c) && i + 1 < text.size() && IsLow(text[i + 1])) {
    units = 2;
    return 4;
  }
  return 3;
}

std::size_t Utf8Size(std::u16string_view text) {
  std::size_t bytes = 0;
  for (std::size_t i = 0, units = 0; i < text.size(); i += units) bytes += Utf8Bytes(text, i, units);
  return bytes;
}

// The longest start of text within maxBytes, at a character boundary.
std::u16string_view Cut(std::u16string_view text, std::size_t maxBytes) {
  std::size_t bytes = 0, i = 0;
  for (std::size_t units = 0; i < text.size(); i += units) {
    const std::size_t size = Utf8Bytes(text, i, units);
    if (bytes + size > maxBytes) break;
    bytes += size;
  }
  return text.substr(0, i);
}

}  // namespace

std::u16string SafeFileName(std::u16string_view name, std::size_t maxBytes) {
  std::u16string safe(name);
  for (std::size_t i = 0; i < safe.size(); ++i) {
    const char16_t c = safe[i];
    if (IsHigh(c) && i + 1 < safe.size() && IsLow(safe[i + 1]))
      ++i;
    else if (Refused(c) || IsHigh(c) || IsLow(c))
      safe[i] = u'_';
  }
  if (Utf8Size(safe) > maxBytes) {
    const std::size_t dot = safe.rfind(u'.');
    std::u16string_view extension;
    if (dot != std::u16string::npos && dot > 0 && safe.size() - dot <= kLongestExtension + 1 &&
        Utf8Size(std::u16string_view(safe).substr(dot)) < maxBytes)
      extension = std::u16string_view(safe).substr(dot);
    const std::u16string_view whole(safe);
    std::u16string cut(Cut(whole.substr(0, whole.size() - extension.size()), maxBytes - Utf8Size(extension)));
    cut.append(extension);
    safe = std::move(cut);
  }
  if (safe == u"." || safe == u"..") std::replace(safe.begin(), safe.end(), u'.', u'_');
  return safe;
}

}  // namespace quillary
