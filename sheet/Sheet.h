#pragma once
// The sheet as the grid holds it: Rows x Cols text cells, row 0 the field
// names, column 0 the row labels, flat index row * Cols + col.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sheet/CellColumn.h"
#include "sheet/SharedText.h"

namespace quillary {

// A sheet holds at most as many records and fields as today's spreadsheets
// do; the field-name row and the row-label column come on top.
inline constexpr int kMaxRecords = 1048576;
inline constexpr int kMaxFields = 16384;
inline constexpr int kMaxRows = kMaxRecords + 1;
inline constexpr int kMaxCols = kMaxFields + 1;
static_assert(static_cast<std::size_t>(kMaxRows) == kMostRowNumbers);

inline constexpr int kInitialRows = 11;  // field-name row + ten records
inline constexpr int kInitialCols = 6;   // row-label column + five fields

// True when a rows x cols sheet (fixed row and column included) stays within
// kMaxRows and kMaxCols (both at least 0).
bool FitsSheetLimits(long long rows, long long cols);

class Sheet {
 public:
  Sheet() = default;
  Sheet(int rows, int cols);
  // A sheet of `rows` rows whose columns are these (each of `rows` cells),
  // sharing their cells.
  Sheet(int rows, std::vector<CellColumn> columns);

  int Rows() const { return rows_; }
  int Cols() const { return static_cast<int>(columns_.size()); }

  // Keeps the cells inside both the old and the new rectangle; new cells
  // are empty, cells outside are dropped.
  void Resize(int rows, int cols);
  void SetRows(int rows) { Resize(rows, Cols()); }
  void SetCols(int cols) { Resize(rows_, cols); }
  // count empty rows before row `at` (Rows() appends), or rows first ..
  // first + count - 1 removed; the same for columns.
  void InsertRows(int at, int count);
  void EraseRows(int first, int count);
  void InsertCols(int at, int count);
  void EraseCols(int first, int count);

  // Every cell empty, fixed ones included; the size stays.
  void Clear();

  long long Fgi(int row, int col) const { return static_cast<long long>(row) * Cols() + col; }
  long long CellCount() const { return static_cast<long long>(rows_) * Cols(); }

  // The text stays valid while the cell keeps it.
  std::u16string_view Text(int row, int col) const { return Shared(row, col).TextIn(static_cast<std::size_t>(row)); }
  void SetText(int row, int col, std::u16string text) { SetShared(row, col, SharedText(std::move(text))); }
  std::u16string_view TextAt(long long flat) const { return Text(RowOf(flat), ColOf(flat)); }
  // The cell's text as held, to share without copying.
  const SharedText& Shared(int row, int col) const {
    return columns_[static_cast<std::size_t>(col)].At(static_cast<std::size_t>(row));
  }
  void SetShared(int row, int col, SharedText text) {
    columns_[static_cast<std::size_t>(col)].Set(static_cast<std::size_t>(row), std::move(text));
  }
  const CellColumn& Column(int col) const { return columns_[static_cast<std::size_t>(col)]; }
  // Makes the cells of the rectangle the sheet's own (copying what other
  // copies of it share), so that setting them then cannot fail.
  void Unshare(int top, int left, int bottom, int right) {
    for (int c = std::max(left, 0); c <= std::min(right, Cols() - 1); ++c)
      columns_[static_cast<std::size_t>(c)].Unshare(static_cast<std::size_t>(std::max(top, 0)),
                                                    static_cast<std::size_t>(bottom));
  }
  // Cells first .. first + count - 1 of the column all given this text.
  void Fill(int col, int first, int count, const SharedText& text) {
    columns_[static_cast<std::size_t>(col)].Fill(static_cast<std::size_t>(first), static_cast<std::size_t>(count),
                                                 text);
  }

  bool operator==(const Sheet&) const = default;

 private:
  int RowOf(long long flat) const { return static_cast<int>(flat / Cols()); }
  int ColOf(long long flat) const { return static_cast<int>(flat % Cols()); }

  int rows_ = 0;
  std::vector<CellColumn> columns_;
};

std::u16string DecimalText(long long n);
// "1", "2", ... for the row-label column.
std::u16string RowLabel(int row);
// "フィールド " followed by the column number.
std::u16string DefaultFieldName(int col);

// Labels column 0 of rows first..last (each shows its row's number,
// whatever moves it later), and names row 0 of columns first..last with the
// default field names. Empty ranges do nothing.
void LabelRows(Sheet& sheet, int first, int last);
void NameFields(Sheet& sheet, int first, int last);
// All row labels and all default field names.
void LabelSheet(Sheet& sheet);

// 11 x 6, labelled, data cells empty.
Sheet MakeInitialSheet();

// The sheet at another size, sharing the texts of the cells inside both the
// old and the new rectangle; the other cells are empty.
Sheet Resized(const Sheet& sheet, int rows, int cols);

// ---- memory ----
// What a table of rows x cols cells takes before any text.
std::uint64_t CellTableBytes(long long rows, long long cols);
// What the sheet takes: its table and all its texts.
std::uint64_t SheetBytes(const Sheet& sheet);
// What letting the sheet go would free: its table and the texts that
// nothing else holds.
std::uint64_t BytesHeldAlone(const Sheet& sheet);

// What the sheet looked like when it was last taken (start-up, New, Open,
// Save). Two sheets count as the same only when their sizes and every cell
// are equal. The image shares the cells' texts, so taking it copies no text
// and comparing unchanged cells compares no text.
class SheetImage {
 public:
  void Take(const Sheet& sheet) {
    saved_ = sheet;
    none_ = false;
  }
  // No sheet was saved that the current one could equal (one brought back
  // from a recovery file): every sheet differs until the next Take.
  void Forget() {
    saved_ = Sheet();
    none_ = true;
  }
  bool Differs(const Sheet& current) const { return none_ || !(current == saved_); }
  // The same answer, every cell's text compared (for tests).
  bool DiffersCellByCell(const Sheet& current) const;

 private:
  Sheet saved_;
  bool none_ = false;
};

}  // namespace quillary
