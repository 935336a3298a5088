// Whole-sheet, whole-record and whole-field selections: Ctrl+A and the
// corner select every data cell, a row number its record, a field name its
// column; Shift and dragging extend such a selection.

#include <QHeaderView>
#include <QMouseEvent>

#include "sheet/grid/GridControl.h"
#include "sheet/grid/GridModel.h"
#include "sheet/grid/GridSelectionModel.h"

namespace quillary {

void GridControl::selectAll() {
  if (!selection_->HasCells()) return;
  MoveCurrentTo({0, 0});
  ExtendSelectionTo({model_->rowCount() - 1, model_->columnCount() - 1}, false);
}

void GridControl::SelectLines(Qt::Orientation lines, int from, int to) {
  const int lastRow = model_->rowCount() - 1;
  const int lastCol = model_->columnCount() - 1;
  if (lines == Qt::Vertical) {  // records: the row numbers' heading
    if (selection_->Current() != GridCell{from, 0}) MoveCurrentTo({from, 0}, false);
    ExtendSelectionTo({to, lastCol}, false);
  } else {  // fields: the field names' heading
    if (selection_->Current() != GridCell{0, from}) MoveCurrentTo({0, from}, false);
    ExtendSelectionTo({lastRow, to}, false);
  }
}

bool GridControl::HeadingMouse(QHeaderView& heading, const QMouseEvent& event) {
  const Qt::Orientation lines = heading.orientation();
  const int at =
      heading.logicalIndexAt(lines == Qt::Vertical ? event.position().toPoint().y() : event.position().toPoint().x());
  const bool press = event.type() == QEvent::MouseButtonPress || event.type() == QEvent::MouseButtonDblClick;
  if (press) {
    // On the line between two headings the press resizes, as it always did.
    const Qt::CursorShape resizing = lines == Qt::Vertical ? Qt::SplitVCursor : Qt::SplitHCursor;
    if (event.button() != Qt::LeftButton || at < 0 || heading.viewport()->cursor().shape() == resizing) return false;
    const GridCell current = selection_->Current();
    const int from = (event.modifiers() & Qt::ShiftModifier) ? (lines == Qt::Vertical ? current.row : current.col) : at;
    SelectLines(lines, from, at);
    selectingLines_ = lines;
    selectingHeading_ = true;
    return true;
  }
  if (event.type() == QEvent::MouseMove && selectingHeading_ && (event.buttons() & Qt::LeftButton)) {
    const int last = lines == Qt::Vertical ? model_->rowCount() - 1 : model_->columnCount() - 1;
    const int to = at < 0 ? (event.position().toPoint().y() < 0 || event.position().toPoint().x() < 0 ? 0 : last) : at;
    const GridCell current = selection_->Current();
    SelectLines(selectingLines_, selectingLines_ == Qt::Vertical ? current.row : current.col, to);
    return true;
  }
  if (event.type() == QEvent::MouseButtonRelease && selectingHeading_) {
    selectingHeading_ = false;
    return true;
  }
  return false;
}

}  // namespace quillary
