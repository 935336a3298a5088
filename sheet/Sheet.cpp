#include "sheet/Sheet.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace quillary {

bool FitsSheetLimits(long long rows, long long cols) {
  return rows >= 0 && cols >= 0 && rows <= kMaxRows && cols <= kMaxCols;
}

Sheet::Sheet(int rows, int cols) : rows_(rows), columns_(static_cast<std::size_t>(cols)) {
  // One column made, the others share its chunks.
  if (cols > 0) columns_[0] = CellColumn(static_cast<std::size_t>(rows));
  for (auto& column : columns_) column = columns_[0];
}

Sheet::Sheet(int rows, std::vector<CellColumn> columns) : rows_(rows), columns_(std::move(columns)) {}

void Sheet::Resize(int rows, int cols) {
  if (rows == rows_ && cols == Cols()) return;
  const int keptCols = std::min(cols, Cols());
  columns_.resize(static_cast<std::size_t>(keptCols));
  for (auto& column : columns_) column.Resize(static_cast<std::size_t>(rows));
  if (cols > keptCols) columns_.resize(static_cast<std::size_t>(cols), CellColumn(static_cast<std::size_t>(rows)));
  rows_ = rows;
}

void Sheet::InsertRows(int at, int count) {
  for (auto& column : columns_) column.Insert(static_cast<std::size_t>(at), static_cast<std::size_t>(count));
  rows_ += count;
}

void Sheet::EraseRows(int first, int count) {
  for (auto& column : columns_) column.Erase(static_cast<std::size_t>(first), static_cast<std::size_t>(count));
  rows_ -= count;
}

void Sheet::InsertCols(int at, int count) {
  columns_.insert(columns_.begin() + at, static_cast<std::size_t>(count), CellColumn(static_cast<std::size_t>(rows_)));
}

void Sheet::EraseCols(int first, int count) {
  columns_.erase(columns_.begin() + first, columns_.begin() + first + count);
}

void Sheet::Clear() { *this = Sheet(rows_, Cols()); }

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
  first = std::max(first, 0);
  last = std::min(last, sheet.Rows() - 1);
  if (first <= last) sheet.Fill(0, first, last - first + 1, SharedText::RowNumber());
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
  Sheet result = sheet;
  result.Resize(rows, cols);
  return result;
}

std::uint64_t CellTableBytes(long long rows, long long cols) {
  return CellColumn::TableBytes(static_cast<std::uint64_t>(std::max(rows, 0LL))) *
         static_cast<std::uint64_t>(std::max(cols, 0LL));
}

std::uint64_t SheetBytes(const Sheet& sheet) {
  std::uint64_t bytes = 0;
  for (int c = 0; c < sheet.Cols(); ++c) bytes += sheet.Column(c).Bytes();
  return bytes;
}

std::uint64_t BytesHeldAlone(const Sheet& sheet) {
  std::uint64_t bytes = 0;
  FreedBytes texts;
  for (int c = 0; c < sheet.Cols(); ++c) bytes += sheet.Column(c).BytesHeldAlone(texts);
  bytes += texts.Total();
  return bytes;
}

bool SheetImage::DiffersCellByCell(const Sheet& current) const {
  if (none_ || current.Rows() != saved_.Rows() || current.Cols() != saved_.Cols()) return true;
  for (int r = 0; r < current.Rows(); ++r)
    for (int c = 0; c < current.Cols(); ++c)
      if (current.Text(r, c) != saved_.Text(r, c)) return true;
  return false;
}

}  // namespace quillary
