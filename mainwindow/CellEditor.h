#pragma once
// In-cell editing of the main grid: the overlay editor txtEdit laid over the
// current cell, the cell-contents box Text1 that mirrors it with line breaks
// in place of the "|" markers, and the commits that write the edited text
// into the cell through the sheet document. It holds the editing state (the
// cell an edit belongs to, the rest of a long cell the editors do not hold).

#include <functional>

#include <QObject>
#include <QString>

#include "sheet/SharedText.h"
#include "sheet/commands/InCellEditor.h"

class QLineEdit;

namespace quillary {

class CellContentsBox;
class GridControl;
class MessageBox;

class CellEditor final : public QObject, public InCellEditor {
  Q_OBJECT

 public:
  // Watches the two editors' keys, focus and changes; the grid's events
  // arrive through the fg2_ handlers below, which the window calls.
  CellEditor(GridControl& fg2, QLineEdit& txtEdit, CellContentsBox& Text1, MessageBox& messageBox,
             QObject* parent = nullptr);
  ~CellEditor() override;

  // ---- starting an edit ----
  // A typed character: control characters and the space open the cell's
  // text unchanged, any other character replaces it.
  void EditGridCell(int keyAscii);
  // An input-method commit of several characters: an edit that starts with
  // the whole text.
  void EditGridCellWithText(const QString& text);
  // Lays the editor over the current cell.
  void PlaceOverlayEditor();

  // ---- the grid's events ----
  void fg2_DblClick();
  void fg2_EnterCell();
  void fg2_RowColChange();
  void fg2_GotFocus();
  void fg2_LeaveCell();
  void fg2_Scroll();

  // ---- keys and changes in the editors ----
  // True when the key was one of the editor's own (Tab, Esc, Up, Down) and
  // is used up.
  bool EditKeyCode(int keyCode, int shift);
  // True when the character was handled here instead of being typed.
  bool txtEdit_KeyPress(int keyAscii);
  void txtEdit_Change();
  void Text1_Change();
  void Text1_GotFocus();

  // ---- commits ----
  void CommitCellEdit() override;
  void ShowCurrentCell() override;
  void FocusGrid() override;
  // The box follows a change of the sheet; a pending edit keeps it.
  void ShowUnlessEditing();
  // An edit is pending exactly while the overlay editor is shown.
  bool EditPending() const;
  // What a commit writes: the editor's text and the rest of a long cell that
  // the editors do not hold.
  std::u16string EditedCellText() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowOverlayEditor();
  // Hides the overlay editor without handing its focus to the next control
  // in the tab order.
  void HideOverlayEditor();
  // Focus to the grid, which commits a pending edit; the commit is done here
  // when the focus change did not reach the grid (an inactive window).
  // letEventsRun: pending events are processed first (Up and Down).
  void FocusGridAndCommit(bool letEventsRun = false);
  // Moves the current cell by one step if it stays on the sheet.
  void StepColumnRight();
  // Writes the edit into the cell the edit belongs to and ends it.
  void CommitTo(int row, int col);

  // The editor's and the box's texts as the program sets them; a text equal
  // to the one held changes nothing.
  void SetEditorText(const QString& text);
  void SetBoxText(const QString& text);
  // The start of a cell's text that the editors hold (all of an ordinary
  // one); the rest is held aside until the commit.
  QString EditedStart(const SharedText& cellText);
  // No rest: the editors hold all of what will be committed.
  void HoldNoRest(qsizetype total);
  void OnEditorTextChanged();
  void OnBoxTextChanged();
  // Runs a handler so that no exception leaves it.
  void Guarded(const std::function<void()>& handler);

  GridControl& fg2_;
  QLineEdit& txtEdit_;
  CellContentsBox& Text1_;
  MessageBox& messageBox_;

  // The part of a long cell beyond what the editors hold: the cell's text
  // as it was, and where that part begins.
  SharedText heldCell_;
  qsizetype heldFrom_ = 0;
  // The cell the pending edit belongs to (the current cell when it began).
  int editAnchorRow_ = 0;
  int editAnchorCol_ = 0;
  // Set while the program itself changes an editor's or the box's text.
  bool settingText_ = false;
  // The box the user is typing in while its change is mirrored; the mirror
  // never writes into it, so its caret stays where the user put it.
  QObject* typingIn_ = nullptr;
};

}  // namespace quillary
