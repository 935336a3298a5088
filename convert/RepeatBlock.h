#pragma once
// The engine's inner parts, shared by the whole expansion (FindRep.cpp) and
// its step-by-step procedures (FindRepSteps.cpp): finding a repeat block,
// the capped output, and writing a block's repetitions.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/FieldTags.h"
#include "convert/OutputSink.h"
#include "platform/WorkProgress.h"

namespace quillary {

class Filler;

// A well-formed repeat block: where its start comment begins, its count
// text and body, and where the text after its end comment begins.
struct RepeatBlock {
  std::size_t start;
  std::u16string_view countText, body;
  std::size_t afterBegin;
};

// The first well-formed block of the text. A start comment without a space
// after its count, without "-->" or without an end comment is not one.
std::optional<RepeatBlock> FindRepeatBlock(std::u16string_view text);

// The sink of an expansion, refusing any piece that would take the output
// past its cap, and where one watches, telling how far the repetitions
// have come.
class CappedOutput {
 public:
  CappedOutput(OutputSink& sink, std::size_t maxOutput, WorkProgress* progress = nullptr)
      : sink_(sink), maxOutput_(maxOutput), progress_(progress) {}
  void Append(std::u16string_view piece);
  void Take(std::u16string& text);
  // Never more than the cap: values may be shorter than their tags, so a
  // body too big in total is only refused once the output passes.
  void Expect(std::size_t units);
  // `done` of a block's `total` repetitions made; throws WorkCancelled when
  // asked to stop.
  void Repeated(long long done, long long total) {
    ReportProgress(progress_, static_cast<std::uint64_t>(done), static_cast<std::uint64_t>(total));
  }

 private:
  OutputSink& sink_;
  std::size_t maxOutput_;
  WorkProgress* progress_;
  std::size_t written_ = 0;
};

// Appends count repetitions of the body.
void AppendRepetitions(CappedOutput& out, std::u16string_view body, const std::vector<TagAt>& bodyTags, Filler& filler,
                       long long count);

}  // namespace quillary
