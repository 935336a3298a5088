#pragma once
// One cell of the grid's accessible table, made when a reader first asks for
// it: a data cell, a heading cell (the field name above a column, the record
// number left of a row) or the corner that selects every cell. It holds only
// its place; text, state and geometry are read from the grid and its model
// each time, as the grid draws them.

#include <QAccessibleInterface>
#include <QPointer>

namespace quillary {

class GridControl;

class GridAccessibleCell : public QAccessibleInterface,
                           public QAccessibleTableCellInterface,
                           public QAccessibleActionInterface {
 public:
  // Model coordinates; row -1 is the field names' heading, column -1 the
  // record numbers', both -1 the corner.
  GridAccessibleCell(GridControl* grid, int row, int col);

  int Row() const { return row_; }
  int Col() const { return col_; }
  GridControl* grid() const { return grid_; }

  // QAccessibleInterface
  bool isValid() const override;
  QObject* object() const override { return nullptr; }
  QWindow* window() const override;
  QAccessibleInterface* parent() const override;
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QString text(QAccessible::Text t) const override;
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override;
  QAccessible::Role role() const override;
  QAccessible::State state() const override;
  void* interface_cast(QAccessible::InterfaceType type) override;

  // QAccessibleTableCellInterface (data cells only)
  bool isSelected() const override;
  int columnExtent() const override { return 1; }
  QList<QAccessibleInterface*> columnHeaderCells() const override;
  int columnIndex() const override { return col_; }
  int rowExtent() const override { return 1; }
  QList<QAccessibleInterface*> rowHeaderCells() const override;
  int rowIndex() const override { return row_; }
  QAccessibleInterface* table() const override { return parent(); }

  // QAccessibleActionInterface (the corner's press)
  QStringList actionNames() const override;
  void doAction(const QString& actionName) override;
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  bool IsData() const { return row_ >= 0 && col_ >= 0; }
  bool IsCorner() const { return row_ < 0 && col_ < 0; }
  QAccessibleInterface* Cell(int row, int col) const;

  QPointer<GridControl> grid_;
  int row_;
  int col_;
};

}  // namespace quillary
