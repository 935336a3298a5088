// What the main window does with the events, keys, characters and mouse
// buttons that reach the grid.

#include <QMenu>

#include "mainwindow/CellEditor.h"
#include "mainwindow/Main.h"
#include "mainwindow/StatusLine.h"
#include "sheet/grid/GridControl.h"
#include "sheet/grid/KeyCodes.h"
#include "sheet/grid/Twips.h"

namespace quillary {

namespace {

constexpr int kRightButton = 2;

}  // namespace

void Main::ConnectGrid() {
  ConnectGuarded(fg2, &GridControl::LeaveCell, [this] { fg2_LeaveCell(); });
  ConnectGuarded(fg2, &GridControl::RowColChange, [this] { fg2_RowColChange(); });
  ConnectGuarded(fg2, &GridControl::EnterCell, [this] { fg2_EnterCell(); });
  ConnectGuarded(fg2, &GridControl::Scroll, [this] { fg2_Scroll(); });
  ConnectGuarded(fg2, &GridControl::GotFocus, [this] { fg2_GotFocus(); });
  ConnectGuarded(fg2, &GridControl::DblClick, [this] { fg2_DblClick(); });
  ConnectGuarded(fg2, &GridControl::KeyDown, [this](int keyCode, int shift) { fg2_KeyDown(keyCode, shift); });
  ConnectGuarded(fg2, &GridControl::KeyPress, [this](int keyAscii) { fg2_KeyPress(keyAscii); });
  ConnectGuarded(fg2, &GridControl::KeyPressText, [this](const QString& text) { fg2_KeyPressText(text); });
  ConnectGuarded(fg2, &GridControl::MouseDown,
                 [this](int button, int shift, int x, int y) { fg2_MouseDown(button, shift, x, y); });
}

void Main::fg2_KeyPress(int keyAscii) {
  switch (keyAscii) {
    case kCharCtrlC:
      CopyGrid(fg2->ColSel(), fg2->RowSel(), fg2->Col(), fg2->Row());
      break;
    case kCharCtrlV:
      PastGrid();
      break;
    case kCharCtrlX:
      CutGrid(fg2->ColSel(), fg2->RowSel(), fg2->Col(), fg2->Row());
      break;
    default:
      editor_->EditGridCell(keyAscii);
  }
}

void Main::fg2_KeyPressText(const QString& text) { editor_->EditGridCellWithText(text); }
void Main::fg2_DblClick() { editor_->fg2_DblClick(); }
void Main::fg2_EnterCell() { editor_->fg2_EnterCell(); }
void Main::fg2_RowColChange() { editor_->fg2_RowColChange(); }
void Main::fg2_GotFocus() { editor_->fg2_GotFocus(); }
void Main::fg2_LeaveCell() { editor_->fg2_LeaveCell(); }
void Main::fg2_Scroll() { editor_->fg2_Scroll(); }
void Main::CommitCellEdit() { editor_->CommitCellEdit(); }

void Main::fg2_KeyDown(int keyCode, int /*shift*/) {
  // F2 edits the current cell as Space does.
  if (keyCode == kKeyF2) editor_->EditGridCell(kCharSpace);
  if (keyCode == kKeyEscape) status_->PutAwayConversion();
  if (keyCode != kKeyDelete) return;
  DelGrid(fg2->ColSel(), fg2->RowSel(), fg2->Col(), fg2->Row());
  editor_->ShowCurrentCell();
}

void Main::fg2_MouseDown(int button, int /*shift*/, int x, int y) {
  if (button != kRightButton) return;
  const int w = fg2->ColWidth(0);
  const int h = fg2->RowHeight(0);
  QMenu* menu = nullptr;
  if (x > w && y < h) {
    menu = ContextField;  // the field-name row
  } else if (x > w && y > h) {
    menu = Edit;  // the data cells
  }
  if (!menu) return;
  const QPoint point(TwipsToPixelsX(x, fg2), TwipsToPixelsY(y, fg2));
  ShowPopup(*menu, fg2->mapToGlobal(point));
}

}  // namespace quillary
