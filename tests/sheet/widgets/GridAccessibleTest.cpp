// The grid's accessible table as a screen reader sees it: its own interface,
// the selection counted and listed from its rectangle, cells with their
// texts, places and headings, the focus following the current cell.

#include <QtTest>

#include <QAccessible>
#include <QAccessibleTableInterface>

#include "sheet/Sheet.h"
#include "sheet/grid/GridAccessibleTable.h"
#include "sheet/grid/GridControl.h"
#include "support/SheetOf.h"

using namespace quillary;
using quillary::testing::NumberedSheet;
using namespace Qt::StringLiterals;

namespace {

// Records 6 x fields 4; sheet cell (r, c) reads "r,c", the second field is
// named 商品名.
struct Grid : GridControl {
  explicit Grid(int records = 6, int fields = 4) : GridControl(1, 1) {
    Sheet sheet = NumberedSheet(records, fields);
    sheet.SetText(0, 2, u"商品名");
    SetSheet(std::move(sheet));
  }
  QAccessibleInterface* Accessible() { return QAccessible::queryAccessibleInterface(this); }
  QAccessibleTableInterface& Table() { return *Accessible()->tableInterface(); }
};

QString Name(QAccessibleInterface* cell) { return cell ? cell->text(QAccessible::Name) : u"(none)"_s; }

}  // namespace

class GridAccessibleTest : public QObject {
  Q_OBJECT

 private slots:
  // The offscreen platform has no accessibility backend to make this stick,
  // yet the interfaces answer all the same.
  void initTestCase() { QAccessible::setActive(true); }

  void theGridAnswersWithItsOwnTable() {
    Grid g;
    QAccessibleInterface* table = g.Accessible();
    QVERIFY(dynamic_cast<GridAccessibleTable*>(table));
    QCOMPARE(table->role(), QAccessible::Table);
    QCOMPARE(g.Table().rowCount(), 6);
    QCOMPARE(g.Table().columnCount(), 4);
    QCOMPARE(table->childCount(), 7 * 5);  // with the heading row and column
  }

  void selectionIsCountedFromItsRectangle_data() {
    QTest::addColumn<QList<int>>("selection");  // Row, Col, RowSel, ColSel in the sheet
    QTest::addColumn<int>("cells");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QList<int>>("columns");
    QTest::addColumn<QStringList>("firstCells");
    QTest::newRow("one cell") << QList<int>{3, 2, 3, 2} << 1 << QList<int>{} << QList<int>{} << QStringList{"3,2"};
    QTest::newRow("a range from its lower corner")
        << QList<int>{4, 3, 2, 2} << 6 << QList<int>{} << QList<int>{} << QStringList{"2,2", "2,3", "3,2"};
    QTest::newRow("whole records") << QList<int>{2, 1, 3, 4} << 8 << QList<int>{1, 2} << QList<int>{}
                                   << QStringList{"2,1", "2,2", "2,3", "2,4", "3,1"};
    QTest::newRow("whole fields") << QList<int>{1, 2, 6, 3} << 12 << QList<int>{} << QList<int>{1, 2}
                                  << QStringList{"1,2", "1,3", "2,2"};
    QTest::newRow("the whole sheet") << QList<int>{1, 1, 6, 4} << 24 << QList<int>{0, 1, 2, 3, 4, 5}
                                     << QList<int>{0, 1, 2, 3} << QStringList{"1,1", "1,2"};
  }

  void selectionIsCountedFromItsRectangle() {
    QFETCH(QList<int>, selection);
    QFETCH(int, cells);
    QFETCH(QList<int>, rows);
    QFETCH(QList<int>, columns);
    QFETCH(QStringList, firstCells);
    Grid g;
    g.Select({selection[0], selection[1], selection[2], selection[3]});
    QAccessibleTableInterface& table = g.Table();
    QCOMPARE(table.selectedCellCount(), cells);
    QCOMPARE(table.selectedRows(), rows);
    QCOMPARE(table.selectedRowCount(), rows.size());
    QCOMPARE(table.selectedColumns(), columns);
    QCOMPARE(table.selectedColumnCount(), columns.size());
    for (int row = 0; row < table.rowCount(); ++row) QCOMPARE(table.isRowSelected(row), rows.contains(row));
    for (int col = 0; col < table.columnCount(); ++col) QCOMPARE(table.isColumnSelected(col), columns.contains(col));
    const QList<QAccessibleInterface*> listed = table.selectedCells();
    QCOMPARE(listed.size(), cells);
    for (qsizetype i = 0; i < firstCells.size(); ++i) QCOMPARE(Name(listed[i]), firstCells[i]);
    for (QAccessibleInterface* cell : listed) QVERIFY(cell->state().selected);
  }

  void aRecordOrFieldIsSelectedThroughTheTable() {
    Grid g;
    QVERIFY(g.Table().selectRow(2));
    QCOMPARE(g.Selection(), (GridSelection{3, 1, 3, 4}));
    QVERIFY(g.Table().selectColumn(1));
    QCOMPARE(g.Selection(), (GridSelection{1, 2, 6, 2}));
    QVERIFY(!g.Table().selectRow(6));
  }

  void cellsNameTheirTextPlaceAndHeadings() {
    Grid g;
    QAccessibleInterface* table = g.Accessible();
    QAccessibleInterface* cell = g.Table().cellAt(2, 1);
    QCOMPARE(Name(cell), u"3,2"_s);
    QCOMPARE(cell->role(), QAccessible::Cell);
    QCOMPARE(cell->parent(), table);
    QAccessibleTableCellInterface* place = cell->tableCellInterface();
    QVERIFY(place);
    QCOMPARE(place->rowIndex(), 2);
    QCOMPARE(place->columnIndex(), 1);
    QCOMPARE(place->columnHeaderCells().size(), 1);
    QCOMPARE(Name(place->columnHeaderCells().first()), u"商品名"_s);
    QCOMPARE(place->columnHeaderCells().first()->role(), QAccessible::ColumnHeader);
    QCOMPARE(Name(place->rowHeaderCells().first()), u"3"_s);
    QCOMPARE(place->rowHeaderCells().first()->role(), QAccessible::RowHeader);
    // The same cell, under the same id, however it is reached.
    const int index = table->indexOfChild(cell);
    QCOMPARE(index, 3 * 5 + 2);
    QCOMPARE(table->child(index), cell);
    QCOMPARE(QAccessible::uniqueId(g.Table().cellAt(2, 1)), QAccessible::uniqueId(cell));
    QCOMPARE(g.Table().cellAt(6, 0), nullptr);
  }

  void theFocusChildFollowsTheCurrentCell() {
    Grid g;
    g.resize(420, 220);
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    QAccessibleInterface* table = g.Accessible();
    for (const auto& [row, col] : {std::pair{4, 3}, std::pair{1, 1}, std::pair{6, 4}}) {
      g.SetRow(row);
      g.SetCol(col);
      const QString text = u"%1,%2"_s.arg(row).arg(col);
      QCOMPARE(Name(table->focusChild()), text);
      QVERIFY(table->focusChild()->state().focused);
    }
    QCOMPARE(table->childAt(table->focusChild()->rect().center().x(), table->focusChild()->rect().center().y()),
             table->focusChild());
  }

  void aSelectedMillionRecordSheetIsCountedWhole() {
    GridControl g(1, 1);
    g.SetSheet(Sheet(1'000'001, 9));
    QTest::keyClick(&g, Qt::Key_A, Qt::ControlModifier);
    QAccessibleTableInterface& table = *QAccessible::queryAccessibleInterface(&g)->tableInterface();
    QCOMPARE(table.selectedCellCount(), 8'000'000);
    QCOMPARE(table.selectedRowCount(), 1'000'000);
    QCOMPARE(table.selectedColumnCount(), 8);
    QVERIFY(table.isRowSelected(999'999));
    QCOMPARE(table.selectedCells().size(), 1000);
  }
};

QTEST_MAIN(GridAccessibleTest)
#include "GridAccessibleTest.moc"
