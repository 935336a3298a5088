#include "platform/TextEncoding.h"

#include <optional>

#include "platform/CodePage.h"
#include "platform/Utf8.h"

namespace quillary {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Lines end at CR LF, CR or LF; none of these bytes is ever part of a
// multi-byte character in either encoding.
std::size_t LineOf(std::string_view bytes, std::size_t offset) {
  std::size_t line = 1;
  for (std::size_t i = 0; i < offset && i < bytes.size(); ++i) {
    if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n'))) ++line;
  }
  return line;
}

}  // namespace

const char* EncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8: return "UTF-8";
    case TextEncoding::Utf8WithBom: return "UTF-8 with BOM";
    case TextEncoding::Cp932: break;
  }
  return "CP932";
}

DecodedText DecodeText(std::string_view bytes) {
  DecodedText decoded;
  if (bytes.starts_with(kByteOrderMark)) {
    decoded.encoding = TextEncoding::Utf8WithBom;
    decoded.text = DecodeUtf8(bytes.substr(kByteOrderMark.size()), decoded.undecodable, kByteOrderMark.size());
  } else {
    bool sawHighByte = false;
    if (std::optional<std::u16string> utf8 = DecodeWellFormedUtf8(bytes, sawHighByte)) {
      // Plain ASCII reads the same in the code page: it keeps the program's.
      decoded.encoding = sawHighByte ? TextEncoding::Utf8 : TextEncoding::Cp932;
      decoded.ascii = !sawHighByte;
      decoded.text = std::move(*utf8);
    } else {
      decoded.encoding = TextEncoding::Cp932;
      decoded.text = DecodeCodePage(bytes, &decoded.undecodable);
      // CP932 text seldom holds UTF-8 sequences, half-width katakana at most
      // one pair in two; UTF-8 with a stray byte or two holds mostly them.
      // Its bytes may even all read as CP932: the damage is told all the same.
      const Utf8Damage damage = FindUtf8Damage(bytes);
      if (damage.wellFormed >= 2 * damage.malformed.count) {
        decoded.undecodable = damage.malformed;
        decoded.undecodable.damagedUtf8 = true;
      }
    }
  }
  if (decoded.undecodable.count > 0) decoded.undecodable.firstLine = LineOf(bytes, decoded.undecodable.firstOffset);
  return decoded;
}

TextEncoding DetectEncoding(std::string_view bytes, bool& ascii) {
  ascii = false;
  if (bytes.starts_with(kByteOrderMark)) return TextEncoding::Utf8WithBom;
  bool sawHighByte = false;
  if (!IsWellFormedUtf8(bytes, sawHighByte)) return TextEncoding::Cp932;
  ascii = !sawHighByte;
  return sawHighByte ? TextEncoding::Utf8 : TextEncoding::Cp932;
}

std::string EncodeText(std::u16string_view text, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8: return EncodeUtf8(text);
    case TextEncoding::Utf8WithBom: return std::string(kByteOrderMark) + EncodeUtf8(text);
    case TextEncoding::Cp932: break;
  }
  return EncodeCodePage(text);
}

}  // namespace quillary
