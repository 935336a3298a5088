#pragma once
// The output's bytes as the pieces arrive: cut before the first NUL, then
// encoded and handed on in blocks.

#include <cstdint>
#include <cstring>
#include <string_view>

#include "convert/OutputSink.h"
#include "platform/TextEncoder.h"

namespace quillary {

class EncodingSink : public OutputSink {
 public:
  EncodingSink(TextEncoding encoding, TextEncoder::Writer write) : encoder_(encoding, std::move(write)) {}

  void Append(std::u16string_view piece) override {
    if (cut_) return;
    const std::size_t nul = FindNul(piece);
    cut_ = nul != std::u16string_view::npos;
    encoder_.Append(piece.substr(0, nul));
  }
  void Finish() override { encoder_.Finish(); }

 private:
  // Four units at a time: the whole output passes here.
  static std::size_t FindNul(std::u16string_view piece) {
    std::size_t i = 0;
    for (; i + 4 <= piece.size(); i += 4) {
      std::uint64_t units;
      std::memcpy(&units, piece.data() + i, sizeof units);
      if (((units - 0x0001000100010001ULL) & ~units & 0x8000800080008000ULL) != 0) break;
    }
    const std::size_t rest = piece.substr(i).find(u'\0');
    return rest == std::u16string_view::npos ? rest : i + rest;
  }

  TextEncoder encoder_;
  bool cut_ = false;
};

}  // namespace quillary
