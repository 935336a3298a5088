#pragma once

#include <string_view>

namespace quillary {

class SheetArray;

// Splits CSV text into records and fields and stores record i into row i of
// the array, keeping the array's field count (surplus fields are dropped,
// missing ones stay empty). The row count becomes the number of records.
// Returns the highest row index written (records read - 1).
int ParseCsv(std::u16string_view text, SheetArray& array, char16_t separator,
             std::u16string_view lineSeparator, char16_t quote);

}  // namespace quillary
