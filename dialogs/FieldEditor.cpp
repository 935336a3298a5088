#include "dialogs/FieldEditor.h"

#include <algorithm>

#include <QLineEdit>
#include <QPushButton>

#include "commondialog/ErrorGuard.h"
#include "sheet/Sheet.h"
#include "sheet/document/SheetDocument.h"
#include "sheet/grid/GridControl.h"
#include "sheet/grid/KeyCodes.h"
#include "sheet/grid/Twips.h"

namespace quillary {

namespace {

constexpr int kCaptionRow = 0;
constexpr int kNameRow = 1;
constexpr int kColumnWidth = 2000;   // twips
constexpr int kNameRowHeight = 300;  // twips

}  // namespace

FieldEditor::FieldEditor(GridControl& sheet, MessageBox& messages, QWidget* owner)
    : SheetDialog(owner, QStringLiteral("フィールド名の編集"), 6300, 2130), sheet_(sheet) {
  Command1 = AddButton(QStringLiteral("OK"), "Command1", {3660, 1440, 1035, 495});
  Command2 = AddButton(QStringLiteral("キャンセル"), "Command2", {4920, 1440, 1155, 495});
  fg = new GridControl(1, 0, this);
  Place(fg, "fg", {60, 180, 6165, 975});
  Text1 = new QLineEdit(this);
  Place(Text1, "Text1", {840, 1260, 1215, 270});
  Text1->hide();

  setTabOrder(Command1, Command2);
  setTabOrder(Command2, fg);
  setTabOrder(fg, Text1);

  Form_Load();

  // Connected after loading: filling the grid is not an edit.
  ConnectGuarded(messages, fg, &GridControl::DblClick, this, &FieldEditor::fg_DblClick);
  ConnectGuarded(messages, fg, &GridControl::KeyDown, this, &FieldEditor::fg_KeyDown);
  ConnectGuarded(messages, fg, &GridControl::KeyPress, this, &FieldEditor::fg_KeyPress);
  ConnectGuarded(messages, fg, &GridControl::KeyPressText, this, &FieldEditor::fg_KeyPressText);
  ConnectGuarded(messages, fg, &GridControl::LeaveCell, this, &FieldEditor::fg_LeaveCell);
  ConnectGuarded(messages, fg, &GridControl::Scroll, this, &FieldEditor::fg_Scroll);
  ConnectGuarded(messages, Command1, &QPushButton::clicked, this, &FieldEditor::Command1_Click);
  ConnectGuarded(messages, Command2, &QPushButton::clicked, this, &FieldEditor::Command2_Click);

  Command1->setFocus();
}

void FieldEditor::Form_Load() {
  const int fields = std::max(sheet_.Cols() - 1, 0);
  // Filled in one piece: a sheet may have thousands of fields.
  Sheet names(2, fields);
  for (int n = 1; n <= fields; ++n) {
    names.SetText(kCaptionRow, n - 1, DefaultFieldName(n));
    names.SetShared(kNameRow, n - 1, sheet_.sheet().Shared(0, n));
  }
  fg->SetSheet(std::move(names));
  for (int col = 0; col < fields; ++col) fg->SetColWidth(col, kColumnWidth);
  fg->SetRowHeight(kNameRow, kNameRowHeight);
  if (fields > 0) {
    fg->SetRow(kNameRow);
    fg->SetCol(0);
  }
}

bool FieldEditor::EditOpen() const { return !Text1->isHidden(); }

void FieldEditor::fg_DblClick() { OpenEdit(fg->Text()); }

void FieldEditor::fg_KeyDown(int keyCode, int /*shift*/) {
  if (keyCode == kKeyF2 || keyCode == kKeyReturn) OpenEdit(fg->Text());
}

void FieldEditor::fg_KeyPress(int keyAscii) {
  // A typed character replaces the name; control characters type nothing.
  if (keyAscii >= kCharSpace || keyAscii < 0) OpenEdit(QString(QChar(static_cast<char16_t>(keyAscii & 0xFFFF))));
}

void FieldEditor::fg_KeyPressText(const QString& text) { OpenEdit(text); }

void FieldEditor::OpenEdit(const QString& text) {
  if (fg->Cols() == 0 || EditOpen()) return;
  fg->PlaceOverCurrentCell(*Text1);
  Text1->setText(text);
  Text1->show();
  Text1->raise();
  Text1->setFocus();
}

void FieldEditor::StoreOpenEdit() {
  if (!EditOpen()) return;
  fg->SetText(Text1->text());
  Text1->clear();
  Text1->hide();
}

void FieldEditor::fg_LeaveCell() { StoreOpenEdit(); }

void FieldEditor::fg_Scroll() { StoreOpenEdit(); }

void FieldEditor::Command1_Click() {
  StoreOpenEdit();
  const int fields = std::min(fg->Cols(), sheet_.Cols() - 1);
  // All the names are one step of the sheet's history, the texts shared
  // with the dialog's grid; refused whole, the dialog stays open.
  SheetDocument& document = sheet_.document();
  SheetDocument::Step step(document);
  for (int n = 1; n <= fields; ++n) document.SetCell(0, n, fg->sheet().Shared(kNameRow, n - 1));
  step.Commit();
  accept();
}

void FieldEditor::Command2_Click() { reject(); }

}  // namespace quillary
