#include "platform/CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/AsciiRun.h"
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

  // Converts one small piece whole: the bytes out, or errno's reason.
  bool Convert(std::string_view in, std::string& out, int& reason) {
    char buffer[16];
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    if (iconv(handle_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
      reason = errno;
      return false;
    }
    out.assign(buffer, static_cast<std::size_t>(outPtr - buffer));
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

bool IsSurrogate(char16_t c) { return c >= 0xD800 && c < 0xE000; }

char16_t UnitOf(const std::string& wide) {
  return static_cast<char16_t>(static_cast<unsigned char>(wide[0]) | static_cast<unsigned char>(wide[1]) << 8);
}

// The code page is asked once per distinct byte, byte pair or character and
// the answers are kept for the life of the program: a long text then costs
// one table look-up per character instead of a pass through the converter.
// The code page holds only characters of the basic plane, one unit each.
class CodePageTables {
 public:
  static CodePageTables& Instance() {
    static CodePageTables tables;
    return tables;
  }

  std::mutex& Mutex() { return mutex_; }

  enum class ByteKind : std::uint8_t { Unknown, Character, Lead, Bad };
  struct ByteEntry {
    ByteKind kind = ByteKind::Unknown;
    char16_t unit = 0;
  };

  const ByteEntry& Byte(unsigned char b) {
    ByteEntry& entry = bytes_[b];
    if (entry.kind == ByteKind::Unknown) {
      std::string wide;
      int reason = 0;
      const char piece[1] = {static_cast<char>(b)};
      if (decoder_.Convert(std::string_view(piece, 1), wide, reason) && wide.size() == 2)
        entry = {ByteKind::Character, UnitOf(wide)};
      else
        entry.kind = reason == EINVAL ? ByteKind::Lead : ByteKind::Bad;
    }
    return entry;
  }

  // The character a lead byte and the byte after it stand for, if any.
  bool Pair(unsigned char lead, unsigned char trail, char16_t& unit) {
    std::uint32_t& entry = pairs_[lead << 8 | trail];
    if (entry == kUnknown) {
      std::string wide;
      int reason = 0;
      const char piece[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      entry = decoder_.Convert(std::string_view(piece, 2), wide, reason) && wide.size() == 2 ? UnitOf(wide) : kNone;
    }
    unit = static_cast<char16_t>(entry);
    return entry != kNone;
  }

  // One character of the basic plane in the code page: its byte count
  // (0 when the code page cannot express it exactly) and its bytes.
  struct Encoding {
    std::uint8_t size;
    char bytes[2];
  };

  Encoding Encoded(char16_t c) {
    std::uint32_t& entry = encoded_[c];
    if (entry == kUnknown) {
      std::string bytes;
      int reason = 0;
      const char wide[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
      const bool ok = !IsLossyFallback(c) && encoder_.Convert(std::string_view(wide, 2), bytes, reason) &&
                      !bytes.empty() && bytes.size() <= 2;
      entry = ok ? static_cast<std::uint32_t>(bytes.size()) << 16 | static_cast<unsigned char>(bytes[0]) << 8 |
                       (bytes.size() == 2 ? static_cast<unsigned char>(bytes[1]) : 0)
                 : kNone;
    }
    if (entry == kNone) return {0, {}};
    return {static_cast<std::uint8_t>(entry >> 16),
            {static_cast<char>(entry >> 8 & 0xFF), static_cast<char>(entry & 0xFF)}};
  }

 private:
  static constexpr std::uint32_t kUnknown = 0xFFFFFFFF;
  static constexpr std::uint32_t kNone = 0xFFFFFFFE;

  CodePageTables()
      : decoder_(kWide, kCodePage),
        encoder_(kCodePage, kWide),
        pairs_(1 << 16, kUnknown),
        encoded_(1 << 16, kUnknown) {}

  std::mutex mutex_;
  Converter decoder_;
  Converter encoder_;
  ByteEntry bytes_[256];
  std::vector<std::uint32_t> pairs_;
  std::vector<std::uint32_t> encoded_;
};

}  // namespace

char32_t CodePointAt(std::u16string_view text, std::size_t position) {
  const char16_t unit = text[position];
  if (unit >= 0xD800 && unit < 0xDC00 && position + 1 < text.size()) {
    const char16_t low = text[position + 1];
    if (low >= 0xDC00 && low < 0xE000) return 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (low - 0xDC00);
  }
  return unit;
}

std::u16string DecodeCodePage(std::string_view bytes, UndecodableBytes* undecodable) {
  CodePageTables& tables = CodePageTables::Instance();
  const std::lock_guard lock(tables.Mutex());
  std::u16string text(bytes.size(), u'\0');
  char16_t* out = text.data();
  for (std::size_t i = 0; i < bytes.size(); ++out) {
    const auto b = static_cast<unsigned char>(bytes[i++]);
    const auto& entry = tables.Byte(b);
    if (entry.kind == CodePageTables::ByteKind::Character) {
      *out = entry.unit;
    } else if (entry.kind == CodePageTables::ByteKind::Lead && i < bytes.size() &&
               tables.Pair(b, static_cast<unsigned char>(bytes[i]), *out)) {
      ++i;
    } else {
      // A bad byte, or a lead byte cut off or followed by a byte that does
      // not pair with it: one replacement, and the next byte is read anew.
      *out = kReplacement;
      if (undecodable) {
        if (undecodable->count == 0) undecodable->firstOffset = i - 1;
        ++undecodable->count;
      }
    }
  }
  text.resize(static_cast<std::size_t>(out - text.data()));
  return text;
}

std::string EncodeCodePage(std::u16string_view text) {
  std::string bytes(text.size() * 2, '\0');
  bytes.resize(static_cast<std::size_t>(EncodeCodePageTo(text, bytes.data()) - bytes.data()));
  return bytes;
}

char* EncodeCodePageTo(std::u16string_view text, char* out) {
  CodePageTables& tables = CodePageTables::Instance();
  const std::lock_guard lock(tables.Mutex());
  for (std::size_t i = 0; i < text.size(); ++i) {
    // The code page keeps ASCII as it is (backslash and tilde too).
    i = CopyAsciiRun(text, i, out);
    if (i == text.size()) break;
    const auto encoding = IsSurrogate(text[i]) ? CodePageTables::Encoding{0, {}} : tables.Encoded(text[i]);
    if (encoding.size == 0) throw UnencodableCharError(i, CodePointAt(text, i), TextEncoding::Cp932);
    *out++ = encoding.bytes[0];
    if (encoding.size == 2) *out++ = encoding.bytes[1];
  }
  return out;
}

std::size_t CodePagePrefix(std::u16string_view text) {
  CodePageTables& tables = CodePageTables::Instance();
  const std::lock_guard lock(tables.Mutex());
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] >= 0x80 && (IsSurrogate(text[i]) || tables.Encoded(text[i]).size == 0)) return i;
  return text.size();
}

}  // namespace quillary
