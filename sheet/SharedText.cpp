#include "sheet/SharedText.h"

#include <atomic>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <vector>

namespace quillary {

namespace {

// Row numbers "0" .. kMostRowNumbers, made kLabelsPerBlock at a time when
// first asked for: a small sheet makes one block, a million rows a few
// hundred.
constexpr int kLabelsPerBlock = 4096;

struct LabelBlock {
  std::u16string texts;
  std::vector<std::uint32_t> starts;  // a label's place; the next one's ends it
};

const LabelBlock& LabelsFrom(int first) {
  static std::mutex making;
  static std::vector<std::atomic<const LabelBlock*>> blocks(kMostRowNumbers / kLabelsPerBlock + 1);
  std::atomic<const LabelBlock*>& block = blocks[static_cast<std::size_t>(first / kLabelsPerBlock)];
  if (const LabelBlock* made = block.load(std::memory_order_acquire)) return *made;
  const std::scoped_lock lock(making);
  if (const LabelBlock* made = block.load(std::memory_order_acquire)) return *made;
  // Kept to the end of the program, as the texts of every sheet's labels.
  static std::vector<std::unique_ptr<LabelBlock>> kept;
  auto made = std::make_unique<LabelBlock>();
  made->starts.reserve(kLabelsPerBlock + 1);
  for (int row = first; row < first + kLabelsPerBlock; ++row) {
    made->starts.push_back(static_cast<std::uint32_t>(made->texts.size()));
    const std::string digits = std::to_string(row);
    made->texts.append(digits.begin(), digits.end());
  }
  made->starts.push_back(static_cast<std::uint32_t>(made->texts.size()));
  kept.push_back(std::move(made));
  block.store(kept.back().get(), std::memory_order_release);
  return *kept.back();
}

}  // namespace

std::u16string_view RowNumberText(std::size_t row) {
  if (row > kMostRowNumbers) return {};
  const int first = static_cast<int>(row) - static_cast<int>(row) % kLabelsPerBlock;
  const LabelBlock& labels = LabelsFrom(first);
  const auto at = row - static_cast<std::size_t>(first);
  return std::u16string_view(labels.texts).substr(labels.starts[at], labels.starts[at + 1] - labels.starts[at]);
}

SharedText::SharedText(std::u16string text) {
  if (text.empty()) return;
  length_ = static_cast<std::uint32_t>(text.size());
  block_ = new TextBlock(UnitBuffer(std::move(text)), true);
  block_->Hold();
}

SharedText::SharedText(RowNumberTag) : block_(new TextBlock(UnitBuffer(), false)) {
  block_->Hold();  // by the one static handle
}

const SharedText& SharedText::RowNumber() {
  static const SharedText rowNumber{RowNumberTag{}};
  return rowNumber;
}

void FreedBytes::Add(const SharedText& text) {
  const TextBlock* block = text.Block();
  if (!block) return;
  if (block != last_) {
    if (last_) held_[last_] += lastCount_;
    last_ = block;
    lastCount_ = 0;
  }
  ++lastCount_;
}

std::uint64_t FreedBytes::Total() const {
  std::unordered_map<const TextBlock*, std::uint64_t> held = held_;
  if (last_) held[last_] += lastCount_;
  std::uint64_t bytes = 0;
  for (const auto& [block, count] : held)
    if (count >= block->Holders()) bytes += block->Bytes();
  return bytes;
}

TextBlockBuilder::~TextBlockBuilder() {
  if (block_) block_->Release();
}

const TextBlock* TextBlockBuilder::Finish() {
  // A handle's place is 32 bits: a larger block is refused as memory
  // running out.
  if (units_.size() > std::numeric_limits<std::uint32_t>::max()) throw std::bad_alloc();
  if (!block_ && !units_.empty()) {
    units_.shrink_to_fit();
    block_ = new TextBlock(UnitBuffer(std::move(units_)), false);
    block_->Hold();
  }
  return block_;
}

}  // namespace quillary
