#pragma once
// Copies a run of ASCII units out as bytes, four at a time: the encoders'
// common case, markup, skips their per-character work.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace quillary {

// From text[i], while four ASCII units at a time follow; returns where the
// run stopped (a shorter tail is left to the caller).
inline std::size_t CopyAsciiRun(std::u16string_view text, std::size_t i, char*& out) {
  while (i + 4 <= text.size()) {
    std::uint64_t units;
    std::memcpy(&units, text.data() + i, sizeof units);
    if ((units & 0xFF80FF80FF80FF80ULL) != 0) break;
    if constexpr (std::endian::native == std::endian::little) {
      // Each unit's low byte, side by side in one store.
      units = (units | units >> 8) & 0x0000FFFF0000FFFFULL;
      const auto bytes = static_cast<std::uint32_t>(units | units >> 16);
      std::memcpy(out, &bytes, sizeof bytes);
      out += sizeof bytes;
    } else {
      for (std::size_t k = 0; k < 4; ++k) *out++ = static_cast<char>(text[i + k]);
    }
    i += 4;
  }
  return i;
}

}  // namespace quillary
