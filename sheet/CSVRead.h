#pragma once

#include <limits>
#include <string_view>

namespace quillary {

class SheetArray;

// Splits CSV text into records and fields and stores record i into row i of
// the array, keeping the array's field count (surplus fields are dropped,
// missing ones stay empty). The row count becomes the number of records.
// Returns the highest row index written (records read - 1). Reading stops
// after maxRows records; the rest of the text is not looked at.
int ParseCsv(std::u16string_view text, SheetArray& array, char16_t separator,
             std::u16string_view lineSeparator, char16_t quote,
             int maxRows = std::numeric_limits<int>::max());

}  // namespace quillary
