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

}  // namespace

std::uint64_t StepPart::BytesHeldAlone() const {
  if (!sheet() && !cells()) return kPartBytes;
  try {
    if (const Sheet* held = sheet()) return quillary::BytesHeldAlone(*held) + kPartBytes;
    FreedBytes freed;
    for (const SharedText& text : cells()->texts) freed.Add(text);
    return cells()->texts.capacity() * sizeof(SharedText) + kPartBytes + freed.Total();
  } catch (const std::bad_alloc&) {
    // No memory to tell which texts are shared: all of them are counted,
    // which only forgets older steps sooner.
    if (const Sheet* held = sheet()) return quillary::SheetBytes(*held) + kPartBytes;
    std::uint64_t bytes = cells()->texts.capacity() * sizeof(SharedText) + kPartBytes;
    for (const SharedText& text : cells()->texts) bytes += text.Bytes();
    return bytes;
  }
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
    else if (const CellsVersion* cells = part.cells())
      target->Unshare(cells->top, cells->left, cells->bottom, cells->right);
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
