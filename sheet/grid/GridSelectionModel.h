#pragma once
// The grid's current cell and its one rectangular selection, in the model's
// (data cell) coordinates. This is the only place that moves the current
// cell: LeaveCell while the old cell is still current, then the move, then
// RowColChange and EnterCell. Requests of the item view to change the
// current index come through here too; its own selection requests are
// ignored, so the selection always stays one rectangle.

#include <QItemSelectionModel>

#include "sheet/grid/GridCell.h"

namespace quillary {

class GridSelectionModel : public QItemSelectionModel {
  Q_OBJECT

 public:
  explicit GridSelectionModel(QAbstractItemModel* model, QObject* parent = nullptr);

  // (0, 0) while the model has no cells.
  GridCell Current() const { return current_; }
  // The selection's other corner.
  GridCell Corner() const { return corner_; }
  bool HasCells() const;

  // Moves the current cell (kept inside the model) and collapses the
  // selection onto it. Raises the cell events only when the cell changes.
  void MoveCurrent(GridCell cell);
  // Moves the selection's other corner; the current cell stays.
  void ExtendTo(GridCell cell);
  // Before the model shrinks to rows x cols: moves the current cell into
  // that area (raising the events) and cuts the selection to it.
  void KeepInside(int rows, int cols);
  // Shows the current cell and the rectangle in the item view; call after
  // the model's size has changed.
  void Sync();

  void setCurrentIndex(const QModelIndex& index, QItemSelectionModel::SelectionFlags command) override;
  void select(const QModelIndex& index, QItemSelectionModel::SelectionFlags command) override;
  void select(const QItemSelection& selection, QItemSelectionModel::SelectionFlags command) override;

 signals:
  void LeaveCell();
  void RowColChange();
  void EnterCell();

 private:
  GridCell Clamped(GridCell cell, int rows, int cols) const;
  GridCell Clamped(GridCell cell) const;

  GridCell current_;
  GridCell corner_;
};

}  // namespace quillary
