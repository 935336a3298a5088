#pragma once
// The text still to scan, kept at the end of a buffer with room in front,
// so that pushing a value ahead of it costs only the value's length.

#include <algorithm>
#include <string>
#include <string_view>

namespace quillary {

class ScanBuffer {
 public:
  void Assign(std::u16string_view text) {
    buffer_.resize(text.size() + kSlack);
    head_ = kSlack;
    std::copy(text.begin(), text.end(), buffer_.begin() + static_cast<std::ptrdiff_t>(head_));
  }
  std::u16string_view View() const { return std::u16string_view(buffer_).substr(head_); }
  void Drop(std::size_t count) { head_ += count; }
  void Push(std::u16string_view text) {
    if (text.size() > head_) MakeRoom(text.size());
    head_ -= text.size();
    std::copy(text.begin(), text.end(), buffer_.begin() + static_cast<std::ptrdiff_t>(head_));
  }

 private:
  static constexpr std::size_t kSlack = 256;
  // At least as much room as the text holds: the copies stay linear overall.
  void MakeRoom(std::size_t needed) {
    const std::size_t room = std::max(needed, buffer_.size() - head_) + kSlack;
    std::u16string grown(room, u'\0');
    grown.append(View());
    buffer_.swap(grown);
    head_ = room;
  }

  std::u16string buffer_;
  std::size_t head_ = 0;
};

}  // namespace quillary
