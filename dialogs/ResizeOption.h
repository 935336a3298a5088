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
  void Command1_Click();
  void Picture1_Click();

  QLabel* Label1;
  QPushButton* OK;
  QPushButton* Command1;
  QLineEdit* Text1;
  QLineEdit* Text2;
  QLabel* Label2;
  CautionPicture* Picture1;

 private:
  QLabel* AddLabel(const QString& caption, const char* name, TwipsRect rect);

  GridControl& sheet_;
  MessageBox& messages_;
  int OldRows = 0;  // record rows when the dialog opened
  int OldCols = 0;  // field columns when the dialog opened
};

}  // namespace quillary
