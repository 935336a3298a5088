#include "sheet/document/HistoryStep.h"

#include <algorithm>
#include <new>
#include <ranges>
#include <utility>

#include "sheet/document/SheetDocument.h"

namespace quillary {

namespace {

// What a step and each part of it take besides the texts they hold.
constexpr std::uint64_t kPartBytes = 256;

// The texts a part of cells holds, and what holds them.
template <typename Texts, typename TextOf>
std::uint64_t TextsHeldAlone(const Texts& texts, TextOf textOf) {
  std::uint64_t bytes = texts.capacity() * sizeof(texts[0]) + kPartBytes;
  try {
    FreedBytes freed;
    for (const auto& held : texts) freed.Add(textOf(held));
    return bytes + freed.Total();
  } catch (const std::bad_alloc&) {
    // No memory to tell which texts are shared: all of them are counted,
    // which only forgets older steps sooner.
    for (const auto& held : texts) bytes += textOf(held).Bytes();
    return bytes;
  }
}

}  // namespace

std::uint64_t StepPart::BytesHeldAlone() const {
  if (const CellsVersion* held = cells())
    return TextsHeldAlone(held->texts, [](const SharedText& text) -> const SharedText& { return text; });
  if (const PlacedVersion* held = placed())
    return TextsHeldAlone(held->cells, [](const PlacedText& cell) -> const SharedText& { return cell.text; });
  if (const Sheet* held = sheet()) {
    try {
      return quillary::BytesHeldAlone(*held) + kPartBytes;
    } catch (const std::bad_alloc&) {
      return quillary::SheetBytes(*held) + kPartBytes;
    }
  }
  return kPartBytes;
}

void StepPart::Unshare(Sheet& sheet) const {
  if (const CellsVersion* held = cells()) sheet.Unshare(held->top, held->left, held->bottom, held->right);
  if (const PlacedVersion* held = placed())
    for (const PlacedText& cell : held->cells) sheet.Unshare(cell.row, cell.col, cell.row, cell.col);
}

namespace {

// The sheet shares chunks of cells with its saved image, the work array and
// other versions: the chunks the parts will write are copied first, while
// a failure leaves everything as it was, so that exchanging cannot fail.
// Each part writes the sheet as the parts before it leave it.
template <typename Parts>
void UnshareWhatTheyWrite(Sheet& sheet, Parts& parts) {
  Sheet* target = &sheet;
  for (StepPart& part : parts) {
    if (Sheet* held = part.sheet())
      target = held;
    else
      part.Unshare(*target);
  }
}

}  // namespace

void HistoryStep::redo() {
  if (std::exchange(done_, false)) return;
  UnshareWhatTheyWrite(document_.sheet_, parts_);
  for (StepPart& part : parts_) document_.Exchange(part);
}

void HistoryStep::undo() {
  auto newestFirst = std::views::reverse(parts_);
  UnshareWhatTheyWrite(document_.sheet_, newestFirst);
  TakeBack();
}

void HistoryStep::MakeRoom() {
  if (parts_.size() == parts_.capacity()) parts_.reserve(std::max<std::size_t>(1, 2 * parts_.capacity()));
}

void HistoryStep::Add(StepPart&& part) noexcept {
  bytes_ += part.BytesHeldAlone();
  parts_.push_back(std::move(part));
}

void HistoryStep::TakeBack() noexcept {
  for (auto part = parts_.rbegin(); part != parts_.rend(); ++part) document_.Exchange(*part);
}

void HistoryStep::Forget() {
  parts_ = {};
  bytes_ = 0;
  forgotten_ = true;
}

}  // namespace quillary
