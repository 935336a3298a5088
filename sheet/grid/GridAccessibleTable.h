#pragma once
// The grid's accessible table, in place of the item view's own: that one
// answers every question about the selection by listing each selected cell,
// millions of them for a selected sheet, while a reader asks after every
// selection change. This one answers from the selection's rectangles.
//
// Its children are numbered as the item view numbers them in its events:
// the heading row first, each row led by its record number's heading, the
// corner first of all. Cells are made on demand and kept in the
// accessibility registry, so a reader sees the same cell under the same id
// until the sheet changes shape.

#include <QAccessibleTableInterface>
#include <QAccessibleWidget>
#include <QHash>
#include <QItemSelection>

namespace quillary {

class GridControl;

// The child number of a cell (model coordinates; -1 for the headings) in a
// table of `cols` data columns.
inline qint64 AccessibleChildIndex(int row, int col, int cols) { return (row + 1LL) * (cols + 1LL) + col + 1; }

// Makes every grid, from now on, answer with its own accessible table.
void InstallGridAccessibility();

class GridAccessibleTable : public QAccessibleWidget, public QAccessibleTableInterface {
 public:
  explicit GridAccessibleTable(GridControl* grid);
  ~GridAccessibleTable() override;

  // The cell at (row, col) as GridAccessibleCell places it; null outside.
  QAccessibleInterface* Cell(int row, int col) const;

  // QAccessibleInterface
  void* interface_cast(QAccessible::InterfaceType type) override;
  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* childAt(int x, int y) const override;
  QAccessibleInterface* focusChild() const override;

  // QAccessibleTableInterface
  QAccessibleInterface* caption() const override { return nullptr; }
  QAccessibleInterface* summary() const override { return nullptr; }
  QAccessibleInterface* cellAt(int row, int column) const override;
  int selectedCellCount() const override;
  QList<QAccessibleInterface*> selectedCells() const override;
  QString columnDescription(int column) const override;
  QString rowDescription(int row) const override;
  int selectedColumnCount() const override;
  int selectedRowCount() const override;
  int columnCount() const override;
  int rowCount() const override;
  QList<int> selectedColumns() const override;
  QList<int> selectedRows() const override;
  bool isColumnSelected(int column) const override;
  bool isRowSelected(int row) const override;
  bool selectRow(int row) override;
  bool selectColumn(int column) override;
  bool unselectRow(int row) override;
  bool unselectColumn(int column) override;
  void modelChange(QAccessibleTableModelChangeEvent* event) override;

 private:
  GridControl& grid() const;
  QItemSelection Selection() const;
  bool Contains(int row, int col) const;
  // Cells of another shape of the sheet would answer for the wrong place.
  void ForgetCells();

  mutable QHash<qint64, QAccessible::Id> cells_;  // by child number
};

}  // namespace quillary
