#include "sheet/grid/GridAccessibleCell.h"

#include <QHeaderView>

#include "sheet/grid/GridAccessibleTable.h"
#include "sheet/grid/GridControl.h"

namespace quillary {

namespace {

QRect GlobalRect(const QWidget& widget, const QRect& local) {
  return QRect(widget.mapToGlobal(local.topLeft()), local.size());
}

}  // namespace

GridAccessibleCell::GridAccessibleCell(GridControl* grid, int row, int col) : grid_(grid), row_(row), col_(col) {}

bool GridAccessibleCell::isValid() const {
  return grid_ && row_ < grid_->model()->rowCount() && col_ < grid_->model()->columnCount();
}

QWindow* GridAccessibleCell::window() const { return parent() ? parent()->window() : nullptr; }

QAccessibleInterface* GridAccessibleCell::parent() const {
  return grid_ ? QAccessible::queryAccessibleInterface(grid_.data()) : nullptr;
}

QAccessibleInterface* GridAccessibleCell::Cell(int row, int col) const {
  const auto* table = dynamic_cast<const GridAccessibleTable*>(parent());
  return table ? table->Cell(row, col) : nullptr;
}

QAccessible::Role GridAccessibleCell::role() const {
  if (IsCorner()) return QAccessible::Button;
  if (row_ < 0) return QAccessible::ColumnHeader;
  if (col_ < 0) return QAccessible::RowHeader;
  return QAccessible::Cell;
}

// As the grid draws it: the start of a long text, the field name, the
// record number.
QString GridAccessibleCell::text(QAccessible::Text t) const {
  if (t != QAccessible::Name || !isValid() || IsCorner()) return QString();
  const QAbstractItemModel& model = *grid_->model();
  if (row_ < 0) return model.headerData(col_, Qt::Horizontal, Qt::DisplayRole).toString();
  if (col_ < 0) return model.headerData(row_, Qt::Vertical, Qt::DisplayRole).toString();
  return model.index(row_, col_).data(Qt::DisplayRole).toString();
}

QRect GridAccessibleCell::rect() const {
  if (!isValid()) return QRect();
  const QHeaderView& fieldNames = *grid_->horizontalHeader();
  const QHeaderView& recordNumbers = *grid_->verticalHeader();
  if (IsCorner()) {
    const QRect local(grid_->contentsRect().topLeft(), QSize(recordNumbers.width(), fieldNames.height()));
    return fieldNames.isVisible() && recordNumbers.isVisible() ? GlobalRect(*grid_, local) : QRect();
  }
  if (row_ < 0) {
    if (!fieldNames.isVisible()) return QRect();
    return GlobalRect(*fieldNames.viewport(), QRect(fieldNames.sectionViewportPosition(col_), 0,
                                                    fieldNames.sectionSize(col_), fieldNames.height()));
  }
  if (col_ < 0) {
    if (!recordNumbers.isVisible()) return QRect();
    return GlobalRect(*recordNumbers.viewport(), QRect(0, recordNumbers.sectionViewportPosition(row_),
                                                       recordNumbers.width(), recordNumbers.sectionSize(row_)));
  }
  return GlobalRect(*grid_->viewport(), grid_->visualRect(grid_->model()->index(row_, col_)));
}

QAccessible::State GridAccessibleCell::state() const {
  QAccessible::State state;
  if (!isValid()) {
    state.invalid = true;
    return state;
  }
  // Scrolled out of the grid's sight, or a heading the grid does not show.
  const QRect shown = GlobalRect(*grid_, grid_->rect());
  state.invisible = !shown.intersects(rect());
  if (!IsData()) return state;
  state.selectable = true;
  state.focusable = true;
  state.extSelectable = true;  // Shift with a key or a click extends the selection
  state.editable = true;       // typing on a cell edits it
  state.selected = isSelected();
  state.focused = grid_->selectionModel()->currentIndex() == grid_->model()->index(row_, col_);
  return state;
}

void* GridAccessibleCell::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TableCellInterface && IsData()) return static_cast<QAccessibleTableCellInterface*>(this);
  if (type == QAccessible::ActionInterface && IsCorner()) return static_cast<QAccessibleActionInterface*>(this);
  return nullptr;
}

bool GridAccessibleCell::isSelected() const {
  return IsData() && isValid() && grid_->selectionModel()->isSelected(grid_->model()->index(row_, col_));
}

QList<QAccessibleInterface*> GridAccessibleCell::columnHeaderCells() const {
  QAccessibleInterface* heading = Cell(-1, col_);
  return heading ? QList<QAccessibleInterface*>{heading} : QList<QAccessibleInterface*>{};
}

QList<QAccessibleInterface*> GridAccessibleCell::rowHeaderCells() const {
  QAccessibleInterface* heading = Cell(row_, -1);
  return heading ? QList<QAccessibleInterface*>{heading} : QList<QAccessibleInterface*>{};
}

QStringList GridAccessibleCell::actionNames() const { return {pressAction()}; }

void GridAccessibleCell::doAction(const QString& actionName) {
  if (actionName == pressAction() && IsCorner() && grid_) grid_->selectAll();
}

}  // namespace quillary
