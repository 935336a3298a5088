#include "platform/Utf8.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <thread>

#include "platform/AsciiRun.h"
#include "platform/Errors.h"

namespace quillary {

namespace {

constexpr char16_t kReplacement = u'\uFFFD';

// The sequence that starts at a byte of 0x80 or above: how many bytes it
// has when well-formed (0: malformed) and, if malformed, how many bytes
// make its longest well-formed start (at least 1).
struct Sequence {
  std::size_t length;
  std::size_t malformedLength;
  char32_t codePoint;
};

Sequence ReadSequence(const unsigned char* p, const unsigned char* end) {
  const unsigned lead = *p;
  std::size_t trail;
  char32_t code;
  // The first trailing byte's range also rules out overlong forms,
  // surrogates and code points past U+10FFFF.
  unsigned low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    trail = 1;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    trail = 2;
    code = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    trail = 3;
    code = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return {0, 1, 0};
  }
  for (std::size_t k = 1; k <= trail; ++k) {
    if (p + k >= end || p[k] < low || p[k] > high) return {0, k, 0};
    code = code << 6 | (p[k] & 0x3F);
    low = 0x80;
    high = 0xBF;
  }
  return {trail + 1, 0, code};
}

char16_t* Put(char16_t* out, char32_t code) {
  if (code < 0x10000) {
    *out++ = static_cast<char16_t>(code);
  } else {
    code -= 0x10000;
    *out++ = static_cast<char16_t>(0xD800 + (code >> 10));
    *out++ = static_cast<char16_t>(0xDC00 + (code & 0x3FF));
  }
  return out;
}

// How many bytes below 0x80 start at p, looking at most eight ahead; at
// least one when *p is below 0x80.
inline std::size_t AsciiRun(const unsigned char* p, const unsigned char* end) {
  if (end - p < 8) return *p < 0x80 ? 1 : 0;
  std::uint64_t word;
  std::memcpy(&word, p, 8);
  const std::uint64_t high = word & 0x8080808080808080ULL;
  if (high == 0) return 8;
  // The first byte in memory is the word's lowest on little-endian machines.
  const int zeros = std::endian::native == std::endian::little ? std::countr_zero(high) : std::countl_zero(high);
  return static_cast<std::size_t>(zeros) / 8;
}

// Eight bytes below 0x80 as eight units, in two stores.
inline void WidenEight(const unsigned char* p, char16_t* out) {
  if constexpr (std::endian::native == std::endian::little) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    const auto widen = [](std::uint64_t half) {
      half = (half | half << 16) & 0x0000FFFF0000FFFFULL;
      return (half | half << 8) & 0x00FF00FF00FF00FFULL;
    };
    const std::uint64_t low = widen(word & 0xFFFFFFFFULL), high = widen(word >> 32);
    std::memcpy(out, &low, sizeof low);
    std::memcpy(out + 4, &high, sizeof high);
  } else {
    for (std::size_t i = 0; i < 8; ++i) out[i] = p[i];
  }
}

// One pass for both decoders: strict stops at the first malformed sequence.
// Decodes to out, which has room enough; returns the end of what it wrote,
// or nullptr at the first malformed sequence when strict.
template <bool strict>
char16_t* DecodeTo(std::string_view bytes, char16_t* out, bool& sawHighByte, UndecodableBytes* undecodable,
                   std::size_t base) {
  const auto* const begin = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = begin + bytes.size();
  const unsigned char* p = begin;
  sawHighByte = false;
  while (p < end) {
    if (*p < 0x80) {
      const std::size_t count = AsciiRun(p, end);
      if (count == 8) {
        WidenEight(p, out);
      } else {
        for (std::size_t i = 0; i < count; ++i) out[i] = p[i];
      }
      p += count;
      out += count;
      continue;
    }
    sawHighByte = true;
    // Kana, kanji and full-width forms: three bytes whose lead (E1..EC,
    // EE, EF) allows every trailing byte, decoded without the general checks.
    if (end - p >= 3 && ((p[0] >= 0xE1 && p[0] <= 0xEC) || p[0] >= 0xEE) && p[0] <= 0xEF && (p[1] & 0xC0) == 0x80 &&
        (p[2] & 0xC0) == 0x80) {
      *out++ = static_cast<char16_t>((p[0] & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F));
      p += 3;
      continue;
    }
    const Sequence sequence = ReadSequence(p, end);
    if (sequence.length != 0) {
      out = Put(out, sequence.codePoint);
      p += sequence.length;
      continue;
    }
    if constexpr (strict) {
      return nullptr;
    } else {
      if (undecodable->count == 0) undecodable->firstOffset = base + static_cast<std::size_t>(p - begin);
      undecodable->count += sequence.malformedLength;
      *out++ = kReplacement;
      p += sequence.malformedLength;
    }
  }
  return out;
}

// Texts this long are decoded in two halves side by side.
constexpr std::size_t kHalvesFrom = std::size_t{1} << 23;

// Well-formed UTF-8 gives exactly as many units as Utf16Length counts, so a
// large text is not held at twice its size. Halves are split before a
// sequence's first byte: a sequence cut there is malformed either way.
bool DecodeStrict(std::string_view bytes, std::u16string& text, bool& sawHighByte) {
  std::size_t split = bytes.size() < kHalvesFrom ? bytes.size() : bytes.size() / 2;
  while (split < bytes.size() && (static_cast<unsigned char>(bytes[split]) & 0xC0) == 0x80) ++split;
  const std::string_view first = bytes.substr(0, split), second = bytes.substr(split);
  std::size_t secondLength = 0;
  bool secondHigh = false, secondWell = true;
  std::thread counting;
  if (!second.empty()) counting = std::thread([&] { secondLength = Utf16Length(second); });
  const std::size_t firstLength = Utf16Length(first);
  if (counting.joinable()) counting.join();
  text.resize(firstLength + secondLength);
  std::thread decoding;
  if (!second.empty())
    decoding = std::thread([&] { secondWell = DecodeWellFormedUtf8To(second, text.data() + firstLength, secondHigh); });
  const bool firstWell = DecodeWellFormedUtf8To(first, text.data(), sawHighByte) != nullptr;
  if (decoding.joinable()) decoding.join();
  sawHighByte = sawHighByte || secondHigh;
  return firstWell && secondWell;
}

// The sum of the eight bytes of a word whose bytes are 0 or 1.
std::size_t ByteSum(std::uint64_t word) { return static_cast<std::size_t>((word * 0x0101010101010101ULL) >> 56); }

}  // namespace

// Eight bytes at a time: the batch converter counts files of any size.
std::size_t Utf16Length(std::string_view bytes) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
  std::size_t units = 0, i = 0;
  for (std::uint64_t word; i + 8 <= bytes.size(); i += 8) {
    std::memcpy(&word, bytes.data() + i, sizeof word);
    // A trailing byte is 10xxxxxx; a lead of four bytes is 11110xxx.
    const std::uint64_t trailing = word & ~(word << 1) & kHighBits;
    const std::uint64_t fourByteLeads = word & (word << 1) & (word << 2) & (word << 3) & kHighBits;
    // One bit a byte, summed by a multiplication (no popcount instruction
    // is assumed).
    units += 8 - ByteSum(trailing >> 7) + ByteSum(fourByteLeads >> 7);
  }
  for (; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    units += (byte & 0xC0) != 0x80;
    units += byte >= 0xF0;
  }
  return units;
}

char16_t* DecodeWellFormedUtf8To(std::string_view bytes, char16_t* out, bool& sawHighByte) {
  return DecodeTo<true>(bytes, out, sawHighByte, nullptr, 0);
}

std::optional<std::u16string> DecodeWellFormedUtf8(std::string_view bytes, bool& sawHighByte) {
  std::u16string text;
  if (!DecodeStrict(bytes, text, sawHighByte)) return std::nullopt;
  return text;
}

bool IsWellFormedUtf8(std::string_view bytes, bool& sawHighByte) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = p + bytes.size();
  sawHighByte = false;
  while (p < end) {
    if (*p < 0x80) {
      p += AsciiRun(p, end);
      continue;
    }
    sawHighByte = true;
    const Sequence sequence = ReadSequence(p, end);
    if (sequence.length == 0) return false;
    p += sequence.length;
  }
  return true;
}

Utf8Damage FindUtf8Damage(std::string_view bytes) {
  const auto* const begin = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = begin + bytes.size();
  Utf8Damage damage;
  for (const unsigned char* p = begin; p < end;) {
    if (*p < 0x80) {
      p += AsciiRun(p, end);
      continue;
    }
    const Sequence sequence = ReadSequence(p, end);
    if (sequence.length != 0) {
      ++damage.wellFormed;
      p += sequence.length;
      continue;
    }
    if (damage.malformed.count == 0) damage.malformed.firstOffset = static_cast<std::size_t>(p - begin);
    ++damage.malformed.count;
    p += sequence.malformedLength;
  }
  return damage;
}

std::u16string DecodeUtf8(std::string_view bytes, UndecodableBytes& undecodable, std::size_t base) {
  // A UTF-8 sequence never gives more UTF-16 units than it has bytes.
  std::u16string text(bytes.size(), u'\0');
  bool sawHighByte = false;
  text.resize(
      static_cast<std::size_t>(DecodeTo<false>(bytes, text.data(), sawHighByte, &undecodable, base) - text.data()));
  return text;
}

std::string EncodeUtf8(std::u16string_view text) {
  std::string bytes(text.size() * 3, '\0');
  bytes.resize(static_cast<std::size_t>(EncodeUtf8To(text, bytes.data()) - bytes.data()));
  return bytes;
}

char* EncodeUtf8To(std::u16string_view text, char* out) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    i = CopyAsciiRun(text, i, out);
    if (i == text.size()) break;
    const char32_t c = text[i];
    // Most often ASCII or kana and kanji; the rarer forms after them.
    if (c < 0x80) {
      *out++ = static_cast<char>(c);
    } else if (c >= 0x800 && (c < 0xD800 || c >= 0xE000)) {
      out[0] = static_cast<char>(0xE0 | c >> 12);
      out[1] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out[2] = static_cast<char>(0x80 | (c & 0x3F));
      out += 3;
    } else if (c < 0x800) {
      out[0] = static_cast<char>(0xC0 | c >> 6);
      out[1] = static_cast<char>(0x80 | (c & 0x3F));
      out += 2;
    } else {
      const bool paired = c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
      if (!paired) throw UnencodableCharError(i, c, TextEncoding::Utf8);
      const char32_t code = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
      out[0] = static_cast<char>(0xF0 | code >> 18);
      out[1] = static_cast<char>(0x80 | (code >> 12 & 0x3F));
      out[2] = static_cast<char>(0x80 | (code >> 6 & 0x3F));
      out[3] = static_cast<char>(0x80 | (code & 0x3F));
      out += 4;
    }
  }
  return out;
}

}  // namespace quillary
