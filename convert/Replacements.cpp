#include "convert/Replacements.h"

#include <algorithm>

namespace quillary {

namespace {

// What a neighbour shows: its value once its field has filled it.
std::u16string_view Shown(std::u16string_view input, std::u16string_view out, const Replacement& r, bool filled) {
  return filled ? out.substr(r.outBegin, r.outEnd - r.outBegin) : input.substr(r.inputBegin, r.inputEnd - r.inputBegin);
}

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

}  // namespace

void SilentRuns::Build(const std::vector<Replacement>& replacements) {
  replacements_ = &replacements;
  const std::size_t count = replacements.size();
  begin_.assign(count, kNone);
  end_.assign(count, kNone);
  higherBefore_.assign(count, kNone);
  higherAfter_.assign(count, kNone);
  std::vector<std::size_t> higher;
  for (std::size_t first = 0; first < count;) {
    if (!Empty(first)) {
      ++first;
      continue;
    }
    std::size_t last = first;
    while (last + 1 < count && Empty(last + 1) && replacements[last].inputEnd == replacements[last + 1].inputBegin)
      ++last;
    // The nearest higher field on either side, each through a stack of
    // the fields not yet passed by a higher one.
    higher.clear();
    for (std::size_t j = first; j <= last; ++j) {
      begin_[j] = first;
      end_[j] = last;
      while (!higher.empty() && Field(higher.back()) <= Field(j)) higher.pop_back();
      higherBefore_[j] = higher.empty() ? kNone : higher.back();
      higher.push_back(j);
    }
    higher.clear();
    for (std::size_t j = last + 1; j-- > first;) {
      while (!higher.empty() && Field(higher.back()) <= Field(j)) higher.pop_back();
      higherAfter_[j] = higher.empty() ? kNone : higher.back();
      higher.push_back(j);
    }
    first = last + 1;
  }
}

// Following the nearest higher fields finds the nearest one above `field`:
// every one nearer is lower than each of them.
std::size_t SilentRuns::SkipLeft(std::size_t j, int field) const {
  const std::size_t last = j - 1;
  if (!Empty(last) || Field(last) > field) return j;
  std::size_t shown = higherBefore_[last];
  while (shown != kNone && Field(shown) <= field) shown = higherBefore_[shown];
  return shown != kNone ? shown + 1 : begin_[last];
}

std::size_t SilentRuns::SkipRight(std::size_t j, int field) const {
  if (!Empty(j) || Field(j) >= field) return j;
  std::size_t shown = higherAfter_[j];
  while (shown != kNone && Field(shown) < field) shown = higherAfter_[shown];
  return shown != kNone ? shown : end_[j] + 1;
}

void TextAroundReplacement(std::u16string_view input, std::u16string_view out,
                           const std::vector<Replacement>& replacements, const SilentRuns& silent, std::size_t index,
                           std::size_t left, std::size_t right, std::u16string& text, std::size_t& valueBegin) {
  const Replacement& self = replacements[index];
  // Leftwards, gathered back to front.
  std::vector<std::u16string_view> before;
  std::size_t at = self.inputBegin;
  for (std::size_t j = index; left > 0 && at > 0;) {
    const std::size_t plainBegin = j > 0 ? replacements[j - 1].inputEnd : 0;
    if (j > 0 && at == plainBegin) {
      if (const std::size_t from = silent.SkipLeft(j, self.field); from != j) {
        j = from;
        at = replacements[j].inputBegin;
        continue;
      }
    }
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
    if (j < replacements.size() && at == replacements[j].inputBegin) {
      if (const std::size_t to = silent.SkipRight(j, self.field); to != j) {
        j = to;
        at = replacements[j - 1].inputEnd;
        continue;
      }
    }
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
