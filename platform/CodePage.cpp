#include "platform/CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "platform/Errors.h"

namespace quillary {

namespace {

// glibc's "CP932" keeps the backslash and tilde as they are, unlike its
// "SHIFT_JIS", which would turn them into yen and overline.
constexpr const char* kCodePage = "CP932";
constexpr const char* kWide = "UTF-16LE";
constexpr char16_t kReplacement = u'\uFFFD';

class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {
    if (handle_ == reinterpret_cast<iconv_t>(-1))
      throw Error(std::string("code page conversion unavailable: ") + from + " -> " + to);
  }
  ~Converter() { iconv_close(handle_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts as much as it can; returns false with errno set where it stops.
  bool Convert(const char*& in, std::size_t& inLeft, std::string& out) {
    while (inLeft > 0) {
      const std::size_t used = out.size();
      out.resize(used + inLeft * 2 + 16);
      char* outPtr = out.data() + used;
      std::size_t outLeft = out.size() - used;
      char* inPtr = const_cast<char*>(in);
      const std::size_t result = iconv(handle_, &inPtr, &inLeft, &outPtr, &outLeft);
      in = inPtr;
      out.resize(out.size() - outLeft);
      if (result == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
    }
    return true;
  }

 private:
  iconv_t handle_;
};

// Characters the code page table maps one way only, to another character:
// writing them would silently change the text (a yen sign would come back as
// a backslash). The other one-way entries are the JIS forms of the same
// character (wave dash, minus sign ...) and are kept.
bool IsLossyFallback(char16_t c) { return c == u'\u00A5' || c == u'\u203E'; }

}  // namespace

char32_t CodePointAt(std::u16string_view text, std::size_t position) {
  const char16_t unit = text[position];
  if (unit >= 0xD800 && unit < 0xDC00 && position + 1 < text.size()) {
    const char16_t low = text[position + 1];
    if (low >= 0xDC00 && low < 0xE000)
      return 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (low - 0xDC00);
  }
  return unit;
}

std::u16string DecodeCodePage(std::string_view bytes) {
  Converter converter(kWide, kCodePage);
  std::string wide;
  wide.reserve(bytes.size() * 2);
  const char* in = bytes.data();
  std::size_t inLeft = bytes.size();
  while (!converter.Convert(in, inLeft, wide)) {
    // EILSEQ or a sequence cut off at the end: one replacement per bad byte.
    wide.append(reinterpret_cast<const char*>(&kReplacement), 2);
    ++in;
    --inLeft;
  }
  std::u16string text(wide.size() / 2, u'\0');
  std::memcpy(text.data(), wide.data(), text.size() * 2);
  return text;
}

std::string EncodeCodePage(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i)
    if (IsLossyFallback(text[i])) throw UnencodableCharError(i, text[i]);
  Converter converter(kCodePage, kWide);
  std::string bytes;
  bytes.reserve(text.size() * 2);
  const char* in = reinterpret_cast<const char*>(text.data());
  std::size_t inLeft = text.size() * 2;
  if (!converter.Convert(in, inLeft, bytes)) {
    const std::size_t position = (text.size() * 2 - inLeft) / 2;
    throw UnencodableCharError(position, CodePointAt(text, position));
  }
  return bytes;
}

}  // namespace quillary
