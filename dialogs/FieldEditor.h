#pragma once
// The field-name editor "フィールド名の編集": every field name of the sheet
// side by side in a grid of its own, one column per field. A double-click
// opens a text box over the current name; leaving the cell, scrolling and OK
// store it. OK writes every name into the sheet's row 0; Cancel and the
// close box write nothing.
//
// A sheet without field columns opens an empty grid, and OK writes nothing.

#include "dialogs/SheetDialog.h"

class QLineEdit;
class QPushButton;

namespace quillary {

class GridControl;
class MessageBox;

class FieldEditor : public SheetDialog {
  Q_OBJECT

 public:
  // The editor asks nothing; messages tells what goes wrong (running out of
  // memory).
  FieldEditor(GridControl& sheet, MessageBox& messages, QWidget* owner);

  void Form_Load();
  void fg_DblClick();
  void fg_KeyDown(int keyCode, int shift);
  void fg_KeyPress(int keyAscii);
  void fg_KeyPressText(const QString& text);
  void fg_LeaveCell();
  void fg_Scroll();
  void Command1_Click();  // OK
  void Command2_Click();  // Cancel

  // An edit is open while the overlay box is shown: its text belongs to the
  // current cell and has not been stored there yet.
  bool EditOpen() const;

  QPushButton* Command1;  // OK
  QPushButton* Command2;  // Cancel
  GridControl* fg;        // captions in row 0, the names in row 1
  QLineEdit* Text1;       // the box laid over the name being edited

 private:
  void StoreOpenEdit();
  // Opens the box over the current name holding text, the caret at its end.
  void OpenEdit(const QString& text);

  GridControl& sheet_;
};

}  // namespace quillary
