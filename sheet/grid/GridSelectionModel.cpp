#include "sheet/grid/GridSelectionModel.h"

#include <algorithm>

namespace quillary {

GridSelectionModel::GridSelectionModel(QAbstractItemModel* model, QObject* parent)
    : QItemSelectionModel(model, parent) {}

bool GridSelectionModel::HasCells() const { return model() && model()->rowCount() > 0 && model()->columnCount() > 0; }

GridCell GridSelectionModel::Clamped(GridCell cell, int rows, int cols) const {
  return {std::clamp(cell.row, 0, rows - 1), std::clamp(cell.col, 0, cols - 1)};
}

GridCell GridSelectionModel::Clamped(GridCell cell) const {
  return Clamped(cell, model()->rowCount(), model()->columnCount());
}

void GridSelectionModel::MoveCurrent(GridCell cell) {
  if (!HasCells()) return;
  cell = Clamped(cell);
  if (cell == current_) {
    if (corner_ == current_) return;
    corner_ = current_;
    Sync();
    return;
  }
  emit LeaveCell();
  // The handler may have emptied the grid.
  if (!HasCells()) return;
  current_ = corner_ = Clamped(cell);
  Sync();
  emit RowColChange();
  emit EnterCell();
}

void GridSelectionModel::ExtendTo(GridCell cell) {
  if (!HasCells()) return;
  cell = Clamped(cell);
  if (cell == corner_) return;
  corner_ = cell;
  Sync();
}

void GridSelectionModel::KeepInside(int rows, int cols) {
  if (rows <= 0 || cols <= 0) {
    // No cell is left to become current.
    current_ = corner_ = GridCell{};
    return;
  }
  const GridCell corner = Clamped(corner_, rows, cols);
  MoveCurrent(Clamped(current_, rows, cols));
  corner_ = corner;
}

void GridSelectionModel::Sync() {
  if (!HasCells()) {
    current_ = corner_ = GridCell{};
    QItemSelectionModel::select(QItemSelection(), QItemSelectionModel::Clear);
    QItemSelectionModel::clearCurrentIndex();
    return;
  }
  current_ = Clamped(current_);
  corner_ = Clamped(corner_);
  const QAbstractItemModel& cells = *model();
  QItemSelectionModel::setCurrentIndex(cells.index(current_.row, current_.col), QItemSelectionModel::NoUpdate);
  const QModelIndex topLeft = cells.index(std::min(current_.row, corner_.row), std::min(current_.col, corner_.col));
  const QModelIndex bottomRight = cells.index(std::max(current_.row, corner_.row), std::max(current_.col, corner_.col));
  QItemSelectionModel::select(QItemSelection(topLeft, bottomRight), QItemSelectionModel::ClearAndSelect);
}

void GridSelectionModel::setCurrentIndex(const QModelIndex& index, QItemSelectionModel::SelectionFlags) {
  if (index.isValid() && index.model() == model()) MoveCurrent({index.row(), index.column()});
}

void GridSelectionModel::select(const QModelIndex&, QItemSelectionModel::SelectionFlags) {}

void GridSelectionModel::select(const QItemSelection&, QItemSelectionModel::SelectionFlags) {}

}  // namespace quillary
