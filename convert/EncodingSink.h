#pragma once
// The output's bytes as the pieces arrive: cut before the first NUL, then
// encoded and handed on in blocks.

#include <cstddef>
#include <optional>
#include <string_view>

#include "convert/CharacterReferences.h"
#include "convert/OutputSink.h"
#include "platform/TextEncoder.h"
#include "platform/UnitSearch.h"

namespace quillary {

class EncodingSink : public OutputSink {
 public:
  // With references, a CP932 output writes what the code page lacks as
  // character references instead of refusing it.
  EncodingSink(TextEncoding encoding, TextEncoder::Writer write, bool references = false)
      : encoder_(encoding, std::move(write)) {
    if (references && encoding == TextEncoding::Cp932) referencing_.emplace(encoder_);
  }

  void Append(std::u16string_view piece) override {
    if (cut_) return;
    const std::size_t nul = FindUnit(piece, u'\0');
    cut_ = nul != std::u16string_view::npos;
    if (referencing_)
      referencing_->Append(piece.substr(0, nul));
    else
      encoder_.Append(piece.substr(0, nul));
  }
  void Finish() override {
    if (referencing_) referencing_->Finish();
    encoder_.Finish();
  }
  // Characters written as references so far.
  std::size_t References() const { return referencing_ ? referencing_->References() : 0; }

 private:
  TextEncoder encoder_;
  std::optional<ReferencingEncoder> referencing_;
  bool cut_ = false;
};

}  // namespace quillary
