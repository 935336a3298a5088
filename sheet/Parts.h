#pragma once
// Writing a work array as CSV text (BuildCsv).

#include <string>
#include <string_view>

namespace quillary {

class SheetArray;

// One line per row, every field quoted with inner quotes doubled, every
// line (the last included) ended by the line separator.
// Rows first .. end - 1 as BuildCsv writes them, appended to out.
void AppendCsvRows(const SheetArray& array, int first, int end, char16_t separator, std::u16string_view lineSeparator,
                   char16_t quote, std::u16string& out);
std::u16string BuildCsv(const SheetArray& array, char16_t separator, std::u16string_view lineSeparator, char16_t quote);

}  // namespace quillary
