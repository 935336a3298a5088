#pragma once
// Ranges of cells as tab-separated text, the form spreadsheets exchange on
// the system clipboard: fields ended by TAB, records by LF; a field holding
// a TAB, a line break or a quote is quoted with inner quotes doubled. The
// sheet's line-break marker "|" is a line break there, and back.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sheet/Sheet.h"

namespace quillary {

// Cells top..bottom x left..right (inclusive) as tab-separated text.
std::u16string ToTabText(const Sheet& sheet, int top, int left, int bottom, int right);

// The records of a tab-separated text; line breaks inside quoted fields
// become "|". A final line end adds no record.
std::vector<std::vector<std::u16string>> FromTabText(std::u16string_view text);
// At most what FromTabText takes for the text, known before it is read: the
// units with room to grow and a holder for every field.
std::uint64_t FromTabTextBytes(std::u16string_view text);

}  // namespace quillary
