#pragma once
// The engine's procedures one at a time, as the literal reference
// (tests/convert/LiteralEngine) and the step-by-step differential test call
// them; the program expands whole through ExpandTemplate (FindRep.h).

#include <cstddef>
#include <string>
#include <string_view>

#include "convert/FindRep.h"
#include "convert/RowCursors.h"

namespace quillary {

class SheetArray;

struct RepeatSplit {
  bool found = false;     // a well-formed block was found
  int count = 0;          // repetitions asked for, clamped to an int's range
  bool allRows = false;   // the count is "*": as many as the body's fields have rows left (count 0)
  std::u16string before;  // text ahead of the block (the whole text if none)
  std::u16string body;
  std::u16string after;
};

// Finds the first repeat block. A start comment without a space after its
// count, without "-->" or without an end comment is not a block: found is
// false and before holds the whole text.
RepeatSplit SplitAtRepeatBlock(std::u16string_view text);

// Fields processed for a grid with k data columns: never more than the
// array has.
int ProcessedFields(const SheetArray& array, int k);

// Fills the placeholders of a stretch outside blocks: for each field in
// order, its successive placeholders take its successive rows.
void FillPlaceholders(std::u16string& text, RowCursors& rowCursor, const SheetArray& array);

// Replaces body by count repetitions, each filling at most the first
// placeholder of every field that still has rows. Throws
// OutputTooLargeError when the repetitions would pass maxOutput.
void ExpandRepeatBlock(std::u16string& body, RowCursors& rowCursor, const SheetArray& array, int count,
                       std::size_t maxOutput = kMaxOutputUnits);

// Replaces the first occurrence of find; 1 if replaced, 0 if not found.
int ReplaceFirst(std::u16string& text, std::u16string_view find, std::u16string_view replacement);

}  // namespace quillary
