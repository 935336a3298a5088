#include "sheet/grid/GridModel.h"

#include <algorithm>
#include <utility>

#include "sheet/grid/LongText.h"

namespace quillary {

namespace {

constexpr Qt::Alignment kDefaultAlignment = Qt::AlignLeft | Qt::AlignTop;

// Only one fixed row and one fixed column are drawn (as the headers).
int FixedCount(int count) { return std::clamp(count, 0, 1); }

}  // namespace

GridModel::GridModel(SheetDocument* document, int fixedRows, int fixedCols, QObject* parent)
    : QAbstractTableModel(parent),
      document_(document ? document : new SheetDocument(this)),
      fixedRows_(FixedCount(fixedRows)),
      fixedCols_(FixedCount(fixedCols)) {
  connect(document_, &SheetDocument::CellsChanged, this, &GridModel::OnCellsChanged);
  connect(document_, &SheetDocument::Reshaped, this, &GridModel::OnReshaped);
}

bool GridModel::Contains(int row, int col) const {
  return row >= 0 && col >= 0 && row < sheet().Rows() && col < sheet().Cols();
}

QString GridModel::Text(int row, int col) const {
  return Contains(row, col) ? QStringView(sheet().Text(row, col)).toString() : QString();
}

QString GridModel::DrawnText(int row, int col) const {
  if (!Contains(row, col)) return QString();
  const std::u16string_view text = sheet().Text(row, col);
  const QString start = StartOf(text, kDrawnUnits);
  return start.size() < static_cast<qsizetype>(text.size()) ? start + u'…' : start;
}

void GridModel::OnCellsChanged(int top, int left, int bottom, int right) {
  // The fixed row and column are the headings.
  const int firstRow = std::max(top - fixedRows_, 0);
  const int firstCol = std::max(left - fixedCols_, 0);
  const int lastRow = bottom - fixedRows_;
  const int lastCol = right - fixedCols_;
  if (lastRow >= firstRow && lastCol >= firstCol)
    emit dataChanged(index(firstRow, firstCol), index(lastRow, lastCol), {Qt::DisplayRole});
  if (top < fixedRows_ && lastCol >= firstCol) emit headerDataChanged(Qt::Horizontal, firstCol, lastCol);
  if (left < fixedCols_ && lastRow >= firstRow) emit headerDataChanged(Qt::Vertical, firstRow, lastRow);
}

void GridModel::OnReshaped() {
  ResizeRows(DataRows(sheet().Rows()));
  ResizeCols(DataCols(sheet().Cols()));
  alignments_.resize(sheet().Cols(), kDefaultAlignment);
  AnnounceAllChanged();
}

void GridModel::ResizeRows(int dataRows) {
  if (dataRows < dataRows_) {
    beginRemoveRows(QModelIndex(), dataRows, dataRows_ - 1);
    dataRows_ = dataRows;
    endRemoveRows();
  } else if (dataRows > dataRows_) {
    beginInsertRows(QModelIndex(), dataRows_, dataRows - 1);
    dataRows_ = dataRows;
    endInsertRows();
  }
}

void GridModel::ResizeCols(int dataCols) {
  if (dataCols < dataCols_) {
    beginRemoveColumns(QModelIndex(), dataCols, dataCols_ - 1);
    dataCols_ = dataCols;
    endRemoveColumns();
  } else if (dataCols > dataCols_) {
    beginInsertColumns(QModelIndex(), dataCols_, dataCols - 1);
    dataCols_ = dataCols;
    endInsertColumns();
  }
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

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : dataRows_; }

int GridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : dataCols_; }

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
