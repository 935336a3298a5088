#pragma once
// A set of names, sorted, for finding the names a text holds at a place:
// the candidates narrow unit by unit, so the text is read only as far as
// some name still matches it, never further. A template of unclosed
// comments thus costs a few units at each "<!-- ", however long the text
// after it runs.

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

namespace quillary {

class NameIndex {
 public:
  struct Entry {
    std::u16string_view name;  // viewed, not copied: must outlive the index
    int id;
  };
  // The names must be distinct.
  explicit NameIndex(std::vector<Entry> names = {});

  // Calls visit(id, end) for each name that text holds from `from` on,
  // shortest first, end being where it ends. False when the text ends
  // while a longer name could still go on past it.
  template <typename Visit>
  bool Walk(std::u16string_view text, std::size_t from, Visit&& visit) const {
    // The names in [first, last) begin with the `depth` units before pos.
    auto first = names_.begin(), last = names_.end();
    for (std::size_t pos = from, depth = 0;; ++pos, ++depth) {
      // Sorted, a name that ends here comes first; distinct, only one can.
      if (first != last && first->name.size() == depth) visit((first++)->id, pos);
      if (first == last) return true;
      if (pos >= text.size()) return false;
      const char16_t unit = text[pos];
      if (depth == 0) {
        // The first units apart, so the search touches no name's text; an
        // empty name was passed above.
        const auto [low, high] =
            std::equal_range(firstUnits_.begin() + (first - names_.begin()), firstUnits_.end(), unit);
        first = names_.begin() + (low - firstUnits_.begin());
        last = names_.begin() + (high - firstUnits_.begin());
        continue;
      }
      // Names sharing more than a few units (a common prefix) keep the range.
      if (first->name[depth] == unit && (last - 1)->name[depth] == unit) continue;
      first = std::lower_bound(first, last, unit, [&](const Entry& e, char16_t u) { return e.name[depth] < u; });
      last = std::upper_bound(first, last, unit, [&](char16_t u, const Entry& e) { return u < e.name[depth]; });
    }
  }

 private:
  std::vector<Entry> names_;
  std::vector<char16_t> firstUnits_;  // of each name (an empty one's is 0)
};

}  // namespace quillary
