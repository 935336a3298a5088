#pragma once
// Text files far larger than the window's, for the batch converter: read
// in pieces and decoded on two threads straight into one buffer of UTF-16
// units, so that the file's bytes are never held whole and the buffer is
// not filled twice. The encoding follows the rule every file follows.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/TextEncoding.h"
#include "platform/WorkProgress.h"

namespace quillary {

// Units to write into: room not yet written, or a text decoded elsewhere.
class UnitBuffer {
 public:
  UnitBuffer() = default;
  // Room for size units, not yet written.
  explicit UnitBuffer(std::size_t size) : room_(new char16_t[size]), size_(size) {}
  explicit UnitBuffer(std::u16string text) : text_(std::move(text)), size_(text_.size()) {}
  UnitBuffer(UnitBuffer&& other) noexcept
      : room_(std::move(other.room_)), text_(std::move(other.text_)), size_(std::exchange(other.size_, 0)) {}
  UnitBuffer& operator=(UnitBuffer&& other) noexcept {
    room_ = std::move(other.room_);
    text_ = std::move(other.text_);
    size_ = std::exchange(other.size_, 0);
    return *this;
  }

  char16_t* data() { return room_ ? room_.get() : text_.data(); }
  const char16_t* data() const { return room_ ? room_.get() : text_.data(); }
  std::size_t size() const { return size_; }
  std::u16string_view View() const { return {data(), size_}; }
  // Fewer units than there is room for: the room stays.
  void Resize(std::size_t size) { size_ = std::min(size, size_); }

 private:
  std::unique_ptr<char16_t[]> room_;
  std::u16string text_;
  std::size_t size_ = 0;
};

struct LargeDecodedText {
  UnitBuffer text;
  TextEncoding encoding = TextEncoding::Cp932;
  bool ascii = false;
  UndecodableBytes undecodable;
};

// The same text, encoding and undecodable bytes DecodeText gives for the
// file's bytes. Throws FileReadError as ReadFileBytes does; reports to
// `progress` as the bytes come.
LargeDecodedText ReadLargeTextFile(const std::filesystem::path& path, std::uintmax_t limit,
                                   WorkProgress* progress = nullptr);
// The same where the bytes are well-formed UTF-8 (after a byte-order mark,
// if any), read in pieces; nothing for other bytes, or for a file that
// changed while it was read, which are then read whole.
std::optional<LargeDecodedText> ReadUtf8TextFile(const std::filesystem::path& path, std::uintmax_t limit);
// A text decoded in memory.
LargeDecodedText ToLargeText(DecodedText decoded);

}  // namespace quillary
