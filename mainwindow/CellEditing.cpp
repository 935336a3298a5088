// In-cell editing: the overlay editor txtEdit laid over the current cell,
// the cell-contents box Text1 that mirrors it with line breaks in place of
// the "|" markers, and the commits that write the editor's text into a cell.

#include <algorithm>
#include <cstdint>
#include <utility>

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "mainwindow/CellContentsBox.h"
#include "sheet/KeyCodes.h"
#include "mainwindow/Main.h"
#include "sheet/LongText.h"
#include "sheet/GridControl.h"
#include "sheet/RS.h"
#include "sheet/Twips.h"

namespace quillary {

namespace {

constexpr int kCaretAfterControl = 1000;

constexpr std::u16string_view kMarker = u"|";
constexpr std::u16string_view kLineBreak = u"\r\n";

QString Replaced(const QString& text, std::u16string_view find, std::u16string_view replacement) {
  std::u16string s = text.toStdU16String();
  ReplaceAll(s, find, replacement);
  return QString::fromStdU16String(s);
}

// The character an editor key types: CR for Enter, LF for Ctrl+Enter (and
// Ctrl+J); 0 for everything else, which the editor types itself.
int EditorCharCode(const QKeyEvent& event) {
  const bool ctrl = event.modifiers() & Qt::ControlModifier;
  if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) return ctrl ? kCharLineFeed : kCharReturn;
  if (ctrl && event.key() == Qt::Key_J) return kCharLineFeed;
  return 0;
}

// After the 1000th character of a long text: never between the two halves
// of a character outside the basic plane.
int CaretAfterControl(const QString& text) {
  int position = std::min<int>(kCaretAfterControl, static_cast<int>(text.size()));
  if (position > 0 && position < text.size() && text[position - 1].isHighSurrogate() && text[position].isLowSurrogate())
    ++position;
  return position;
}

// A 16-bit signed character code as typed: negative codes are characters
// from U+8000 up.
QString CharacterOf(int keyAscii) { return QString(QChar(static_cast<char16_t>(keyAscii & 0xFFFF))); }

}  // namespace

void Main::ConnectEditors() {
  ConnectGuarded(txtEdit, &QLineEdit::textChanged, [this] { OnEditorTextChanged(); });
  ConnectGuarded(Text1, &QPlainTextEdit::textChanged, [this] { OnBoxTextChanged(); });
  txtEdit->installEventFilter(this);
  Text1->installEventFilter(this);
}

bool Main::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtEdit && event->type() == QEvent::KeyPress) {
    const auto& key = static_cast<const QKeyEvent&>(*event);
    bool handled = false;
    Guarded([&] {
      handled = txtEdit_KeyDown(KeyCodeOf(key), ShiftStateOf(key.modifiers()));
      if (const int code = EditorCharCode(key); !handled && code != 0) handled = txtEdit_KeyPress(code);
    });
    return handled;
  }
  if (watched == Text1 && event->type() == QEvent::FocusIn) {
    // Coming back to the window or from a menu is no new visit to the box.
    const Qt::FocusReason reason = static_cast<const QFocusEvent&>(*event).reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
      Guarded([this] { Text1_GotFocus(); });
  }
  return QMainWindow::eventFilter(watched, event);
}

// ---- starting an edit ----

void Main::EditGridCell(GridControl& grid, QLineEdit& edit, int keyAscii) {
  if (keyAscii == kCharCtrlR) return;
  if ((keyAscii >= 1 && keyAscii <= 17) || (keyAscii >= 19 && keyAscii <= kCharSpace)) {
    // Control characters and the space open the cell's text unchanged.
    SetEditorText(edit, EditedStart(grid.SharedCurrentText()));
    edit.setCursorPosition(CaretAfterControl(edit.text()));
  } else {
    // Any other character replaces the text, all of it.
    HoldNoRest(1);
    SetEditorText(edit, CharacterOf(keyAscii));
    edit.setCursorPosition(1);
  }
  ShowOverlayEditor(edit);
}

void Main::fg2_KeyPressText(const QString& text) {
  if (text.isEmpty()) return;
  if (text.size() == 1) {
    fg2_KeyPress(static_cast<std::int16_t>(text[0].unicode()));
    return;
  }
  // An input method committed several characters at once: they replace the
  // text as one typed character would.
  HoldNoRest(text.size());
  SetEditorText(*txtEdit, text);
  txtEdit->setCursorPosition(text.size());
  ShowOverlayEditor(*txtEdit);
}

void Main::fg2_DblClick() { EditGridCell(*fg2, *txtEdit, kCharSpace); }

void Main::ShowOverlayEditor(QLineEdit& edit) {
  PlaceOverlayEditor();
  edit.show();
  edit.raise();
  edit.setFocus();
}

void Main::PlaceOverlayEditor() {
  // The grid's own position, so the editor lies exactly over the cell.
  txtEdit->setGeometry(fg2->x() + TwipsToPixelsX(fg2->CellLeft(), this),
                       fg2->y() + TwipsToPixelsY(fg2->CellTop(), this),
                       TwipsToPixelsX(fg2->CellWidth() + 30, this), TwipsToPixelsY(fg2->CellHeight(), this));
}

// ---- keys inside the overlay editor ----

bool Main::txtEdit_KeyDown(int keyCode, int shift) { return EditKeyCode(*fg2, *txtEdit, keyCode, shift); }

bool Main::EditKeyCode(GridControl& grid, QLineEdit& edit, int keyCode, int /*shift*/) {
  switch (keyCode) {
    case kKeyTab:
      FocusGridAndCommit();
      StepColumnRight();
      return true;
    case kKeyEscape:
      HideOverlayEditor(edit);
      grid.SetFocus();
      return true;
    case kKeyUp:
      FocusGridAndCommit(true);
      if (grid.Row() > grid.FixedRows()) grid.SetRow(grid.Row() - 1);
      return true;
    case kKeyDown:
      FocusGridAndCommit(true);
      if (grid.Row() < grid.Rows() - 1) grid.SetRow(grid.Row() + 1);
      return true;
    default:
      return false;
  }
}

bool Main::txtEdit_KeyPress(int keyAscii) {
  if (keyAscii == kCharReturn) {
    // Enter types the line-break marker.
    txtEdit->insert(QString(kMarker.front()));
    return true;
  }
  if (keyAscii == kCharLineFeed) {
    FocusGridAndCommit();
    StepColumnRight();
    return true;
  }
  return false;
}

void Main::FocusGridAndCommit(bool letEventsRun) {
  fg2->SetFocus();
  // Let the focus change and its commit complete before the cell moves.
  if (letEventsRun) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  // A window that is not active gets no focus events: commit here instead.
  if (EditPending()) fg2_GotFocus();
}

void Main::StepColumnRight() {
  if (fg2->Col() < fg2->Cols() - 1) fg2->SetCol(fg2->Col() + 1);
}

// ---- mirroring between the overlay editor and the cell-contents box ----

void Main::SetEditorText(QLineEdit& edit, const QString& text) {
  if (edit.text() == text) return;
  const bool wasSetting = std::exchange(settingText_, true);
  edit.setText(text);
  settingText_ = wasSetting;
}

void Main::SetBoxText(CellContentsBox& box, const QString& text) {
  const bool wasSetting = std::exchange(settingText_, true);
  box.SetText(text);
  settingText_ = wasSetting;
}

void Main::SetText1Text(const SharedText& cellText) { SetBoxText(*Text1, EditedStart(cellText)); }

QString Main::EditedStart(const SharedText& cellText) {
  const std::u16string& text = cellText.get();
  const auto total = static_cast<qsizetype>(text.size());
  QString start = StartOf(text, kEditedUnits);
  heldCell_ = start.size() < total ? cellText : SharedText();
  heldFrom_ = start.size();
  Text1->ShowCutNotice(start.size(), total);
  return start;
}

void Main::HoldNoRest(qsizetype total) {
  heldCell_ = SharedText();
  heldFrom_ = 0;
  Text1->ShowCutNotice(total, total);
}

std::u16string Main::EditedCellText() const {
  std::u16string text = txtEdit->text().toStdU16String();
  const std::u16string& held = heldCell_.get();
  if (static_cast<std::size_t>(heldFrom_) < held.size()) text.append(held, static_cast<std::size_t>(heldFrom_));
  return text;
}

void Main::OnEditorTextChanged() {
  QObject* const outer = typingIn_;
  if (!settingText_) typingIn_ = txtEdit;
  txtEdit_Change();
  typingIn_ = outer;
}

void Main::OnBoxTextChanged() {
  QObject* const outer = typingIn_;
  if (!settingText_) typingIn_ = Text1;
  Text1_Change();
  typingIn_ = outer;
}

void Main::txtEdit_Change() {
  if (typingIn_ == Text1) return;
  SetBoxText(*Text1, Replaced(txtEdit->text(), kMarker, kLineBreak));
}

void Main::Text1_Change() {
  if (typingIn_ != txtEdit) SetEditorText(*txtEdit, Replaced(Text1->Text(), kLineBreak, kMarker));
  PlaceOverlayEditor();
}

void Main::Text1_GotFocus() {
  PlaceOverlayEditor();
  txtEdit->show();
  txtEdit->raise();
}

void Main::GridClick(GridControl& grid, CellContentsBox& box) {
  SetBoxText(box, EditedStart(grid.SharedCurrentText()));
}

void Main::fg2_EnterCell() { GridClick(*fg2, *Text1); }

// ---- commits ----

bool Main::EditPending() const { return !txtEdit->isHidden(); }

void Main::HideOverlayEditor(QLineEdit& edit) {
  if (edit.hasFocus()) {
    // Hiding the focused editor would hand the focus to the next control in
    // the tab order, the cell-contents box, and reopen the edit there.
    edit.clearFocus();
    edit.hide();
    fg2->SetFocus();
  } else {
    edit.hide();
  }
}

void Main::fg2_RowColChange() {
  editAnchorRow_ = fg2->Row();
  editAnchorCol_ = fg2->Col();
}

void Main::fg2_GotFocus() {
  if (!EditPending()) return;
  fg2->SetCellText(editAnchorRow_, editAnchorCol_, EditedCellText());
  HideOverlayEditor(*txtEdit);
}

void Main::fg2_LeaveCell() { CommitCellEdit(); }

void Main::fg2_Scroll() {
  if (!EditPending()) return;
  fg2->SetText(EditedCellText());
  HideOverlayEditor(*txtEdit);
  fg2->SetFocus();
}

void Main::CommitCellEdit() {
  if (!EditPending()) return;
  fg2->SetText(EditedCellText());
  HideOverlayEditor(*txtEdit);
}

}  // namespace quillary
