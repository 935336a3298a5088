#pragma once
// The output's bytes as the pieces arrive: cut before the first NUL, then
// encoded and handed on in blocks.

#include <string_view>

#include "convert/OutputSink.h"
#include "platform/TextEncoder.h"
#include "platform/UnitSearch.h"

namespace quillary {

class EncodingSink : public OutputSink {
 public:
  EncodingSink(TextEncoding encoding, TextEncoder::Writer write) : encoder_(encoding, std::move(write)) {}

  void Append(std::u16string_view piece) override {
    if (cut_) return;
    const std::size_t nul = FindUnit(piece, u'\0');
    cut_ = nul != std::u16string_view::npos;
    encoder_.Append(piece.substr(0, nul));
  }
  void Finish() override { encoder_.Finish(); }

 private:
  TextEncoder encoder_;
  bool cut_ = false;
};

}  // namespace quillary
