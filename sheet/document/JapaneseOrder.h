#pragma once
// Kana, kanji and Latin letters in the order Japanese readers expect (the
// Japanese collation, with digits read as numbers): the order Sort uses
// for a column of texts.

#include "sheet/SheetEdits.h"

namespace quillary {

// Each text's collation key is made once, on two threads, and the keys are
// compared: far faster than collating every pair a sort compares, for a
// column of a million different texts. Reports to `progress`.
std::vector<double> RankInJapaneseOrder(const std::vector<std::u16string_view>& distinct, WorkProgress* progress);

}  // namespace quillary
