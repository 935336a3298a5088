#include "sheet/document/HistoryStep.h"

#include <algorithm>
#include <utility>

#include "sheet/document/SheetDocument.h"

namespace quillary {

namespace {

// What a step and each part of it take besides the texts they hold.
constexpr std::uint64_t kPartBytes = 256;

}  // namespace

std::uint64_t StepPart::BytesHeldAlone() const {
  if (const Sheet* held = sheet()) return quillary::BytesHeldAlone(*held) + kPartBytes;
  if (!cells()) return kPartBytes;
  std::uint64_t bytes = cells()->texts.capacity() * sizeof(SharedText) + kPartBytes;
  for (const SharedText& text : cells()->texts)
    if (text.HeldAlone()) bytes += text.Bytes();
  return bytes;
}

void HistoryStep::redo() {
  if (std::exchange(done_, false)) return;
  for (StepPart& part : parts_) document_.Exchange(part);
}

void HistoryStep::undo() { TakeBack(); }

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
