#include "mainwindow/RangeClipboard.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <QClipboard>
#include <QGuiApplication>

#include "sheet/GridControl.h"
#include "sheet/SheetDocument.h"
#include "sheet/TabText.h"

namespace quillary {

namespace {

constexpr QChar kFieldEnd = u'\t';
constexpr QChar kRowEnd = u'\r';

struct Range {
  int left, top, right, bottom;
};

// Either corner may come first: the user can select towards the top-left.
Range Normalise(int c1, int r1, int c2, int r2) {
  if (c1 > c2) std::swap(c1, c2);
  if (r1 > r2) std::swap(r1, r2);
  return {c1, r1, c2, r2};
}

// A range text that empties every cell of a rows x cols selection.
QString EmptyRangeText(int rows, int cols) {
  QString row(cols, kFieldEnd);
  row += kRowEnd;
  return row.repeated(rows);
}

}  // namespace

RangeClipboard::RangeClipboard(GridControl& grid) : grid_(grid) {}

void RangeClipboard::CopyGrid(int c1, int r1, int c2, int r2) {
  const Range range = Normalise(c1, r1, c2, r2);
  QString text;
  for (int r = range.top; r <= range.bottom; ++r) {
    for (int c = range.left; c <= range.right; ++c) {
      text += grid_.TextMatrix(r, c);
      text += kFieldEnd;
    }
    text += kRowEnd;
  }
  record_ = {range.left, range.top, range.right, range.bottom, std::move(text)};
  hasRecord_ = true;
  QGuiApplication::clipboard()->setText(
      QString::fromStdU16String(ToTabText(grid_.sheet(), range.top, range.left, range.bottom, range.right)));
}

void RangeClipboard::CutGrid(int c1, int r1, int c2, int r2) {
  CopyGrid(c1, r1, c2, r2);
  DelGrid(record_.left, record_.top, record_.right, record_.bottom);
}

void RangeClipboard::DelGrid(int c1, int r1, int c2, int r2) {
  const Range range = Normalise(c1, r1, c2, r2);
  grid_.SetClip(EmptyRangeText(range.bottom - range.top + 1, range.right - range.left + 1));
}

void RangeClipboard::SelectBlockAtTopLeft(int rows, int cols) {
  // Make the current cell the top-left cell of the user's selection.
  const int col = grid_.Col();
  const int colSel = grid_.ColSel();
  const int row = grid_.Row();
  const int rowSel = grid_.RowSel();
  if (col > colSel) {
    grid_.SetColSel(col);
    grid_.SetCol(colSel);
  }
  if (row > rowSel) {
    grid_.SetRowSel(row);
    grid_.SetRow(rowSel);
  }
  // The block keeps its size but never reaches past the sheet's edge.
  const int lastCol = grid_.Col() + cols - 1;
  grid_.SetColSel(lastCol < grid_.Cols() ? lastCol : grid_.Cols() - 1);
  const int lastRow = grid_.Row() + rows - 1;
  grid_.SetRowSel(lastRow < grid_.Rows() ? lastRow : grid_.Rows() - 1);
}

void RangeClipboard::PastGrid() {
  // An empty record would empty the current cell: nothing was copied yet.
  if (!hasRecord_) return;
  SelectBlockAtTopLeft(record_.bottom - record_.top + 1, record_.right - record_.left + 1);
  grid_.SetClip(record_.text);
}

void RangeClipboard::PasteTabText() {
  const QString clipboard = QGuiApplication::clipboard()->text();
  const QStringView view(clipboard);
  const std::u16string_view text(view.utf16(), static_cast<std::size_t>(view.size()));
  grid_.document().CheckRoom(FromTabTextBytes(text));
  const auto records = FromTabText(text);
  if (records.empty()) return;
  BlockLines lines;
  int cols = 0;
  for (const auto& record : records) {
    lines.emplace_back(record.begin(), record.end());
    cols = std::max(cols, static_cast<int>(record.size()));
  }
  SelectBlockAtTopLeft(static_cast<int>(lines.size()), cols);
  grid_.document().SetBlock(grid_.Row(), grid_.Col(), grid_.RowSel(), grid_.ColSel(), lines);
}

}  // namespace quillary
