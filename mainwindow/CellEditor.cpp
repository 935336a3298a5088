#include "mainwindow/CellEditor.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "commondialog/ErrorGuard.h"
#include "mainwindow/CellContentsBox.h"
#include "sheet/RS.h"
#include "sheet/document/SheetDocument.h"
#include "sheet/grid/GridControl.h"
#include "sheet/grid/KeyCodes.h"
#include "sheet/grid/LongText.h"

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

CellEditor::CellEditor(GridControl& fg2, QLineEdit& txtEdit, CellContentsBox& Text1, MessageBox& messageBox,
                       QObject* parent)
    : QObject(parent), fg2_(fg2), txtEdit_(txtEdit), Text1_(Text1), messageBox_(messageBox) {
  connect(&txtEdit_, &QLineEdit::textChanged, this, [this] { Guarded([this] { OnEditorTextChanged(); }); });
  connect(&Text1_, &QPlainTextEdit::textChanged, this, [this] { Guarded([this] { OnBoxTextChanged(); }); });
  txtEdit_.installEventFilter(this);
  Text1_.installEventFilter(this);
  // Whatever changed the sheet (a paste, Undo, a replace, a sort), the box
  // shows what the current cell now holds.
  SheetDocument& sheet = fg2_.document();
  connect(&sheet, &SheetDocument::CellsChanged, this, [this](int top, int left, int bottom, int right) {
    const bool current = fg2_.Row() >= top && fg2_.Row() <= bottom && fg2_.Col() >= left && fg2_.Col() <= right;
    if (current) Guarded([this] { ShowUnlessEditing(); });
  });
  connect(&sheet, &SheetDocument::Reshaped, this, [this] { Guarded([this] { ShowUnlessEditing(); }); });
  editAnchorRow_ = fg2_.Row();
  editAnchorCol_ = fg2_.Col();
}

CellEditor::~CellEditor() {
  // The editors may outlive the editor (they go with the window's widgets).
  txtEdit_.removeEventFilter(this);
  Text1_.removeEventFilter(this);
}

void CellEditor::Guarded(const std::function<void()>& handler) { RunGuarded(messageBox_, handler); }

bool CellEditor::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &txtEdit_ && event->type() == QEvent::KeyPress) {
    const auto& key = static_cast<const QKeyEvent&>(*event);
    bool handled = false;
    Guarded([&] {
      handled = EditKeyCode(KeyCodeOf(key), ShiftStateOf(key.modifiers()));
      if (const int code = EditorCharCode(key); !handled && code != 0) handled = txtEdit_KeyPress(code);
    });
    return handled;
  }
  if (watched == &Text1_ && event->type() == QEvent::FocusIn) {
    // Coming back to the window or from a menu is no new visit to the box.
    const Qt::FocusReason reason = static_cast<const QFocusEvent&>(*event).reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) Guarded([this] { Text1_GotFocus(); });
  }
  return QObject::eventFilter(watched, event);
}

// ---- starting an edit ----

void CellEditor::EditGridCell(int keyAscii) {
  if (keyAscii == kCharCtrlR) return;
  if ((keyAscii >= 1 && keyAscii <= 17) || (keyAscii >= 19 && keyAscii <= kCharSpace)) {
    // Control characters and the space open the cell's text unchanged.
    SetEditorText(EditedStart(fg2_.SharedCurrentText()));
    txtEdit_.setCursorPosition(CaretAfterControl(txtEdit_.text()));
  } else {
    // Any other character replaces the text, all of it.
    HoldNoRest(1);
    SetEditorText(CharacterOf(keyAscii));
    txtEdit_.setCursorPosition(1);
  }
  ShowOverlayEditor();
}

void CellEditor::EditGridCellWithText(const QString& text) {
  if (text.isEmpty()) return;
  if (text.size() == 1) {
    EditGridCell(static_cast<std::int16_t>(text[0].unicode()));
    return;
  }
  // Several characters replace the text as one typed character would.
  HoldNoRest(text.size());
  SetEditorText(text);
  txtEdit_.setCursorPosition(text.size());
  ShowOverlayEditor();
}

void CellEditor::fg2_DblClick() { EditGridCell(kCharSpace); }

void CellEditor::ShowOverlayEditor() {
  PlaceOverlayEditor();
  txtEdit_.show();
  txtEdit_.raise();
  txtEdit_.setFocus();
}

void CellEditor::PlaceOverlayEditor() { fg2_.PlaceOverCurrentCell(txtEdit_); }

// ---- keys inside the overlay editor ----

bool CellEditor::EditKeyCode(int keyCode, int /*shift*/) {
  switch (keyCode) {
    case kKeyTab:
      FocusGridAndCommit();
      StepColumnRight();
      return true;
    case kKeyEscape:
      HideOverlayEditor();
      fg2_.SetFocus();
      // The dropped text leaves both boxes, so no later visit brings it back.
      ShowCurrentCell();
      return true;
    case kKeyUp:
      FocusGridAndCommit(true);
      if (fg2_.Row() > fg2_.FixedRows()) fg2_.SetRow(fg2_.Row() - 1);
      return true;
    case kKeyDown:
      FocusGridAndCommit(true);
      if (fg2_.Row() < fg2_.Rows() - 1) fg2_.SetRow(fg2_.Row() + 1);
      return true;
    default: return false;
  }
}

bool CellEditor::txtEdit_KeyPress(int keyAscii) {
  if (keyAscii == kCharReturn) {
    // Enter types the line-break marker.
    txtEdit_.insert(QString(kMarker.front()));
    return true;
  }
  if (keyAscii == kCharLineFeed) {
    FocusGridAndCommit();
    StepColumnRight();
    return true;
  }
  return false;
}

void CellEditor::FocusGridAndCommit(bool letEventsRun) {
  fg2_.SetFocus();
  // Let the focus change and its commit complete before the cell moves.
  if (letEventsRun) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  // A window that is not active gets no focus events: commit here instead.
  if (EditPending()) fg2_GotFocus();
}

void CellEditor::StepColumnRight() {
  if (fg2_.Col() < fg2_.Cols() - 1) fg2_.SetCol(fg2_.Col() + 1);
}

// ---- mirroring between the overlay editor and the cell-contents box ----

void CellEditor::SetEditorText(const QString& text) {
  if (txtEdit_.text() == text) return;
  const bool wasSetting = std::exchange(settingText_, true);
  txtEdit_.setText(text);
  settingText_ = wasSetting;
}

void CellEditor::SetBoxText(const QString& text) {
  const bool wasSetting = std::exchange(settingText_, true);
  Text1_.SetText(text);
  settingText_ = wasSetting;
}

void CellEditor::FocusGrid() { fg2_.SetFocus(); }

void CellEditor::ShowCurrentCell() { SetBoxText(EditedStart(fg2_.SharedCurrentText())); }

void CellEditor::ShowUnlessEditing() {
  // A pending edit owns both boxes until it is committed or dropped.
  if (!EditPending()) ShowCurrentCell();
}

QString CellEditor::EditedStart(const SharedText& cellText) {
  const std::u16string_view text = cellText.get();
  const auto total = static_cast<qsizetype>(text.size());
  QString start = StartOf(text, kEditedUnits);
  heldCell_ = start.size() < total ? cellText : SharedText();
  heldFrom_ = start.size();
  Text1_.ShowCutNotice(start.size(), total);
  return start;
}

void CellEditor::HoldNoRest(qsizetype total) {
  heldCell_ = SharedText();
  heldFrom_ = 0;
  Text1_.ShowCutNotice(total, total);
}

std::u16string CellEditor::EditedCellText() const {
  std::u16string text = txtEdit_.text().toStdU16String();
  const std::u16string_view held = heldCell_.get();
  if (static_cast<std::size_t>(heldFrom_) < held.size()) text.append(held.substr(static_cast<std::size_t>(heldFrom_)));
  return text;
}

void CellEditor::OnEditorTextChanged() {
  QObject* const outer = typingIn_;
  if (!settingText_) typingIn_ = &txtEdit_;
  txtEdit_Change();
  typingIn_ = outer;
}

void CellEditor::OnBoxTextChanged() {
  QObject* const outer = typingIn_;
  if (!settingText_) typingIn_ = &Text1_;
  Text1_Change();
  typingIn_ = outer;
}

void CellEditor::txtEdit_Change() {
  if (typingIn_ == &Text1_) return;
  SetBoxText(Replaced(txtEdit_.text(), kMarker, kLineBreak));
}

void CellEditor::Text1_Change() {
  if (typingIn_ != &txtEdit_) SetEditorText(Replaced(Text1_.Text(), kLineBreak, kMarker));
  PlaceOverlayEditor();
}

void CellEditor::Text1_GotFocus() {
  PlaceOverlayEditor();
  txtEdit_.show();
  txtEdit_.raise();
}

void CellEditor::fg2_EnterCell() { ShowCurrentCell(); }

// ---- commits ----

bool CellEditor::EditPending() const { return !txtEdit_.isHidden(); }

void CellEditor::HideOverlayEditor() {
  if (txtEdit_.hasFocus()) {
    // Hiding the focused editor would hand the focus to the next control in
    // the tab order, the cell-contents box, and reopen the edit there.
    txtEdit_.clearFocus();
    txtEdit_.hide();
    fg2_.SetFocus();
  } else {
    txtEdit_.hide();
  }
}

void CellEditor::fg2_RowColChange() {
  editAnchorRow_ = fg2_.Row();
  editAnchorCol_ = fg2_.Col();
}

void CellEditor::CommitTo(int row, int col) {
  fg2_.SetCellText(row, col, EditedCellText());
  HideOverlayEditor();
}

void CellEditor::fg2_GotFocus() {
  if (EditPending()) CommitTo(editAnchorRow_, editAnchorCol_);
}

void CellEditor::fg2_LeaveCell() { CommitCellEdit(); }

void CellEditor::fg2_Scroll() {
  if (!EditPending()) return;
  CommitTo(fg2_.Row(), fg2_.Col());
  fg2_.SetFocus();
}

void CellEditor::CommitCellEdit() {
  if (EditPending()) CommitTo(fg2_.Row(), fg2_.Col());
}

}  // namespace quillary
