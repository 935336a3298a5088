#pragma once
// Finding one UTF-16 unit in a text several units at a time: every value
// the converter inserts, every line the CSV reader reads and the whole
// output pass through here.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillary {

namespace unit_search {

constexpr std::uint64_t kOnes = 0x0001000100010001ULL, kHighs = 0x8000800080008000ULL;

// Whether one of the four units of a word is zero.
constexpr bool HasZeroUnit(std::uint64_t units) { return ((units - kOnes) & ~units & kHighs) != 0; }

}  // namespace unit_search

// Where text first holds unit, at or after from; npos if nowhere.
inline std::size_t FindUnit(std::u16string_view text, char16_t unit, std::size_t from = 0) {
  using namespace unit_search;
  const std::uint64_t pattern = kOnes * unit;
  std::size_t i = from;
#if defined(__SSE2__)
  // Sixteen units a step where the text is long (every x86-64 has these).
  const __m128i units = _mm_set1_epi16(static_cast<short>(unit));
  for (; i + 16 <= text.size(); i += 16) {
    const auto* at = reinterpret_cast<const __m128i*>(text.data() + i);
    const __m128i equal =
        _mm_or_si128(_mm_cmpeq_epi16(_mm_loadu_si128(at), units), _mm_cmpeq_epi16(_mm_loadu_si128(at + 1), units));
    if (_mm_movemask_epi8(equal) != 0) break;
  }
#endif
  // Eight units a step, then four.
  for (std::uint64_t words[2]; i + 8 <= text.size(); i += 8) {
    std::memcpy(words, text.data() + i, sizeof words);
    if (HasZeroUnit(words[0] ^ pattern) || HasZeroUnit(words[1] ^ pattern)) break;
  }
  for (std::uint64_t word; i + 4 <= text.size(); i += 4) {
    std::memcpy(&word, text.data() + i, sizeof word);
    if (HasZeroUnit(word ^ pattern)) break;
  }
  for (; i < text.size(); ++i)
    if (text[i] == unit) return i;
  return std::u16string_view::npos;
}

// Whether text holds either unit.
inline bool HoldsEitherUnit(std::u16string_view text, char16_t one, char16_t other) {
  using namespace unit_search;
  const std::uint64_t first = kOnes * one, second = kOnes * other;
  std::size_t i = 0;
  for (std::uint64_t units; i + 4 <= text.size(); i += 4) {
    std::memcpy(&units, text.data() + i, sizeof units);
    if (HasZeroUnit(units ^ first) || HasZeroUnit(units ^ second)) return true;
  }
  for (; i < text.size(); ++i)
    if (text[i] == one || text[i] == other) return true;
  return false;
}

}  // namespace quillary
