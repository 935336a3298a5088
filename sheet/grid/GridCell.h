#pragma once
// A data cell of the grid in the model's coordinates (the fixed row and
// column not counted).

namespace quillary {

struct GridCell {
  int row = 0;
  int col = 0;
  bool operator==(const GridCell&) const = default;
};

// The current cell and the selection's other corner, in the grid's own
// coordinates (fixed row and column counted): what Row, Col, RowSel and
// ColSel read, taken at once.
struct GridSelection {
  int row = 0;
  int col = 0;
  int rowSel = 0;
  int colSel = 0;
  int Top() const { return row < rowSel ? row : rowSel; }
  int Bottom() const { return row < rowSel ? rowSel : row; }
  int Left() const { return col < colSel ? col : colSel; }
  int Right() const { return col < colSel ? colSel : col; }
  bool operator==(const GridSelection&) const = default;
};

}  // namespace quillary
