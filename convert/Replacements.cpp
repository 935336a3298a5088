#include "convert/Replacements.h"

#include <algorithm>

namespace quillary {

namespace {

// What a neighbour shows: its value once its field has filled it.
std::u16string_view Shown(std::u16string_view input, std::u16string_view out, const Replacement& r, bool filled) {
  return filled ? out.substr(r.outBegin, r.outEnd - r.outBegin) : input.substr(r.inputBegin, r.inputEnd - r.inputBegin);
}

}  // namespace

void TextAroundReplacement(std::u16string_view input, std::u16string_view out,
                           const std::vector<Replacement>& replacements, std::size_t index, std::size_t left,
                           std::size_t right, std::u16string& text, std::size_t& valueBegin) {
  const Replacement& self = replacements[index];
  // Leftwards, gathered back to front.
  std::vector<std::u16string_view> before;
  std::size_t at = self.inputBegin;
  for (std::size_t j = index; left > 0 && at > 0;) {
    const std::size_t plainBegin = j > 0 ? replacements[j - 1].inputEnd : 0;
    const std::size_t take = std::min(left, at - plainBegin);
    before.push_back(input.substr(at - take, take));
    left -= take;
    at -= take;
    if (left == 0 || j == 0) break;
    const Replacement& r = replacements[--j];
    const std::u16string_view shown = Shown(input, out, r, r.field <= self.field);
    const std::size_t part = std::min(left, shown.size());
    before.push_back(shown.substr(shown.size() - part));
    left -= part;
    at = r.inputBegin;
  }
  text.clear();
  for (auto piece = before.rbegin(); piece != before.rend(); ++piece) text.append(*piece);
  valueBegin = text.size();
  text.append(out.substr(self.outBegin, self.outEnd - self.outBegin));
  at = self.inputEnd;
  for (std::size_t j = index + 1; right > 0 && at < input.size();) {
    const std::size_t plainEnd = j < replacements.size() ? replacements[j].inputBegin : input.size();
    const std::size_t take = std::min(right, plainEnd - at);
    text.append(input.substr(at, take));
    right -= take;
    at += take;
    if (right == 0 || j == replacements.size()) break;
    const Replacement& r = replacements[j++];
    const std::u16string_view shown = Shown(input, out, r, r.field < self.field);
    const std::size_t part = std::min(right, shown.size());
    text.append(shown.substr(0, part));
    right -= part;
    at = r.inputEnd;
  }
}

}  // namespace quillary
