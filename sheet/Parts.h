#pragma once
// Writing a work array as CSV text (BuildCsv), and the copying form of the
// substring replacement that it quotes fields with.

#include <string>
#include <string_view>

namespace quillary {

class SheetArray;

// One line per row, every field quoted with inner quotes doubled, every
// line (the last included) ended by the line separator.
// Rows first .. end - 1 as BuildCsv writes them, appended to out.
void AppendCsvRows(const SheetArray& array, int first, int end, char16_t separator,
                   std::u16string_view lineSeparator, char16_t quote, std::u16string& out);
std::u16string BuildCsv(const SheetArray& array, char16_t separator,
                        std::u16string_view lineSeparator, char16_t quote);

// text with every occurrence of find replaced, resuming after each inserted
// replacement; an empty find returns the text unchanged.
std::u16string ReplaceOccurrences(std::u16string_view text, std::u16string_view find,
                                  std::u16string_view replacement);

}  // namespace quillary
