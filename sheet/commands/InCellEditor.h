#pragma once
// What the commands on the whole sheet need of the main window's in-cell
// editing: a pending edit written into its cell before the sheet is saved,
// replaced or changed back, and the cell-contents box showing the current
// cell once it has.

namespace quillary {

class InCellEditor {
 public:
  virtual ~InCellEditor() = default;

  // Writes a pending overlay edit into its cell; nothing when none.
  virtual void CommitCellEdit() = 0;
  // The cell-contents box shows the current cell's text as it is now.
  virtual void ShowCurrentCell() = 0;
  // The keyboard goes back to the grid (after a command's dialog or box).
  virtual void FocusGrid() = 0;
};

}  // namespace quillary
