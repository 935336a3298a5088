#include "convert/NameIndex.h"

#include <utility>

namespace quillary {

NameIndex::NameIndex(std::vector<Entry> names) : names_(std::move(names)) {
  std::sort(names_.begin(), names_.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
  firstUnits_.reserve(names_.size());
  for (const Entry& entry : names_) firstUnits_.push_back(entry.name.empty() ? u'\0' : entry.name[0]);
}

}  // namespace quillary
