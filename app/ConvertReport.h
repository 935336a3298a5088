#pragma once
// The converter's --report: a conversion summary as lines of English text.

#include <string>

#include "convert/ConversionSummary.h"

namespace quillary {

// "quillary-convert: 12 placeholders filled, 3 left unfilled, 1 comment
// naming no field", then one line per name: "  unfilled <!-- Name --> 2",
// "  no field <!-- Nmae --> 1". Names are written in UTF-8.
std::string ReportText(const ConversionSummary& summary);

// What --strict fails on: placeholders left unfilled or comments naming no
// field.
bool HasLeftOvers(const ConversionSummary& summary);
// "quillary-convert: --strict: 2 placeholders left unfilled and 1 comment
// naming no field": which of the two it failed on.
std::string StrictFailureText(const ConversionSummary& summary);

}  // namespace quillary
