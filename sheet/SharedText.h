#pragma once
// A cell's text, shared by every copy of the sheet that holds it: the grid's
// sheet, its saved image, the work array and the history copy a handle, not
// the text. A handle is a place in an immutable block of UTF-16 units: the
// decoded file that Open read (thousands of cells in one block, so a cell
// costs little beyond its text) or a block of its own for a text made
// later. A cell may hold megabytes. The text itself never changes; a new
// text is a new SharedText.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "platform/LargeTextFile.h"

namespace quillary {

// What a text of `units` UTF-16 units takes when a block of its own holds
// it: the units and, roughly, what holds them.
inline constexpr std::uint64_t kTextHolderBytes = 64;
inline constexpr std::uint64_t HeldTextBytes(std::uint64_t units) {
  return units * sizeof(char16_t) + kTextHolderBytes;
}

// Units that handles point into, freed with the last handle.
class TextBlock {
 public:
  explicit TextBlock(UnitBuffer units, bool single) : units_(std::move(units)), single_(single) {}
  // A block held by the one making it until it lets it go.
  static TextBlock* Held(UnitBuffer units) {
    auto* block = new TextBlock(std::move(units), false);
    block->Hold();
    return block;
  }
  TextBlock(const TextBlock&) = delete;
  TextBlock& operator=(const TextBlock&) = delete;

  std::u16string_view View() const { return units_.View(); }
  // What the block takes: its units, and what holds a text of its own.
  std::uint64_t Bytes() const {
    return single_ ? HeldTextBytes(units_.size()) : std::uint64_t{units_.size()} * sizeof(char16_t);
  }
  // For the one making the block's texts (the CSV reader writes a quoted
  // value over its field): only places no handle shows yet may change.
  char16_t* WritableUnits() { return units_.data(); }
  // A block made for one text, not the units of a file.
  bool Single() const { return single_; }
  std::uint64_t Holders() const { return holders_.load(std::memory_order_relaxed); }

  void Hold() const { holders_.fetch_add(1, std::memory_order_relaxed); }
  void Release() const {
    if (holders_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
  }

 private:
  ~TextBlock() = default;
  UnitBuffer units_;
  bool single_;
  mutable std::atomic<std::uint64_t> holders_{0};
};

// The most rows a sheet has (its limits are the sheet's to state).
inline constexpr std::size_t kMostRowNumbers = 1048577;

// "0", "1", "2", ...: the row number's text, held in blocks every sheet
// shares (made when first asked for, kept to the end); past
// kMostRowNumbers, empty.
std::u16string_view RowNumberText(std::size_t row);

class SharedText {
 public:
  SharedText() = default;
  // A block of its own for the text (none for the empty text).
  explicit SharedText(std::u16string text);
  static SharedText Copy(std::u16string_view text) { return SharedText(std::u16string(text)); }
  // units [offset, offset + length) of the block, sharing it.
  SharedText(const TextBlock* block, std::size_t offset, std::size_t length)
      : block_(length == 0 ? nullptr : block), offset_(offset), length_(static_cast<std::uint32_t>(length)) {
    if (block_) block_->Hold();
  }
  SharedText(const SharedText& other) : block_(other.block_), offset_(other.offset_), length_(other.length_) {
    if (block_) block_->Hold();
  }
  SharedText(SharedText&& other) noexcept
      : block_(std::exchange(other.block_, nullptr)),
        offset_(other.offset_),
        length_(std::exchange(other.length_, 0)) {}
  SharedText& operator=(SharedText other) noexcept {
    std::swap(block_, other.block_);
    std::swap(offset_, other.offset_);
    std::swap(length_, other.length_);
    return *this;
  }
  ~SharedText() {
    if (block_) block_->Release();
  }

  // The row's own number, for the row-label column: the cell shows the label
  // of the row it stands in, so rows inserted, deleted or sorted leave every
  // label right without a label being written again.
  static const SharedText& RowNumber();
  bool IsRowNumber() const { return block_ != nullptr && block_ == RowNumber().block_; }

  // The text (the row number reads as empty: only the row knows its text).
  std::u16string_view get() const { return block_ ? block_->View().substr(offset_, length_) : std::u16string_view(); }
  // The text of the cell in that row.
  std::u16string_view TextIn(std::size_t row) const { return IsRowNumber() ? RowNumberText(row) : get(); }
  std::size_t size() const { return length_; }
  bool empty() const { return length_ == 0 && !IsRowNumber(); }

  // What the text takes: its units, and the holder of a block of its own.
  std::uint64_t Bytes() const {
    if (!block_) return 0;
    return block_->Single() ? HeldTextBytes(length_) : std::uint64_t{length_} * sizeof(char16_t);
  }
  // True when nothing else holds this text's block: letting it go frees it.
  bool HeldAlone() const { return block_ && block_->Holders() == 1; }
  const TextBlock* Block() const { return block_; }

  // The same place compares at once.
  bool operator==(const SharedText& other) const {
    if (block_ == other.block_ && offset_ == other.offset_ && length_ == other.length_) return true;
    return !IsRowNumber() && !other.IsRowNumber() && get() == other.get();
  }

 private:
  struct RowNumberTag {};
  explicit SharedText(RowNumberTag);

  const TextBlock* block_ = nullptr;
  std::uint32_t offset_ = 0;
  std::uint32_t length_ = 0;
};

// What letting a set of handles go would free: every block whose holders
// are all among them, whole (the texts of a replace-all share one block).
class FreedBytes {
 public:
  void Add(const SharedText& text);
  std::uint64_t Total() const;

 private:
  std::unordered_map<const TextBlock*, std::uint64_t> held_;
  const TextBlock* last_ = nullptr;  // runs of one block count at once
  std::uint64_t lastCount_ = 0;
};

// Many texts into one block, for a command that makes thousands (Open,
// replace-all): one allocation rather than one a text. Add returns the
// text's place; once all are added, Finish gives the block to make the
// handles from (the builder holds it until it goes).
class TextBlockBuilder {
 public:
  TextBlockBuilder() = default;
  TextBlockBuilder(const TextBlockBuilder&) = delete;
  TextBlockBuilder& operator=(const TextBlockBuilder&) = delete;
  ~TextBlockBuilder();

  // Where the next text starts.
  std::size_t Add(std::u16string_view text) {
    const std::size_t at = units_.size();
    units_.append(text);
    return at;
  }
  std::size_t Size() const { return units_.size(); }
  // Room for this many units: with the lengths known beforehand, the block
  // is made in one allocation and needs no copy to fit.
  void Reserve(std::size_t units) { units_.reserve(units); }
  // The block holding everything added (none when nothing was).
  const TextBlock* Finish();

 private:
  std::u16string units_;
  const TextBlock* block_ = nullptr;
};

}  // namespace quillary
