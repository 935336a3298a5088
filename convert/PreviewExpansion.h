#pragma once
// The output a preview shows: the template expanded as Convert expands it,
// kept up to a limit, with where its filled values and its placeholders
// left unfilled stand.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "convert/ConversionSummary.h"

namespace quillary {

class SheetArray;

struct PreviewExpansion {
  // The output cut at its first NUL, as Convert writes it; only its start
  // when `cut`.
  std::u16string text;
  // The output ran past the limit: text holds its first units.
  bool cut = false;
  // Counted as Convert counts it (over the start only when cut).
  ConversionSummary summary;
  // Within the first markUnits units of text, by where they begin. A value
  // that holds a placeholder filled later holds that value's span too.
  std::vector<TextSpan> values;
  std::vector<TextSpan> unfilled;
  // Comments "<!-- name -->" naming no field (a misspelt name, most often).
  std::vector<TextSpan> unknown;
  // False when the values could not be told from the text beside them (a
  // value and that text formed a placeholder together): values is empty.
  bool valuesMarked = true;
};

// Expands templateText with fields 0..k-1 of the array, keeping at most
// maxUnits units of output and marking what lies in the first markUnits.
PreviewExpansion ExpandForPreview(std::u16string_view templateText, const SheetArray& array, int k,
                                  std::size_t maxUnits, std::size_t markUnits);

}  // namespace quillary
