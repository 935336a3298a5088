#pragma once
// Where an expansion's text goes, piece by piece, in order.

#include <algorithm>
#include <string>
#include <string_view>

namespace quillary {

class OutputSink {
 public:
  virtual ~OutputSink() = default;
  virtual void Append(std::u16string_view piece) = 0;
  // The same for a piece whose buffer the sink may keep; text is left
  // empty, perhaps with another buffer.
  virtual void Take(std::u16string& text) {
    Append(text);
    text.clear();
  }
  // About this many more units are coming.
  virtual void Expect(std::size_t) {}
  // No piece follows.
  virtual void Finish() {}
};

class StringSink : public OutputSink {
 public:
  explicit StringSink(std::u16string& text) : text_(text) {}
  void Append(std::u16string_view piece) override { text_.append(piece); }
  void Expect(std::size_t units) override {
    if (text_.size() + units > text_.capacity()) text_.reserve(std::max(text_.size() + units, 2 * text_.capacity()));
  }

 private:
  std::u16string& text_;
};

}  // namespace quillary
