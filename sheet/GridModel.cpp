#include "sheet/GridModel.h"

#include <algorithm>
#include <utility>

#include "sheet/LongText.h"

namespace quillary {

namespace {

constexpr Qt::Alignment kDefaultAlignment = Qt::AlignLeft | Qt::AlignTop;

// Only one fixed row and one fixed column are drawn (as the headers).
int FixedCount(int count) { return std::clamp(count, 0, 1); }

}  // namespace

GridModel::GridModel(int fixedRows, int fixedCols, QObject* parent)
    : QAbstractTableModel(parent), fixedRows_(FixedCount(fixedRows)), fixedCols_(FixedCount(fixedCols)) {}

bool GridModel::Contains(int row, int col) const {
  return row >= 0 && col >= 0 && row < sheet_.Rows() && col < sheet_.Cols();
}

QString GridModel::Text(int row, int col) const {
  return Contains(row, col) ? QString::fromStdU16String(sheet_.Text(row, col)) : QString();
}

QString GridModel::DrawnText(int row, int col) const {
  if (!Contains(row, col)) return QString();
  const std::u16string& text = sheet_.Text(row, col);
  const QString start = StartOf(text, kDrawnUnits);
  return start.size() < static_cast<qsizetype>(text.size()) ? start + u'…' : start;
}

void GridModel::SetText(int row, int col, const QString& text) { SetText(row, col, text.toStdU16String()); }

void GridModel::SetText(int row, int col, std::u16string text) {
  if (!Contains(row, col)) return;
  sheet_.SetText(row, col, std::move(text));
  const int viewRow = row - fixedRows_;
  const int viewCol = col - fixedCols_;
  if (viewRow >= 0 && viewCol >= 0) {
    const QModelIndex cell = index(viewRow, viewCol);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
  } else if (viewCol >= 0) {
    emit headerDataChanged(Qt::Horizontal, viewCol, viewCol);
  } else if (viewRow >= 0) {
    emit headerDataChanged(Qt::Vertical, viewRow, viewRow);
  }
}

void GridModel::SetBlock(int top, int left, int bottom, int right, const std::vector<QStringList>& lines) {
  if (top > bottom || left > right || !Contains(top, left) || !Contains(bottom, right)) return;
  const int rows = std::min<int>(bottom - top + 1, lines.size());
  for (int i = 0; i < rows; ++i) {
    const int cols = std::min<int>(right - left + 1, lines[i].size());
    for (int j = 0; j < cols; ++j) sheet_.SetText(top + i, left + j, lines[i][j].toStdU16String());
  }
  emit dataChanged(index(top - fixedRows_, left - fixedCols_), index(bottom - fixedRows_, right - fixedCols_),
                   {Qt::DisplayRole});
}

void GridModel::Resize(int rows, int cols) {
  ResizeRows(std::max(rows, 0));
  ResizeCols(std::max(cols, 0));
  // The fixed row or column may have appeared or gone.
  if (columnCount() > 0) emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
  if (rowCount() > 0) emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
}

void GridModel::ResizeRows(int rows) {
  const int before = DataRows(sheet_.Rows());
  const int after = DataRows(rows);
  if (after < before) {
    beginRemoveRows(QModelIndex(), after, before - 1);
    sheet_.SetRows(rows);
    endRemoveRows();
  } else if (after > before) {
    beginInsertRows(QModelIndex(), before, after - 1);
    sheet_.SetRows(rows);
    endInsertRows();
  } else {
    sheet_.SetRows(rows);
  }
}

void GridModel::ResizeCols(int cols) {
  const int before = DataCols(sheet_.Cols());
  const int after = DataCols(cols);
  if (after < before) {
    beginRemoveColumns(QModelIndex(), after, before - 1);
    sheet_.SetCols(cols);
    alignments_.resize(cols, kDefaultAlignment);
    endRemoveColumns();
  } else if (after > before) {
    beginInsertColumns(QModelIndex(), before, after - 1);
    sheet_.SetCols(cols);
    alignments_.resize(cols, kDefaultAlignment);
    endInsertColumns();
  } else {
    sheet_.SetCols(cols);
    alignments_.resize(cols, kDefaultAlignment);
  }
}

void GridModel::ReplaceSheet(Sheet sheet) {
  Resize(sheet.Rows(), sheet.Cols());
  sheet_ = std::move(sheet);
  AnnounceAllChanged();
}

void GridModel::Clear() {
  sheet_.Clear();
  AnnounceAllChanged();
}

void GridModel::AnnounceAllChanged() {
  const int rows = rowCount();
  const int cols = columnCount();
  if (rows > 0 && cols > 0) emit dataChanged(index(0, 0), index(rows - 1, cols - 1), {Qt::DisplayRole});
  if (cols > 0) emit headerDataChanged(Qt::Horizontal, 0, cols - 1);
  if (rows > 0) emit headerDataChanged(Qt::Vertical, 0, rows - 1);
}

Qt::Alignment GridModel::ColAlignment(int col) const {
  return col >= 0 && col < static_cast<int>(alignments_.size()) ? alignments_[col] : kDefaultAlignment;
}

void GridModel::SetColAlignment(int col, Qt::Alignment alignment) {
  if (col < 0 || col >= static_cast<int>(alignments_.size()) || alignments_[col] == alignment) return;
  alignments_[col] = alignment;
  const int viewCol = col - fixedCols_;
  if (viewCol >= 0) {
    if (rowCount() > 0) emit dataChanged(index(0, viewCol), index(rowCount() - 1, viewCol), {Qt::TextAlignmentRole});
    emit headerDataChanged(Qt::Horizontal, viewCol, viewCol);
  } else if (rowCount() > 0) {
    emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
  }
}

int GridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : DataRows(sheet_.Rows());
}

int GridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : DataCols(sheet_.Cols());
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int row = index.row() + fixedRows_;
  const int col = index.column() + fixedCols_;
  if (role == Qt::DisplayRole) return DrawnText(row, col);
  if (role == Qt::TextAlignmentRole) return ColAlignment(col).toInt();
  return {};
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  // The horizontal header is the fixed row 0, the vertical one the fixed column 0.
  const bool horizontal = orientation == Qt::Horizontal;
  if (horizontal ? fixedRows_ == 0 : fixedCols_ == 0) return {};
  const int row = horizontal ? 0 : section + fixedRows_;
  const int col = horizontal ? section + fixedCols_ : 0;
  if (role == Qt::DisplayRole) return DrawnText(row, col);
  if (role == Qt::TextAlignmentRole) return ColAlignment(col).toInt();
  return {};
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

}  // namespace quillary
