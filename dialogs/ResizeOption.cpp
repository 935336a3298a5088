#include "dialogs/ResizeOption.h"

#include <QLabel>
#include <QPushButton>

#include "commondialog/ErrorGuard.h"
#include "commondialog/MessageBox.h"
#include "dialogs/CautionPicture.h"
#include "dialogs/SelectAllLineEdit.h"
#include "dialogs/SheetSizeEntry.h"
#include "sheet/SheetEdits.h"
#include "sheet/document/SheetDocument.h"
#include "sheet/grid/GridControl.h"

namespace quillary {

namespace {

QString CautionMessage() {
  return QStringLiteral(
      "新しいシートのサイズが現在のシートよりも\r\n"
      "小さくなる場合は、あふれた部分のデータは\r\n"
      "削除されます。");
}

}  // namespace

ResizeOption::ResizeOption(GridControl& sheet, MessageBox& messages, QWidget* owner)
    : SheetDialog(owner, QStringLiteral("シートのリサイズ"), 2370, 1575), sheet_(sheet), messages_(messages) {
  // Created in tab order; the labels and the picture take no focus.
  Label1 = AddLabel(QStringLiteral("行"), "Label1", {1020, 300, 255, 195});
  OK = AddButton(QStringLiteral("OK"), "OK", {120, 1140, 1035, 375});
  Command1 = AddButton(QStringLiteral("キャンセル"), "Command1", {1260, 1140, 1035, 375});
  Text1 = new SelectAllLineEdit(this);
  Place(Text1, "Text1", {1380, 240, 735, 270});
  Text2 = new SelectAllLineEdit(this);
  Place(Text2, "Text2", {1380, 600, 735, 270});
  Label2 = AddLabel(QStringLiteral("列"), "Label2", {1020, 660, 255, 195});
  Picture1 = new CautionPicture(this);
  Place(Picture1, "Picture1", {360, 300, 495, 495});
  Picture1->setToolTip(QStringLiteral("Click!!"));

  setTabOrder(OK, Command1);
  setTabOrder(Command1, Text1);
  setTabOrder(Text1, Text2);

  ConnectGuarded(messages_, OK, &QPushButton::clicked, this, &ResizeOption::OK_Click);
  ConnectGuarded(messages_, Command1, &QPushButton::clicked, this, &ResizeOption::Command1_Click);
  ConnectGuarded(messages_, Picture1, &CautionPicture::Clicked, this, &ResizeOption::Picture1_Click);

  Form_Load();
  OK->setFocus();
}

QLabel* ResizeOption::AddLabel(const QString& caption, const char* name, TwipsRect rect) {
  auto* label = new QLabel(caption, this);
  Place(label, name, rect);
  return label;
}

void ResizeOption::Form_Load() {
  OldRows = sheet_.Rows() - 1;
  OldCols = sheet_.Cols() - 1;
  Text1->setText(QString::number(OldRows));
  Text2->setText(QString::number(OldCols));
}

void ResizeOption::OK_Click() {
  const SizeCheck check = CheckSheetSize(Text1->text(), Text2->text());
  if (!check.size) {
    messages_.Show(check.refusal, MsgButtons::Ok, MsgIcon::Error, kProgramTitle);
    (check.badEntry == EntryBox::Records ? Text1 : Text2)->setFocus();
    return;
  }
  // One number sizes the sheet and bounds the labels and names it adds.
  const int rows = check.size->records + 1;
  const int cols = check.size->fields + 1;
  // Both counts at once: one after the other could pass through a sheet far
  // over the cell limit (2 x 16000 to 16000 x 2 via 16000 x 16000). The new
  // size and its labels are one step of the sheet's history, refused whole
  // when the memory for it is not there (the dialog stays open then).
  SheetDocument& document = sheet_.document();
  if (rows != sheet_.Rows() || cols != sheet_.Cols())
    document.Change(EditBytes(rows, cols), [&] { return ResizedAndLabelled(document.sheet(), rows, cols); });
  accept();
}

void ResizeOption::Command1_Click() { reject(); }

void ResizeOption::Picture1_Click() {
  messages_.Show(CautionMessage(), MsgButtons::Ok, MsgIcon::Exclamation, QStringLiteral("注意"));
}

}  // namespace quillary
