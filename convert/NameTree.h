#pragma once
// A set of names as a tree of their shared beginnings: the names a text
// holds at a place are found by reading the text only as far as some name
// still matches it, never further. A template of unclosed comments thus
// costs a few units at each "<!-- ", however long the text after it runs.

#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

namespace quillary {

class NameTree {
 public:
  struct Entry {
    std::u16string_view name;  // viewed, not copied: must outlive the tree
    int id;
  };
  // The names must be distinct.
  explicit NameTree(std::vector<Entry> names = {});

  // Calls visit(id, end) for each name that text holds from `from` on,
  // shortest first, end being where it ends. False when the text ends
  // while a longer name could still go on past it.
  template <typename Visit>
  bool Walk(std::u16string_view text, std::size_t from, Visit&& visit) const {
    std::size_t pos = from;
    for (int node = 0;;) {
      const Node& here = nodes_[static_cast<std::size_t>(node)];
      if (here.id >= 0) visit(here.id, pos);
      if (here.children.empty()) return true;
      if (pos >= text.size()) return false;
      node = Child(here, text[pos]);
      if (node < 0) return true;
      const std::u16string_view label = nodes_[static_cast<std::size_t>(node)].label;
      const std::u16string_view seen = text.substr(pos, label.size());
      if (seen != label) return seen.size() == label.size() || !label.starts_with(seen);
      pos += label.size();
    }
  }

 private:
  struct Node {
    std::u16string_view label;  // the units from the parent to here
    int id = -1;                // the name ending here, if any
    std::vector<std::pair<char16_t, int>> children;  // by their label's first unit, ascending
  };
  int Child(const Node& node, char16_t unit) const;
  int Add(std::u16string_view label, int id);

  std::vector<Node> nodes_;
};

}  // namespace quillary
