#pragma once
// The output's bytes as the pieces arrive: cut before the first NUL, then
// encoded; handed on in blocks when a writer is given, else all kept.

#include <functional>
#include <string>
#include <string_view>

#include "convert/OutputSink.h"
#include "platform/TextEncoder.h"

namespace quillary {

class EncodingSink : public OutputSink {
 public:
  using Writer = std::function<void(std::string_view bytes)>;
  EncodingSink(TextEncoding encoding, std::string& bytes, Writer writer = nullptr)
      : bytes_(bytes), encoder_(encoding, bytes), writer_(std::move(writer)) {}

  void Append(std::u16string_view piece) override {
    if (cut_) return;
    const std::size_t nul = piece.find(u'\0');
    cut_ = nul != std::u16string_view::npos;
    encoder_.Append(piece.substr(0, nul));
    if (writer_ && bytes_.size() >= kBlock) Flush();
  }
  void Finish() override {
    encoder_.Finish();
    if (writer_) Flush();
  }

 private:
  static constexpr std::size_t kBlock = std::size_t{1} << 20;
  void Flush() {
    writer_(bytes_);
    bytes_.clear();
  }

  std::string& bytes_;
  TextEncoder encoder_;
  Writer writer_;
  bool cut_ = false;
};

}  // namespace quillary
