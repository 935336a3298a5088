#pragma once
// The template engine done the slow, literal way: every search starts at the
// first character of the current text and every replacement rebuilds the
// whole text. It carries the same sound rules as the real engine (malformed
// start comments are text, counts of 0 go on after the block, used-up fields
// fill nothing inside blocks, K limited to the array's fields, "*" counts) and serves as
// the reference the real engine must match exactly.

#include <string>
#include <string_view>

#include "convert/FindRepSteps.h"

namespace quillary::literal {

std::u16string ExpandTemplate(std::u16string_view templateText, const SheetArray& array, int k);

// The template as a conversion expands it: one that opts in to escaping
// (it holds "<!-- EscapeValues -->" and no processed field has that name)
// loses every such comment, in one pass of ReplaceAll, and is expanded
// against a copy of the sheet whose values have & < > " ' replaced, "&"
// first, by their references.
std::u16string ConvertTemplate(std::u16string_view templateText, const SheetArray& array, int k);
// A record's page: ConvertTemplate against a sheet of two rows, the field
// names and that record.
std::u16string RecordPage(std::u16string_view templateText, const SheetArray& array, int k, int record);
// A page's file name before it is made safe: the pattern expanded for the
// record as it stands, cut at a NUL.
std::u16string PageName(std::u16string_view pattern, const SheetArray& array, int k, int record);

}  // namespace quillary::literal
