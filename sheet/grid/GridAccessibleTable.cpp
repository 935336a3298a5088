#include "sheet/grid/GridAccessibleTable.h"

#include <algorithm>
#include <limits>
#include <utility>

#include <QHeaderView>

#include "sheet/grid/GridAccessibleCell.h"
#include "sheet/grid/GridControl.h"
#include "sheet/grid/SelectionBands.h"

namespace quillary {

namespace {

// A reader that asks for the selected cells of a selected sheet wants to
// say what is selected, not to visit millions of cells; making an object
// for each would stop the window and the reader alike. The list gives the
// cells in reading order up to a few screens' worth, and the count
// (selectedCellCount) says how many there are in all.
constexpr int kListedCellsMax = 1000;

constexpr int kIntMax = std::numeric_limits<int>::max();

int Clamped(qint64 count) { return static_cast<int>(std::min<qint64>(count, kIntMax)); }

QAccessibleInterface* MakeAccessible(const QString&, QObject* object) {
  auto* grid = qobject_cast<GridControl*>(object);
  return grid ? new GridAccessibleTable(grid) : nullptr;
}

}  // namespace

void InstallGridAccessibility() {
  // Qt keeps each factory once.
  QAccessible::installFactory(&MakeAccessible);
}

GridAccessibleTable::GridAccessibleTable(GridControl* grid) : QAccessibleWidget(grid, QAccessible::Table) {}

GridAccessibleTable::~GridAccessibleTable() { ForgetCells(); }

GridControl& GridAccessibleTable::grid() const { return *static_cast<GridControl*>(widget()); }

void* GridAccessibleTable::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
  return QAccessibleWidget::interface_cast(type);
}

bool GridAccessibleTable::Contains(int row, int col) const {
  return row >= -1 && col >= -1 && row < rowCount() && col < columnCount();
}

QAccessibleInterface* GridAccessibleTable::Cell(int row, int col) const {
  if (!isValid() || !Contains(row, col)) return nullptr;
  const qint64 index = AccessibleChildIndex(row, col, columnCount());
  if (const auto known = cells_.constFind(index); known != cells_.cend())
    return QAccessible::accessibleInterface(*known);
  auto* cell = new GridAccessibleCell(&grid(), row, col);
  cells_.insert(index, QAccessible::registerAccessibleInterface(cell));
  return cell;
}

void GridAccessibleTable::ForgetCells() {
  // Taken out first: deleting a cell may call back into the table.
  const QHash<qint64, QAccessible::Id> cells = std::exchange(cells_, {});
  for (const QAccessible::Id id : cells) QAccessible::deleteAccessibleInterface(id);
}

void GridAccessibleTable::modelChange(QAccessibleTableModelChangeEvent* event) {
  // A changed text is read afresh; a changed shape moves every number.
  if (event->modelChangeType() != QAccessibleTableModelChangeEvent::DataChanged) ForgetCells();
}

// ---- children ----

int GridAccessibleTable::childCount() const {
  return isValid() ? Clamped((rowCount() + 1LL) * (columnCount() + 1LL)) : 0;
}

QAccessibleInterface* GridAccessibleTable::child(int index) const {
  if (index < 0 || !isValid()) return nullptr;
  const int across = columnCount() + 1;
  return Cell(index / across - 1, index % across - 1);
}

int GridAccessibleTable::indexOfChild(const QAccessibleInterface* child) const {
  const auto* cell = dynamic_cast<const GridAccessibleCell*>(child);
  if (!cell || cell->grid() != &grid() || !Contains(cell->Row(), cell->Col())) return -1;
  const qint64 index = AccessibleChildIndex(cell->Row(), cell->Col(), columnCount());
  return index <= kIntMax ? static_cast<int>(index) : -1;
}

QAccessibleInterface* GridAccessibleTable::childAt(int x, int y) const {
  if (!isValid()) return nullptr;
  const QPoint global(x, y);
  QWidget& cells = *grid().viewport();
  if (const QPoint at = cells.mapFromGlobal(global); cells.rect().contains(at)) {
    const QModelIndex index = grid().indexAt(at);
    return index.isValid() ? Cell(index.row(), index.column()) : nullptr;
  }
  for (QHeaderView* heading : {grid().horizontalHeader(), grid().verticalHeader()}) {
    QWidget& sections = *heading->viewport();
    const QPoint at = sections.mapFromGlobal(global);
    if (!heading->isVisible() || !sections.rect().contains(at)) continue;
    const bool fieldNames = heading->orientation() == Qt::Horizontal;
    const int section = heading->logicalIndexAt(fieldNames ? at.x() : at.y());
    if (section < 0) return nullptr;
    return fieldNames ? Cell(-1, section) : Cell(section, -1);
  }
  QAccessibleInterface* corner = Cell(-1, -1);
  return corner && corner->rect().contains(global) ? corner : nullptr;
}

QAccessibleInterface* GridAccessibleTable::focusChild() const {
  if (!isValid()) return nullptr;
  const QModelIndex current = grid().selectionModel()->currentIndex();
  return current.isValid() ? Cell(current.row(), current.column()) : nullptr;
}

// ---- table ----

int GridAccessibleTable::rowCount() const { return isValid() ? grid().model()->rowCount() : 0; }

int GridAccessibleTable::columnCount() const { return isValid() ? grid().model()->columnCount() : 0; }

QAccessibleInterface* GridAccessibleTable::cellAt(int row, int column) const {
  return row >= 0 && column >= 0 ? Cell(row, column) : nullptr;
}

QString GridAccessibleTable::columnDescription(int column) const {
  return isValid() ? grid().model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString() : QString();
}

QString GridAccessibleTable::rowDescription(int row) const {
  return isValid() ? grid().model()->headerData(row, Qt::Vertical, Qt::DisplayRole).toString() : QString();
}

QItemSelection GridAccessibleTable::Selection() const {
  return isValid() ? grid().selectionModel()->selection() : QItemSelection();
}

int GridAccessibleTable::selectedCellCount() const { return Clamped(CellCount(BandsOf(Selection(), Lines::Rows))); }

QList<QAccessibleInterface*> GridAccessibleTable::selectedCells() const {
  QList<QAccessibleInterface*> cells;
  for (const SelectionBand& band : BandsOf(Selection(), Lines::Rows))
    for (int row = band.lines.first; row <= band.lines.last; ++row)
      for (const Span span : band.across)
        for (int col = span.first; col <= span.last; ++col) {
          if (cells.size() == kListedCellsMax) return cells;
          cells.push_back(Cell(row, col));
        }
  return cells;
}

int GridAccessibleTable::selectedRowCount() const {
  return Clamped(WholeLineCount(BandsOf(Selection(), Lines::Rows), columnCount()));
}

int GridAccessibleTable::selectedColumnCount() const {
  return Clamped(WholeLineCount(BandsOf(Selection(), Lines::Columns), rowCount()));
}

QList<int> GridAccessibleTable::selectedRows() const {
  return WholeLines(BandsOf(Selection(), Lines::Rows), columnCount());
}

QList<int> GridAccessibleTable::selectedColumns() const {
  return WholeLines(BandsOf(Selection(), Lines::Columns), rowCount());
}

bool GridAccessibleTable::isRowSelected(int row) const {
  return IsWholeLine(BandsOf(Selection(), Lines::Rows), row, columnCount());
}

bool GridAccessibleTable::isColumnSelected(int column) const {
  return IsWholeLine(BandsOf(Selection(), Lines::Columns), column, rowCount());
}

// As a click on the record number or the field name selects it.
bool GridAccessibleTable::selectRow(int row) {
  if (row < 0 || row >= rowCount() || columnCount() == 0) return false;
  GridControl& g = grid();
  g.Select({row + g.FixedRows(), g.FixedCols(), row + g.FixedRows(), g.Cols() - 1});
  return true;
}

bool GridAccessibleTable::selectColumn(int column) {
  if (column < 0 || column >= columnCount() || rowCount() == 0) return false;
  GridControl& g = grid();
  g.Select({g.FixedRows(), column + g.FixedCols(), g.Rows() - 1, column + g.FixedCols()});
  return true;
}

// The grid's selection is one rectangle around the current cell; taking a
// line out of it is nothing the grid does.
bool GridAccessibleTable::unselectRow(int) { return false; }
bool GridAccessibleTable::unselectColumn(int) { return false; }

}  // namespace quillary
