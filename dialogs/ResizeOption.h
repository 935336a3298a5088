#pragma once
// The resize dialog "シートのリサイズ": sets the number of record rows and
// field columns of the sheet, labels the rows it adds and gives the columns
// it adds their default names. Entries are checked before anything changes;
// a refused entry leaves the dialog open with the entries as typed.

#include "dialogs/SheetDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace quillary {

class CautionPicture;
class GridControl;
class MessageBox;

class ResizeOption : public SheetDialog {
  Q_OBJECT

 public:
  ResizeOption(GridControl& sheet, MessageBox& messages, QWidget* owner);

  void Form_Load();
  void OK_Click();
  void Command1_Click();  // Cancel
  void Picture1_Click();  // the caution about lost cells

  QLabel* Label1;  // 行
  QPushButton* OK;
  QPushButton* Command1;     // Cancel
  QLineEdit* Text1;          // the number of records
  QLineEdit* Text2;          // the number of fields
  QLabel* Label2;            // 列
  CautionPicture* Picture1;  // shows the caution when clicked

 private:
  QLabel* AddLabel(const QString& caption, const char* name, TwipsRect rect);

  GridControl& sheet_;
  MessageBox& messages_;
  int OldRows = 0;  // record rows when the dialog opened
  int OldCols = 0;  // field columns when the dialog opened
};

}  // namespace quillary
