#pragma once
// The converter's --report: a conversion summary as lines of English text.

#include <string>

#include "convert/ConversionSummary.h"

namespace quillary {

// "quillary-convert: 12 placeholders filled, 3 left unfilled, 1 comment
// naming no field", then one line per name: "  unfilled <!-- Name --> 2",
// "  no field <!-- Nmae --> 1". Names are written in UTF-8. Then, when so,
// "  values escaped (<!-- EscapeValues -->)" and "  2 characters written
// as character references" (those CP932 lacks, in an HTML page).
std::string ReportText(const ConversionSummary& summary);

// "quillary-convert: 3 pages written in DIR (1 replaced, 2 blank records
// without a page)", the parts in brackets when not 0.
std::string PagesReportText(std::size_t written, std::size_t replaced, int blankRecords, const std::string& folder);

// What --strict fails on: placeholders left unfilled or comments naming no
// field.
bool HasLeftOvers(const ConversionSummary& summary);
// "quillary-convert: --strict: 2 placeholders left unfilled and 1 comment
// naming no field": which of the two it failed on.
std::string StrictFailureText(const ConversionSummary& summary);

}  // namespace quillary
