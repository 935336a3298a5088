#pragma once
// Whole rows and columns at the selection inserted and deleted, and the
// records sorted by the current column: each one step of the sheet's
// history, refused with a message when the sheet would pass the cell limit
// or lose its last record or field, or when the memory it takes is not there.

#include <cstdint>
#include <functional>

class QString;

namespace quillary {

class GridControl;
class InCellEditor;
class MessageBox;
class Sheet;

class SheetEditCommands {
 public:
  SheetEditCommands(GridControl& fg2, InCellEditor& editor, MessageBox& messageBox);

  // As many rows (columns) as the selection spans, before its first one.
  void InsertRows_Click();
  void DeleteRows_Click();
  void InsertCols_Click();
  void DeleteCols_Click();
  // The records ordered by the current cell's column; field names stay.
  void SortAscending_Click();
  void SortDescending_Click();
  // A pending cell edit is committed first, so Undo takes it back too; the
  // cells taken back or brought again become the selection.
  void Undo_Click();
  void Redo_Click();

 private:
  struct Span {
    int first;
    int count;
  };
  Span SelectedRows() const;
  Span SelectedCols() const;
  // Commits a pending edit; false (with the message) when rows x cols
  // would pass the cell limit.
  bool Prepare(long long rows, long long cols);
  // The edit `build` makes of a sheet of at most rows x cols: one step,
  // refused when the memory it takes is not there.
  void Apply(long long rows, long long cols, const std::function<Sheet()>& build);
  // A row or column edit of the span: inserting into a rows x cols sheet,
  // or deleting unless it would take all `available` data rows or columns.
  using Edit = Sheet (*)(const Sheet&, int, int);
  void Insert(long long rows, long long cols, Span span, Edit edit);
  void Delete(Span span, int available, Edit edit, const QString& refusal);
  void Refuse(const QString& message);
  void Sort(bool descending);
  void StepThroughHistory(const std::function<void()>& step);

  GridControl& fg2_;
  InCellEditor& editor_;
  MessageBox& messageBox_;
};

}  // namespace quillary
