#include "mainwindow/RangeClipboard.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <QClipboard>
#include <QGuiApplication>
#include <QStringList>

#include "sheet/SheetEdits.h"
#include "sheet/TabText.h"
#include "sheet/commands/CommandMessages.h"
#include "sheet/commands/InCellEditor.h"
#include "sheet/document/SheetDocument.h"
#include "sheet/grid/GridControl.h"

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

// "... 3 行と 2 列は張り付けられませんでした。"
QString LeftOutMessage(int rows, int cols) {
  QStringList parts;
  if (rows > 0) parts << QStringLiteral("%1 行").arg(rows);
  if (cols > 0) parts << QStringLiteral("%1 列").arg(cols);
  return QStringLiteral("シートの大きさの上限（%1）を超えるため、張り付けるデータのうち %2は張り付けられませんでした。")
      .arg(SheetLimitsText())
      .arg(parts.join(QStringLiteral("と ")));
}

// A range text that empties every cell of a rows x cols selection.
QString EmptyRangeText(int rows, int cols) {
  QString row(cols, kFieldEnd);
  row += kRowEnd;
  return row.repeated(rows);
}

}  // namespace

RangeClipboard::RangeClipboard(GridControl& grid, InCellEditor& editor, MessageBox& messageBox)
    : grid_(grid), editor_(editor), messageBox_(messageBox) {}

void RangeClipboard::Copy_Click() {
  const GridSelection s = grid_.Selection();
  CopyGrid(s.colSel, s.rowSel, s.col, s.row);
}

void RangeClipboard::Cut_Click() {
  const GridSelection s = grid_.Selection();
  CutGrid(s.colSel, s.rowSel, s.col, s.row);
}

void RangeClipboard::Paste_Click() { PastGrid(); }

void RangeClipboard::Delete_Click() {
  const GridSelection s = grid_.Selection();
  DelGrid(s.colSel, s.rowSel, s.col, s.row);
  editor_.ShowCurrentCell();
}

void RangeClipboard::PasteExternal_Click() {
  editor_.CommitCellEdit();
  PasteTabText();
  editor_.ShowCurrentCell();
}

void RangeClipboard::CopyGrid(int c1, int r1, int c2, int r2) {
  const Range range = Normalise(c1, r1, c2, r2);
  const Sheet& sheet = grid_.sheet();
  QString tabText = QString::fromStdU16String(ToTabText(sheet, range.top, range.left, range.bottom, range.right));
  // Straight from the sheet's texts, in one piece about as long as the tab
  // text: a range may hold millions of cells.
  QString text;
  text.reserve(tabText.size() + range.bottom - range.top + 1);
  for (int r = range.top; r <= range.bottom; ++r) {
    for (int c = range.left; c <= range.right; ++c) {
      text.append(QStringView(sheet.Text(r, c)));
      text += kFieldEnd;
    }
    text += kRowEnd;
  }
  record_ = {range.left, range.top, range.right, range.bottom, std::move(text)};
  hasRecord_ = true;
  placedOnClipboard_ = std::move(tabText);
  QGuiApplication::clipboard()->setText(placedOnClipboard_);
}

void RangeClipboard::CutGrid(int c1, int r1, int c2, int r2) {
  CopyGrid(c1, r1, c2, r2);
  DelGrid(record_.left, record_.top, record_.right, record_.bottom);
}

void RangeClipboard::DelGrid(int c1, int r1, int c2, int r2) {
  const Range range = Normalise(c1, r1, c2, r2);
  grid_.SetClip(EmptyRangeText(range.bottom - range.top + 1, range.right - range.left + 1));
}

void RangeClipboard::MoveToTopLeft() {
  const GridSelection s = grid_.Selection();
  if (s.col > s.colSel || s.row > s.rowSel) grid_.Select({s.Top(), s.Left(), s.Bottom(), s.Right()});
}

void RangeClipboard::SelectBlockAtTopLeft(int rows, int cols) {
  MoveToTopLeft();
  // The block keeps its size but never reaches past the sheet's edge.
  const int lastCol = grid_.Col() + cols - 1;
  grid_.SetColSel(lastCol < grid_.Cols() ? lastCol : grid_.Cols() - 1);
  const int lastRow = grid_.Row() + rows - 1;
  grid_.SetRowSel(lastRow < grid_.Rows() ? lastRow : grid_.Rows() - 1);
}

bool RangeClipboard::ClipboardTakenByOthers() const {
  const QString text = QGuiApplication::clipboard()->text();
  return !text.isEmpty() && text != placedOnClipboard_;
}

void RangeClipboard::PastGrid() {
  if (ClipboardTakenByOthers()) return PasteTabText();
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
  const int rows = static_cast<int>(lines.size());
  SheetDocument& document = grid_.document();
  SheetDocument::Step step(document);
  MoveToTopLeft();
  GrowFor(rows, cols);
  SelectBlockAtTopLeft(rows, cols);
  document.SetBlock(grid_.Row(), grid_.Col(), grid_.RowSel(), grid_.ColSel(), lines);
  step.Commit();
  const int rowsLeft = rows - (grid_.RowSel() - grid_.Row() + 1);
  const int colsLeft = cols - (grid_.ColSel() - grid_.Col() + 1);
  if (rowsLeft > 0 || colsLeft > 0) ShowWarning(messageBox_, LeftOutMessage(rowsLeft, colsLeft));
}

void RangeClipboard::GrowFor(int rows, int cols) {
  const int oldRows = grid_.Rows();
  const int oldCols = grid_.Cols();
  const long long wantRows = std::max<long long>(oldRows, static_cast<long long>(grid_.Row()) + rows);
  const long long wantCols = std::max<long long>(oldCols, static_cast<long long>(grid_.Col()) + cols);
  if (wantRows == oldRows && wantCols == oldCols) return;
  const int newCols = static_cast<int>(std::max<long long>(oldCols, std::min<long long>(wantCols, kMaxCols)));
  const int newRows = static_cast<int>(std::max<long long>(oldRows, std::min<long long>(wantRows, kMaxRows)));
  if (newRows == oldRows && newCols == oldCols) return;
  SheetDocument& document = grid_.document();
  document.Change(EditBytes(newRows, newCols), [&] { return ResizedAndLabelled(document.sheet(), newRows, newCols); });
}

}  // namespace quillary
