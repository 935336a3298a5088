#include "convert/NameTree.h"

#include <algorithm>

namespace quillary {

// Inserted in ascending order, a name can only share more than nothing with
// the last child of a node: every later child begins with a greater unit.
NameTree::NameTree(std::vector<Entry> names) {
  std::sort(names.begin(), names.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
  nodes_.emplace_back();
  for (const Entry& entry : names) {
    const std::u16string_view name = entry.name;
    for (std::size_t node = 0, pos = 0;;) {
      if (pos == name.size()) {
        nodes_[node].id = entry.id;
        break;
      }
      if (nodes_[node].children.empty() || nodes_[node].children.back().first != name[pos]) {
        const int leaf = Add(name.substr(pos), entry.id);
        nodes_[node].children.emplace_back(name[pos], leaf);
        break;
      }
      auto child = static_cast<std::size_t>(nodes_[node].children.back().second);
      const std::u16string_view label = nodes_[child].label;
      const std::u16string_view rest = name.substr(pos);
      const std::size_t common =
          static_cast<std::size_t>(std::mismatch(label.begin(), label.end(), rest.begin(), rest.end()).first - label.begin());
      if (common < label.size()) {
        // The name parts from the child's label: the shared units become a node of their own.
        const int middle = Add(label.substr(0, common), -1);
        nodes_[static_cast<std::size_t>(middle)].children.emplace_back(label[common], static_cast<int>(child));
        nodes_[child].label = label.substr(common);
        nodes_[node].children.back().second = middle;
        child = static_cast<std::size_t>(middle);
      }
      node = child;
      pos += common;
    }
  }
}

int NameTree::Add(std::u16string_view label, int id) {
  nodes_.push_back(Node{label, id, {}});
  return static_cast<int>(nodes_.size() - 1);
}

int NameTree::Child(const Node& node, char16_t unit) const {
  const auto found = std::lower_bound(node.children.begin(), node.children.end(), unit,
                                      [](const std::pair<char16_t, int>& child, char16_t u) { return child.first < u; });
  return found != node.children.end() && found->first == unit ? found->second : -1;
}

}  // namespace quillary
