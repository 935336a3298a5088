#pragma once
// A data cell of the grid in the model's coordinates (the fixed row and
// column not counted).

namespace quillary {

struct GridCell {
  int row = 0;
  int col = 0;
  bool operator==(const GridCell&) const = default;
};

}  // namespace quillary
