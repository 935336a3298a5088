#include "convert/RepeatBlock.h"

#include <algorithm>

#include "convert/Filler.h"
#include "convert/FindRep.h"
#include "convert/RepetitionPlan.h"

namespace quillary {

namespace {

constexpr auto npos = std::u16string_view::npos;
constexpr std::u16string_view kCommentEnd = u"-->";

// Batches grow to this, from a size a small output fills.
constexpr std::size_t kFirstBatch = std::size_t{1} << 16, kLargestBatch = std::size_t{1} << 19;

}  // namespace

std::optional<RepeatBlock> FindRepeatBlock(std::u16string_view text) {
  const std::size_t start = text.find(kBeginRepeat);
  if (start == npos) return std::nullopt;
  const std::size_t countBegin = start + kBeginRepeat.size();
  const std::size_t space = text.find(u' ', countBegin);
  if (space == npos) return std::nullopt;
  // A start comment closed before any space lacks the space after its count.
  const std::u16string_view countText = text.substr(countBegin, space - countBegin);
  if (countText.find(kCommentEnd) != npos) return std::nullopt;
  const std::size_t close = text.find(kCommentEnd, space + 1);
  if (close == npos) return std::nullopt;
  const std::size_t end = text.find(kEndRepeat, close + 1);
  if (end == npos) return std::nullopt;
  const std::size_t bodyBegin = close + kCommentEnd.size();
  return RepeatBlock{start, countText, text.substr(bodyBegin, end - bodyBegin), end + kEndRepeat.size()};
}

void CappedOutput::Append(std::u16string_view piece) {
  if (piece.size() > maxOutput_ - written_) throw OutputTooLargeError(maxOutput_);
  written_ += piece.size();
  sink_.Append(piece);
}

void CappedOutput::Take(std::u16string& text) {
  if (text.size() > maxOutput_ - written_) throw OutputTooLargeError(maxOutput_);
  written_ += text.size();
  sink_.Take(text);
}

void CappedOutput::Expect(std::size_t units) { sink_.Expect(std::min(units, maxOutput_ - written_)); }

void AppendRepetitions(CappedOutput& out, std::u16string_view body, const std::vector<TagAt>& bodyTags, Filler& filler,
                       long long count) {
  // An empty body adds nothing and moves no cursor, however often.
  if (body.empty()) return;
  if (count > 0) out.Expect(body.size() * static_cast<std::size_t>(std::min(count, 1LL << 32)));
  // Planned for the second repetition on: a block made once is not worth it.
  std::optional<RepetitionPlan> plan;
  // Repetitions go on in batches: one piece each would cost more than its
  // making.
  std::u16string batch;
  std::size_t batchSize = kFirstBatch;
  for (long long i = 0; i < count; ++i) {
    if (i == 1) plan.emplace(body, bodyTags, filler.Tags());
    // Without a change the cursors stand still: every later repetition is
    // the same unfilled body.
    if (!filler.FillRepetition(body, bodyTags, plan ? &*plan : nullptr, batch)) {
      out.Take(batch);
      for (; i < count; ++i) out.Append(body);
      return;
    }
    if (batch.size() < batchSize) continue;
    out.Take(batch);
    out.Repeated(i + 1, count);
    // Room for the next batch at once, now that the output is large.
    batchSize = std::min(2 * batchSize, kLargestBatch);
    batch.reserve(batchSize + batchSize / 4);
  }
  out.Take(batch);
}

}  // namespace quillary
