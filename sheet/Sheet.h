#pragma once
// The sheet as the grid holds it: Rows x Cols text cells, row 0 the field
// names, column 0 the row labels, flat index row * Cols + col.

#include <cstdint>
#include <string>
#include <vector>

#include "sheet/SharedText.h"

namespace quillary {

// Row, column and flat index are 16-bit signed in the file formats' world,
// so a sheet holds at most this many cells (fixed row and column included).
inline constexpr int kMaxCells = 32768;

inline constexpr int kInitialRows = 11;  // field-name row + ten records
inline constexpr int kInitialCols = 6;   // row-label column + five fields

// True when a rows x cols sheet stays within kMaxCells (both at least 0).
bool FitsCellLimit(long long rows, long long cols);

class Sheet {
 public:
  Sheet() = default;
  Sheet(int rows, int cols);

  int Rows() const { return rows_; }
  int Cols() const { return cols_; }

  // Keeps the cells inside both the old and the new rectangle; new cells
  // are empty, cells outside are dropped.
  void Resize(int rows, int cols);
  void SetRows(int rows) { Resize(rows, cols_); }
  void SetCols(int cols) { Resize(rows_, cols); }

  // Every cell empty, fixed ones included; the size stays.
  void Clear();

  int Fgi(int row, int col) const { return row * cols_ + col; }
  int CellCount() const { return rows_ * cols_; }

  const std::u16string& Text(int row, int col) const { return cells_[Fgi(row, col)].get(); }
  void SetText(int row, int col, std::u16string text) { cells_[Fgi(row, col)] = SharedText(std::move(text)); }
  const std::u16string& TextAt(int flat) const { return cells_[flat].get(); }
  void SetTextAt(int flat, std::u16string text) { cells_[flat] = SharedText(std::move(text)); }
  // The cell's text as held, to share without copying.
  const SharedText& Shared(int row, int col) const { return cells_[Fgi(row, col)]; }
  const SharedText& SharedAt(int flat) const { return cells_[flat]; }
  void SetShared(int row, int col, SharedText text) { cells_[Fgi(row, col)] = std::move(text); }

  bool operator==(const Sheet&) const = default;

 private:
  int rows_ = 0;
  int cols_ = 0;
  std::vector<SharedText> cells_;  // row-major, like the flat index
};

std::u16string DecimalText(long long n);
// "1", "2", ... for the row-label column.
std::u16string RowLabel(int row);
// "フィールド " followed by the column number.
std::u16string DefaultFieldName(int col);

// Labels column 0 of rows first..last, and names row 0 of columns first..last
// with the default field names. Empty ranges do nothing.
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

 private:
  Sheet saved_;
  bool none_ = false;
};

}  // namespace quillary
