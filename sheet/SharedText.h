#pragma once
// A cell's text, shared by every copy of the sheet that holds it: the grid's
// sheet, its saved image and the work array copy a pointer, not the text.
// A cell may hold megabytes. The text itself never changes; a new text is a
// new SharedText.

#include <memory>
#include <string>

namespace quillary {

class SharedText {
 public:
  SharedText() = default;
  explicit SharedText(std::u16string text)
      : text_(text.empty() ? nullptr : std::make_shared<const std::u16string>(std::move(text))) {}

  const std::u16string& get() const { return text_ ? *text_ : Empty(); }

  // The same text held once compares at once.
  bool operator==(const SharedText& other) const { return text_ == other.text_ || get() == other.get(); }

 private:
  static const std::u16string& Empty() {
    static const std::u16string empty;
    return empty;
  }

  std::shared_ptr<const std::u16string> text_;
};

}  // namespace quillary
