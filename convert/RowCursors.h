#pragma once
// The cursors of an expansion: every field keeps its own, so successive
// placeholders of one field receive successive records.

#include <vector>

namespace quillary {

// One cursor per processed field: the row its next filled placeholder takes.
using RowCursors = std::vector<int>;

}  // namespace quillary
