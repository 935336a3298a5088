#include "convert/FindRep.h"

#include <algorithm>
#include <optional>

#include "convert/CharacterReferences.h"
#include "convert/FieldTags.h"
#include "convert/Filler.h"
#include "convert/RepeatBlock.h"
#include "convert/RowCursors.h"
#include "convert/SheetArrayCells.h"
#include "convert/SummarySink.h"
#include "convert/ValueEscaping.h"
#include "sheet/SheetArray.h"

namespace quillary {

namespace {

// Stretch by stretch in document order; the cursors carry over.
void Expand(std::u16string_view templateText, const FieldTags& tags, RowCursors& rowCursor, CappedOutput& out) {
  Filler filler(tags, rowCursor);
  std::u16string stretch;
  for (std::u16string_view rest = templateText;;) {
    const auto block = FindRepeatBlock(rest);
    stretch.assign(rest.substr(0, block ? block->start : rest.size()));
    filler.FillStretch(stretch);
    out.Append(stretch);
    if (!block) return;
    const std::vector<TagAt> bodyTags = FindTags(block->body, tags);
    const long long count =
        IsAllRowsCount(block->countText) ? filler.RowsLeft(bodyTags) : ReadRepeatCount(block->countText);
    AppendRepetitions(out, block->body, bodyTags, filler, count);
    rest.remove_prefix(block->afterBegin);
  }
}

std::size_t Filled(const RowCursors& rowCursor) {
  std::size_t filled = 0;
  for (const int cursor : rowCursor) filled += static_cast<std::size_t>(cursor - 1);
  return filled;
}

}  // namespace

bool IsAllRowsCount(std::u16string_view countText) { return countText == u"*"; }

void ExpandText(std::u16string_view templateText, const CellSource& cells, int k, OutputSink& sink,
                std::size_t maxOutput, ConversionSummary* summary, WorkProgress* progress) {
  const FieldTags tags(cells, std::max(0, k));
  RowCursors rowCursor(static_cast<std::size_t>(tags.Fields()), 1);
  std::optional<SummarySink> counted;
  if (summary) {
    *summary = ConversionSummary();
    counted.emplace(sink, tags, *summary);
  }
  CappedOutput out(counted ? static_cast<OutputSink&>(*counted) : sink, maxOutput, progress);
  if (tags.Fields() == 0)
    out.Append(templateText);
  else
    Expand(templateText, tags, rowCursor, out);
  if (summary) summary->filled = Filled(rowCursor);
  (counted ? static_cast<OutputSink&>(*counted) : sink).Finish();
}

void ExpandTemplate(std::u16string_view templateText, const CellSource& cells, int k, OutputSink& sink,
                    std::size_t maxOutput, ConversionSummary* summary, WorkProgress* progress) {
  const ValueEscaping escaping(templateText, cells, k);
  ExpandText(escaping.Text(), escaping.Cells(), k, sink, maxOutput, summary, progress);
  if (summary) summary->valuesEscaped = escaping.On();
}

std::u16string ExpandTemplate(std::u16string_view templateText, const SheetArray& array, int k, std::size_t maxOutput,
                              ConversionSummary* summary) {
  std::u16string result;
  result.reserve(std::min(templateText.size(), maxOutput));
  StringSink sink(result);
  ExpandTemplate(templateText, SheetArrayCells(array), k, sink, maxOutput, summary);
  return result;
}

bool WritesReferences(std::u16string_view templateText, const CellSource& cells, int k, bool htmlTemplate) {
  return htmlTemplate || OptsInToEscaping(templateText, cells, k);
}

}  // namespace quillary
