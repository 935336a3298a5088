#pragma once
// The find and replace window: non-modal over the main window, it searches
// the sheet's data cells (and, as an option, the field names) from the
// current cell, makes the cell it finds current, replaces one match or all
// of them (one step of the sheet's history) and says what it did.

#include <optional>

#include <QDialog>

#include "sheet/document/SheetSearch.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quillary {

class GridControl;
class InCellEditor;
class MessageBox;

class FindReplace final : public QDialog {
  Q_OBJECT

 public:
  // Its buttons report what goes wrong (running out of memory) in
  // messageBox.
  FindReplace(GridControl& fg2, InCellEditor& editor, MessageBox& messageBox, QWidget* owner);

  // Shows the window with the find box (replacing: the replace box) ready.
  void ShowForFind();
  void ShowForReplace();

  void FindNext_Click();
  void FindPrevious_Click();
  void ReplaceOne_Click();
  void ReplaceAll_Click();

  // What the last command found or did ("見つかりません。" ...).
  QString Result() const;

 private:
  SearchOptions Options() const;
  // False (and the user told why) when there is nothing to search for.
  bool Searchable(const SearchOptions& options);
  // Where the search goes on from: the match reported last while it is
  // still the one shown (a field name shows as its column's first record),
  // otherwise the current cell.
  SheetCell SearchFrom() const;
  bool Find(bool forward);
  void Say(const QString& text);

  GridControl& fg2_;
  InCellEditor& editor_;
  QLineEdit* FindText;
  QLineEdit* ReplaceText;
  QCheckBox* MatchCase;
  QCheckBox* WholeCell;
  QCheckBox* FieldNames;
  QCheckBox* RegularExpression;
  QLabel* ResultLabel;
  bool placed_ = false;
  std::optional<SheetCell> reported_;
};

}  // namespace quillary
