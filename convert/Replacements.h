#pragma once
// The replacements one sweep made, and the text around one of them as the
// field-by-field passes would have had it when that field replaced it.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillary {

struct Replacement {
  std::size_t inputBegin, inputEnd;  // the tag in the sweep's input
  std::size_t outBegin, outEnd;      // the value in its output
  int field;
};

// The pieces around replacements[index] when its field replaced it: fields
// before it had filled all theirs (their values), the field itself those on
// the left, and later fields none yet (their tags). At least `left`
// characters before the value and `right` after it, where the text has them.
void TextAroundReplacement(std::u16string_view input, std::u16string_view out,
                           const std::vector<Replacement>& replacements, std::size_t index, std::size_t left,
                           std::size_t right, std::u16string& text, std::size_t& valueBegin);

}  // namespace quillary
