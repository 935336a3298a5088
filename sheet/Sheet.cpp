#include "sheet/Sheet.h"

#include <algorithm>

namespace quillary {

bool FitsCellLimit(long long rows, long long cols) { return rows >= 0 && cols >= 0 && rows * cols <= kMaxCells; }

Sheet::Sheet(int rows, int cols) : rows_(rows), cols_(cols), cells_(static_cast<std::size_t>(rows) * cols) {}

void Sheet::Resize(int rows, int cols) {
  if (rows == rows_ && cols == cols_) return;
  std::vector<SharedText> cells(static_cast<std::size_t>(rows) * cols);
  const int keepRows = std::min(rows, rows_);
  const int keepCols = std::min(cols, cols_);
  for (int r = 0; r < keepRows; ++r)
    for (int c = 0; c < keepCols; ++c) cells[static_cast<std::size_t>(r) * cols + c] = std::move(cells_[Fgi(r, c)]);
  cells_ = std::move(cells);
  rows_ = rows;
  cols_ = cols;
}

void Sheet::Clear() {
  for (auto& cell : cells_) cell = SharedText();
}

std::u16string DecimalText(long long n) {
  const std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string RowLabel(int row) { return DecimalText(row); }

std::u16string DefaultFieldName(int col) { return u"フィールド " + DecimalText(col); }

// Both keep to the sheet, so a sheet without a label column or a heading
// row is left as it is.
void LabelRows(Sheet& sheet, int first, int last) {
  if (sheet.Cols() == 0) return;
  for (int r = std::max(first, 0); r <= std::min(last, sheet.Rows() - 1); ++r) sheet.SetText(r, 0, RowLabel(r));
}

void NameFields(Sheet& sheet, int first, int last) {
  if (sheet.Rows() == 0) return;
  for (int c = std::max(first, 0); c <= std::min(last, sheet.Cols() - 1); ++c) sheet.SetText(0, c, DefaultFieldName(c));
}

void LabelSheet(Sheet& sheet) {
  LabelRows(sheet, 1, sheet.Rows() - 1);
  NameFields(sheet, 1, sheet.Cols() - 1);
}

Sheet MakeInitialSheet() {
  Sheet sheet(kInitialRows, kInitialCols);
  LabelSheet(sheet);
  return sheet;
}

Sheet Resized(const Sheet& sheet, int rows, int cols) {
  Sheet result(rows, cols);
  for (int r = 0; r < std::min(rows, sheet.Rows()); ++r)
    for (int c = 0; c < std::min(cols, sheet.Cols()); ++c) result.SetShared(r, c, sheet.Shared(r, c));
  return result;
}

std::uint64_t CellTableBytes(long long rows, long long cols) {
  return static_cast<std::uint64_t>(std::max(rows, 0LL)) * static_cast<std::uint64_t>(std::max(cols, 0LL)) *
         sizeof(SharedText);
}

std::uint64_t SheetBytes(const Sheet& sheet) {
  std::uint64_t bytes = CellTableBytes(sheet.Rows(), sheet.Cols());
  for (int i = 0; i < sheet.CellCount(); ++i) bytes += sheet.SharedAt(i).Bytes();
  return bytes;
}

std::uint64_t BytesHeldAlone(const Sheet& sheet) {
  std::uint64_t bytes = CellTableBytes(sheet.Rows(), sheet.Cols());
  for (int i = 0; i < sheet.CellCount(); ++i)
    if (sheet.SharedAt(i).HeldAlone()) bytes += sheet.SharedAt(i).Bytes();
  return bytes;
}

}  // namespace quillary
