#include "convert/FindRepSteps.h"

#include <algorithm>

#include "convert/FieldTags.h"
#include "convert/Filler.h"
#include "convert/RepeatBlock.h"
#include "convert/SheetArrayCells.h"
#include "sheet/SheetArray.h"

namespace quillary {

RepeatSplit SplitAtRepeatBlock(std::u16string_view text) {
  RepeatSplit split;
  const auto block = FindRepeatBlock(text);
  if (!block) {
    split.before = text;
    return split;
  }
  split.found = true;
  split.allRows = IsAllRowsCount(block->countText);
  split.count = split.allRows ? 0 : ReadRepeatCount(block->countText);
  split.before = text.substr(0, block->start);
  split.body = block->body;
  split.after = text.substr(block->afterBegin);
  return split;
}

int ProcessedFields(const SheetArray& array, int k) { return std::max(0, std::min(k, array.Fields())); }

void FillPlaceholders(std::u16string& text, RowCursors& rowCursor, const SheetArray& array) {
  const SheetArrayCells cells(array);
  const FieldTags tags(cells, static_cast<int>(rowCursor.size()));
  Filler(tags, rowCursor).FillStretch(text);
}

void ExpandRepeatBlock(std::u16string& body, RowCursors& rowCursor, const SheetArray& array, int count,
                       std::size_t maxOutput) {
  const SheetArrayCells cells(array);
  const FieldTags tags(cells, static_cast<int>(rowCursor.size()));
  Filler filler(tags, rowCursor);
  std::u16string result;
  StringSink sink(result);
  CappedOutput out(sink, maxOutput);
  AppendRepetitions(out, body, FindTags(body, tags), filler, count);
  body = std::move(result);
}

int ReplaceFirst(std::u16string& text, std::u16string_view find, std::u16string_view replacement) {
  if (find.empty()) return 0;
  const std::size_t at = text.find(find);
  if (at == std::u16string::npos) return 0;
  text.replace(at, find.size(), replacement);
  return 1;
}

}  // namespace quillary
