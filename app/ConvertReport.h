#pragma once
// The converter's --report: a conversion summary as lines of English text.

#include <string>

#include "convert/ConversionSummary.h"

namespace quillary {

// "quillary-convert: 12 placeholders filled, 3 left unfilled, 1 comment
// naming no field", then one line per name: "  unfilled <!-- Name --> 2",
// "  no field <!-- Nmae --> 1". Names are written in UTF-8.
std::string ReportText(const ConversionSummary& summary);

}  // namespace quillary
