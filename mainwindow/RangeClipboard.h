#pragma once
// Copy, cut, paste and delete of rectangular ranges of the main grid. The
// copied range lives in the window's own clip record, so a copy survives New
// and Open during one run; Copy and Cut also put it on the system clipboard
// as tab-separated text for other programs, and PasteTabText takes such text
// back from there. Paste takes whichever was copied last.

#include <QString>

namespace quillary {

class GridControl;
class InCellEditor;
class MessageBox;

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
  // What could not be pasted is told in messageBox; a pending cell edit is
  // committed before the commands.
  RangeClipboard(GridControl& grid, InCellEditor& editor, MessageBox& messageBox);

  // The commands the menu items, the toolbar, the pop-up and the keys reach:
  // each takes the selection as it is.
  void Copy_Click();
  void Cut_Click();
  void Paste_Click();
  // The Delete key.
  void Delete_Click();
  // 外部から張り付け: another program's cells.
  void PasteExternal_Click();

  // The range arrives as (ColSel, RowSel, Col, Row), either corner first.
  void CopyGrid(int c1, int r1, int c2, int r2);
  void CutGrid(int c1, int r1, int c2, int r2);
  // Empties the grid's selection (every caller passes the selection).
  void DelGrid(int c1, int r1, int c2, int r2);
  // Pastes what was copied last: the system clipboard's text when another
  // program put it there since this one's last Copy or Cut (as PasteTabText
  // does), otherwise the clip record, written at the selection's top-left
  // cell and cut off at the sheet's last row and column. The selection
  // becomes the pasted block. With neither there is nothing to paste and
  // nothing changes.
  void PastGrid();
  // Writes the system clipboard's tab-separated text at the selection's
  // top-left cell; the selection becomes the pasted block. A block reaching
  // past the sheet's edge grows the sheet (one step with the paste) as far
  // as the cell limit lets it; what still does not fit is left out, and the
  // user is told how many rows and columns. Nothing on the clipboard,
  // nothing changes.
  void PasteTabText();

  const ClipRecord& record() const { return record_; }

 private:
  // Makes the current cell the top-left cell of the selection.
  void MoveToTopLeft();
  // Makes the selection a rows x cols block from the selection's top-left
  // cell, cut off at the sheet's last row and column.
  void SelectBlockAtTopLeft(int rows, int cols);
  // Grows the sheet so that a rows x cols block fits from the current cell,
  // as far as the cell limit lets it.
  void GrowFor(int rows, int cols);

  // True when the system clipboard holds text that this program did not
  // put there with its last Copy or Cut.
  bool ClipboardTakenByOthers() const;

  GridControl& grid_;
  InCellEditor& editor_;
  MessageBox& messageBox_;
  ClipRecord record_;
  bool hasRecord_ = false;
  // What the last Copy or Cut put on the system clipboard.
  QString placedOnClipboard_;
};

}  // namespace quillary
