// What the main window does with the events, keys, characters and mouse
// buttons that reach the grid.

#include <QMenu>

#include "mainwindow/CellEditor.h"
#include "mainwindow/Main.h"
#include "mainwindow/RangeClipboard.h"
#include "mainwindow/StatusLine.h"
#include "sheet/grid/GridControl.h"
#include "sheet/grid/KeyCodes.h"
#include "sheet/grid/Twips.h"

namespace quillary {

namespace {

constexpr int kRightButton = 2;

}  // namespace

void Main::ConnectGrid() {
  CellEditor* editor = editor_;
  ConnectGuarded(fg2, &GridControl::LeaveCell, [editor] { editor->fg2_LeaveCell(); });
  ConnectGuarded(fg2, &GridControl::RowColChange, [editor] { editor->fg2_RowColChange(); });
  ConnectGuarded(fg2, &GridControl::EnterCell, [editor] { editor->fg2_EnterCell(); });
  ConnectGuarded(fg2, &GridControl::Scroll, [editor] { editor->fg2_Scroll(); });
  ConnectGuarded(fg2, &GridControl::GotFocus, [editor] { editor->fg2_GotFocus(); });
  ConnectGuarded(fg2, &GridControl::DblClick, [editor] { editor->fg2_DblClick(); });
  ConnectGuarded(fg2, &GridControl::KeyPressText,
                 [editor](const QString& text) { editor->EditGridCellWithText(text); });
  ConnectGuarded(fg2, &GridControl::KeyDown, [this](int keyCode, int shift) { fg2_KeyDown(keyCode, shift); });
  ConnectGuarded(fg2, &GridControl::KeyPress, [this](int keyAscii) { fg2_KeyPress(keyAscii); });
  ConnectGuarded(fg2, &GridControl::MouseDown,
                 [this](int button, int shift, int x, int y) { fg2_MouseDown(button, shift, x, y); });
}

void Main::fg2_KeyPress(int keyAscii) {
  switch (keyAscii) {
    case kCharCtrlC: clipboard_->Copy_Click(); break;
    case kCharCtrlV: clipboard_->Paste_Click(); break;
    case kCharCtrlX: clipboard_->Cut_Click(); break;
    default: editor_->EditGridCell(keyAscii);
  }
}

void Main::fg2_KeyDown(int keyCode, int /*shift*/) {
  // F2 edits the current cell as Space does.
  if (keyCode == kKeyF2) editor_->EditGridCell(kCharSpace);
  if (keyCode == kKeyEscape) status_->PutAwayConversion();
  if (keyCode == kKeyDelete) clipboard_->Delete_Click();
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
