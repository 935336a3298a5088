#pragma once
// The template engine done the slow, literal way: every search starts at the
// first character of the current text and every replacement rebuilds the
// whole text. It carries the same sound rules as the real engine (malformed
// start comments are text, counts of 0 go on after the block, used-up fields
// fill nothing inside blocks, K limited to the array's fields, "*" counts)
// and serves as the reference the real engine must match exactly.

#include <string>
#include <string_view>

#include "convert/FindRepSteps.h"

namespace quillary::literal {

std::u16string ExpandTemplate(std::u16string_view templateText, const SheetArray& array, int k);

}  // namespace quillary::literal
