#pragma once
// Copy, cut, paste and delete of rectangular ranges of the main grid. The
// copied range lives in the window's own clip record, so a copy survives New
// and Open during one run; Copy and Cut also put it on the system clipboard
// as tab-separated text for other programs, and PasteTabText takes such text
// back from there.

#include <QString>

namespace quillary {

class GridControl;

// The last range copied or cut.
struct ClipRecord {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  // Each cell followed by TAB, each row by CR; texts as they are.
  QString text;
};

class RangeClipboard {
 public:
  explicit RangeClipboard(GridControl& grid);

  // The range arrives as (ColSel, RowSel, Col, Row), either corner first.
  void CopyGrid(int c1, int r1, int c2, int r2);
  void CutGrid(int c1, int r1, int c2, int r2);
  // Empties the grid's selection (every caller passes the selection).
  void DelGrid(int c1, int r1, int c2, int r2);
  // Writes the clip record at the selection's top-left cell, cut off at the
  // sheet's last row and column; the selection becomes the pasted block.
  // Before the first Copy or Cut there is nothing to paste and nothing
  // changes.
  void PastGrid();
  // Writes the system clipboard's tab-separated text at the selection's
  // top-left cell, cut off as PastGrid cuts; the selection becomes the
  // pasted block. Nothing on the clipboard, nothing changes.
  void PasteTabText();

  const ClipRecord& record() const { return record_; }

 private:
  // Makes the selection a rows x cols block from the selection's top-left
  // cell, cut off at the sheet's last row and column.
  void SelectBlockAtTopLeft(int rows, int cols);

  GridControl& grid_;
  ClipRecord record_;
  bool hasRecord_ = false;
};

}  // namespace quillary
