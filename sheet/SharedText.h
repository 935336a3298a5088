#pragma once
// A cell's text, shared by every copy of the sheet that holds it: the grid's
// sheet, its saved image and the work array copy a pointer, not the text.
// A cell may hold megabytes. The text itself never changes; a new text is a
// new SharedText.

#include <cstdint>
#include <memory>
#include <string>

namespace quillary {

// What a text of `units` UTF-16 units takes when a cell holds it: the units
// and, roughly, what holds them.
inline constexpr std::uint64_t kTextHolderBytes = 64;
inline constexpr std::uint64_t HeldTextBytes(std::uint64_t units) {
  return units * sizeof(char16_t) + kTextHolderBytes;
}

class SharedText {
 public:
  SharedText() = default;
  explicit SharedText(std::u16string text)
      : text_(text.empty() ? nullptr : std::make_shared<const std::u16string>(std::move(text))) {}

  const std::u16string& get() const { return text_ ? *text_ : Empty(); }

  // What the text takes (nothing for the empty text, which is not held).
  std::uint64_t Bytes() const { return text_ ? HeldTextBytes(text_->capacity()) : 0; }
  // True when nothing else holds this text: letting it go frees it.
  bool HeldAlone() const { return text_ && text_.use_count() == 1; }

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
