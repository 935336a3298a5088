// The grid control: cell events and their order, the current cell and the
// selection, resizing, cell texts, range text, geometry in twips and the
// codes of typed keys.

#include <QtTest>

#include <QHeaderView>
#include <QInputMethodEvent>
#include <QScrollBar>

#include "sheet/GridControl.h"
#include "sheet/Sheet.h"
#include "sheet/Twips.h"

using namespace quillary;

namespace {

// records x fields, labelled; data cell (r, c) holds "r,c".
Sheet NumberedSheet(int records, int fields) {
  Sheet sheet(records + 1, fields + 1);
  LabelSheet(sheet);
  for (int r = 1; r <= records; ++r)
    for (int c = 1; c <= fields; ++c) sheet.SetText(r, c, DecimalText(r) + u"," + DecimalText(c));
  return sheet;
}

// Every cell event with the current cell seen while it is raised.
struct CellEvents {
  explicit CellEvents(GridControl& grid) {
    const auto record = [this, &grid](const char* name) {
      return [this, &grid, name] { log << QStringLiteral("%1 %2,%3").arg(name).arg(grid.Row()).arg(grid.Col()); };
    };
    QObject::connect(&grid, &GridControl::LeaveCell, record("Leave"));
    QObject::connect(&grid, &GridControl::RowColChange, record("RowCol"));
    QObject::connect(&grid, &GridControl::EnterCell, record("Enter"));
  }
  QStringList Take() { return std::exchange(log, {}); }
  QStringList log;
};

QStringList Moved(int fromRow, int fromCol, int toRow, int toCol) {
  return {QStringLiteral("Leave %1,%2").arg(fromRow).arg(fromCol), QStringLiteral("RowCol %1,%2").arg(toRow).arg(toCol),
          QStringLiteral("Enter %1,%2").arg(toRow).arg(toCol)};
}

struct Selection {
  int row, col, rowSel, colSel;
  bool operator==(const Selection&) const = default;
};

Selection SelectionOf(const GridControl& grid) { return {grid.Row(), grid.Col(), grid.RowSel(), grid.ColSel()}; }

// The centre of a sheet cell, in the viewport's pixels.
QPoint CellPoint(const GridControl& grid, int row, int col) {
  return grid.visualRect(grid.model()->index(row - grid.FixedRows(), col - grid.FixedCols())).center();
}

void ShowGrid(GridControl& grid) {
  grid.resize(420, 220);
  grid.show();
  QVERIFY(QTest::qWaitForWindowExposed(&grid));
}

}  // namespace

class GridControlTest : public QObject {
  Q_OBJECT

 private slots:
  void everyMoveRaisesTheEventsInOrder();
  void fixedCellsNeverBecomeCurrentOrSelected();
  void shiftExtendsTheSelectionFromTheCurrentCell();
  void rightButtonLeavesTheSelection();
  void resizingKeepsTheOverlapAndNeverCrashes();
  void flatIndexAddressesTheSameCells();
  void rangeTextFillsTheSelectionOnly();
  void lengthsAreTwipsAndFollowScrolling();
  void keysAndInputMethodGiveTheirCodes();
};

void GridControlTest::everyMoveRaisesTheEventsInOrder() {
  GridControl grid(1, 1);
  grid.SetSheet(NumberedSheet(8, 4));
  ShowGrid(grid);
  CellEvents events(grid);

  grid.SetRow(3);
  QCOMPARE(events.Take(), Moved(1, 1, 3, 1));
  grid.SetCol(2);
  QCOMPARE(events.Take(), Moved(3, 1, 3, 2));
  grid.SetRow(3);
  grid.SetCol(2);
  QVERIFY(events.Take().isEmpty());

  QTest::keyClick(&grid, Qt::Key_Down);
  QCOMPARE(events.Take(), Moved(3, 2, 4, 2));
  QTest::keyClick(&grid, Qt::Key_Right);
  QCOMPARE(events.Take(), Moved(4, 2, 4, 3));
  QTest::keyClick(&grid, Qt::Key_Home);
  QCOMPARE(events.Take(), Moved(4, 3, 4, 1));

  QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellPoint(grid, 2, 4));
  QCOMPARE(events.Take(), Moved(4, 1, 2, 4));
  QCOMPARE(grid.Text(), QStringLiteral("2,4"));
  // A click on the current cell moves nothing.
  QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellPoint(grid, 2, 4));
  QVERIFY(events.Take().isEmpty());

  // A double click moves like a click, then reports itself.
  QSignalSpy doubleClicks(&grid, &GridControl::DblClick);
  QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, CellPoint(grid, 3, 3));
  QCOMPARE(events.Take(), Moved(2, 4, 3, 3));
  QCOMPARE(doubleClicks.count(), 1);

  // The selection corner moves without cell events.
  grid.SetRowSel(5);
  grid.SetColSel(1);
  QVERIFY(events.Take().isEmpty());
}

void GridControlTest::fixedCellsNeverBecomeCurrentOrSelected() {
  GridControl grid(1, 1);
  grid.SetSheet(NumberedSheet(5, 3));
  ShowGrid(grid);
  CellEvents events(grid);

  // At the first data cell the keys stop at the edge.
  for (Qt::Key key : {Qt::Key_Up, Qt::Key_Left, Qt::Key_Home, Qt::Key_PageUp}) QTest::keyClick(&grid, key);
  QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
  QTest::keyClick(&grid, Qt::Key_Up, Qt::ShiftModifier);
  QCOMPARE(SelectionOf(grid), (Selection{1, 1, 1, 1}));
  QVERIFY(events.Take().isEmpty());

  // Clicks on the headings select nothing.
  grid.SetRow(3);
  grid.SetCol(2);
  events.Take();
  QTest::mouseClick(grid.horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
  QTest::mouseClick(grid.verticalHeader()->viewport(), Qt::LeftButton, {}, QPoint(5, 10));
  QCOMPARE(SelectionOf(grid), (Selection{3, 2, 3, 2}));
  QVERIFY(events.Take().isEmpty());

  // Setting a fixed or missing row or column clamps to the data cells.
  grid.SetRow(0);
  QCOMPARE(events.Take(), Moved(3, 2, 1, 2));
  grid.SetCol(-4);
  QCOMPARE(grid.Col(), 1);
  grid.SetRowSel(99);
  grid.SetColSel(0);
  QCOMPARE(SelectionOf(grid), (Selection{1, 1, 5, 1}));

  // The view's own whole-sheet selection is refused.
  grid.selectAll();
  QCOMPARE(grid.selectionModel()->selectedIndexes().size(), 5);
}

void GridControlTest::shiftExtendsTheSelectionFromTheCurrentCell() {
  GridControl grid(1, 1);
  grid.SetSheet(NumberedSheet(6, 5));
  ShowGrid(grid);
  grid.SetRow(2);
  grid.SetCol(2);
  CellEvents events(grid);

  QTest::keyClick(&grid, Qt::Key_Right, Qt::ShiftModifier);
  QTest::keyClick(&grid, Qt::Key_Right, Qt::ShiftModifier);
  QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
  QCOMPARE(SelectionOf(grid), (Selection{2, 2, 3, 4}));
  QCOMPARE(grid.selectionModel()->selectedIndexes().size(), 6);
  QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ShiftModifier, CellPoint(grid, 1, 1));
  QCOMPARE(SelectionOf(grid), (Selection{2, 2, 1, 1}));
  QVERIFY(events.Take().isEmpty());

  // A plain move collapses the selection onto the new current cell.
  QTest::keyClick(&grid, Qt::Key_Down);
  QCOMPARE(SelectionOf(grid), (Selection{3, 2, 3, 2}));
  QCOMPARE(grid.selectionModel()->selectedIndexes().size(), 1);
  // So does setting the current cell to where it already is.
  grid.SetRowSel(5);
  grid.SetRow(3);
  QCOMPARE(SelectionOf(grid), (Selection{3, 2, 3, 2}));
}

void GridControlTest::rightButtonLeavesTheSelection() {
  GridControl grid(1, 1);
  grid.SetSheet(NumberedSheet(6, 5));
  ShowGrid(grid);
  grid.SetRow(2);
  grid.SetCol(2);
  grid.SetRowSel(3);
  grid.SetColSel(3);
  QSignalSpy downs(&grid, &GridControl::MouseDown);

  const QPoint cell = CellPoint(grid, 5, 5);
  QTest::mouseClick(grid.viewport(), Qt::RightButton, Qt::ShiftModifier, cell);
  QCOMPARE(SelectionOf(grid), (Selection{2, 2, 3, 3}));
  const QPoint inGrid = grid.viewport()->mapTo(&grid, cell);
  QCOMPARE(downs.takeFirst(),
           (QVariantList{2, 1, PixelsToTwipsX(inGrid.x(), &grid), PixelsToTwipsY(inGrid.y(), &grid)}));

  // On a field name: right of the row-label column, above the data cells.
  QTest::mouseClick(grid.horizontalHeader()->viewport(), Qt::RightButton, {}, QPoint(30, 5));
  QCOMPARE(downs.count(), 1);
  const QVariantList onName = downs.takeFirst();
  QCOMPARE(onName[0].toInt(), 2);
  QVERIFY(onName[2].toInt() > grid.ColWidth(0));
  QVERIFY(onName[3].toInt() < grid.RowHeight(0));
  QCOMPARE(SelectionOf(grid), (Selection{2, 2, 3, 3}));
}

void GridControlTest::resizingKeepsTheOverlapAndNeverCrashes() {
  GridControl grid(1, 1);
  grid.SetSheet(NumberedSheet(6, 5));
  ShowGrid(grid);
  grid.SetColWidth(2, 1500);
  grid.SetRow(6);
  grid.SetCol(5);
  grid.SetRowSel(2);
  grid.SetColSel(2);
  CellEvents events(grid);

  grid.SetRows(4);
  QCOMPARE(events.Take(), Moved(6, 5, 3, 5));
  QCOMPARE(SelectionOf(grid), (Selection{3, 5, 2, 2}));
  grid.SetCols(8);
  QCOMPARE(grid.TextMatrix(3, 5), QStringLiteral("3,5"));
  QCOMPARE(grid.TextMatrix(0, 2), QStringLiteral("フィールド 2"));
  QVERIFY(grid.TextMatrix(2, 7).isEmpty());
  QCOMPARE(grid.ColWidth(2), 1500);
  QCOMPARE(grid.ColWidth(7), 960);
  QVERIFY(events.Take().isEmpty());

  // No data cells left: nothing is current, nothing breaks.
  grid.SetCols(1);
  QCOMPARE(grid.Cols(), 1);
  QVERIFY(grid.Text().isEmpty());
  grid.SetText(QStringLiteral("lost"));
  grid.SetClip(QStringLiteral("x\t\r"));
  QTest::keyClick(&grid, Qt::Key_Down);
  QCOMPARE(grid.CellWidth(), 0);
  grid.SetRows(0);
  grid.SetSheet(Sheet());
  grid.SetSheet(NumberedSheet(3, 3));
  QCOMPARE(SelectionOf(grid), (Selection{1, 1, 1, 1}));
  QCOMPARE(grid.Text(), QStringLiteral("1,1"));

  // The field-name editor's shape: one fixed row, no fixed column, maybe no fields.
  GridControl names(1, 0);
  names.SetSheet(Sheet(2, 0));
  QVERIFY(names.verticalHeader()->isHidden());
  names.SetRow(1);
  names.SetCol(0);
  QVERIFY(names.Text().isEmpty());
  names.SetCols(3);
  names.SetTextMatrix(1, 0, QStringLiteral("a"));
  QCOMPARE(names.Text(), QStringLiteral("a"));
}

void GridControlTest::flatIndexAddressesTheSameCells() {
  GridControl grid(1, 1);
  grid.SetSheet(NumberedSheet(4, 3));
  QCOMPARE(grid.TextArray(2 * grid.Cols() + 3), QStringLiteral("2,3"));
  QCOMPARE(grid.TextArray(grid.Cols()), QStringLiteral("1"));
  grid.SetTextArray(4 * grid.Cols() + 1, QStringLiteral("flat"));
  QCOMPARE(grid.TextMatrix(4, 1), QStringLiteral("flat"));
  QCOMPARE(grid.sheet().Text(4, 1), u"flat");
  // Outside the sheet: empty, and writes go nowhere.
  const Sheet before = grid.sheet();
  for (int index : {-1, grid.Rows() * grid.Cols(), 40000}) {
    QVERIFY(grid.TextArray(index).isEmpty());
    grid.SetTextArray(index, QStringLiteral("x"));
  }
  grid.SetTextMatrix(-1, 2, QStringLiteral("x"));
  grid.SetTextMatrix(2, grid.Cols(), QStringLiteral("x"));
  QVERIFY(grid.sheet() == before);
}

void GridControlTest::rangeTextFillsTheSelectionOnly() {
  GridControl grid(1, 1);
  grid.SetSheet(NumberedSheet(5, 5));
  // Selected from the bottom-right corner.
  grid.SetRow(3);
  grid.SetCol(3);
  grid.SetRowSel(2);
  grid.SetColSel(2);
  QSignalSpy changes(grid.model(), &QAbstractItemModel::dataChanged);

  grid.SetClip(QStringLiteral("a\tb\tx\t\rc\td\t\re\t\r"));
  QCOMPARE(changes.count(), 1);
  QCOMPARE(grid.TextMatrix(2, 2), QStringLiteral("a"));
  QCOMPARE(grid.TextMatrix(2, 3), QStringLiteral("b"));
  QCOMPARE(grid.TextMatrix(3, 2), QStringLiteral("c"));
  QCOMPARE(grid.TextMatrix(3, 3), QStringLiteral("d"));
  QCOMPARE(grid.TextMatrix(2, 4), QStringLiteral("2,4"));
  QCOMPARE(grid.TextMatrix(4, 2), QStringLiteral("4,2"));

  // An empty text is one empty field: only the top-left cell changes.
  grid.SetClip(QString());
  QVERIFY(grid.TextMatrix(2, 2).isEmpty());
  QCOMPARE(grid.TextMatrix(2, 3), QStringLiteral("b"));
  QCOMPARE(grid.TextMatrix(3, 2), QStringLiteral("c"));
}

void GridControlTest::lengthsAreTwipsAndFollowScrolling() {
  GridControl grid(1, 1);
  QCOMPARE(grid.logicalDpiX(), 96);
  QCOMPARE(TwipsToPixelsX(1500, &grid), 100);
  QCOMPARE(PixelsToTwipsY(7, &grid), 105);
  QCOMPARE(TwipsToPixelsY(300), 20);
  QCOMPARE(PixelsToTwipsX(64), 960);

  grid.SetSheet(NumberedSheet(30, 20));
  grid.SetColWidth(0, 900);
  grid.SetRowHeight(0, 300);
  grid.SetRowHeight(2, 450);
  for (int col = 1; col < grid.Cols(); ++col) grid.SetColWidth(col, 1200);
  // Before the grid is laid out the headings already count.
  QCOMPARE(grid.CellLeft(), PixelsToTwipsX(grid.frameWidth(), &grid) + 900);
  ShowGrid(grid);
  QCOMPARE(grid.ColWidth(0), 900);
  QCOMPARE(grid.RowHeight(0), 300);

  grid.SetRow(2);
  grid.SetCol(3);
  const QRect cell = grid.visualRect(grid.currentIndex()).translated(grid.viewport()->pos());
  QCOMPARE(grid.CellLeft(), PixelsToTwipsX(cell.left(), &grid));
  QCOMPARE(grid.CellTop(), PixelsToTwipsY(cell.top(), &grid));
  QCOMPARE(grid.CellLeft(), PixelsToTwipsX(grid.frameWidth(), &grid) + 900 + 1200 + 1200);
  QCOMPARE(grid.CellTop(), PixelsToTwipsY(grid.frameWidth(), &grid) + 300 + grid.RowHeight(1));
  QCOMPARE(grid.CellWidth(), grid.ColWidth(3));
  QCOMPARE(grid.CellHeight(), 450);

  QSignalSpy scrolls(&grid, &GridControl::Scroll);
  const int left = grid.CellLeft();
  grid.horizontalScrollBar()->setValue(1);  // one column
  QCOMPARE(scrolls.count(), 1);
  QCOMPARE(grid.CellLeft(), left - grid.ColWidth(1));
  grid.verticalScrollBar()->setValue(1);
  QCOMPARE(scrolls.count(), 2);
  // Moving to a cell out of view scrolls it in, after the cell events.
  grid.SetRow(30);
  QCOMPARE(scrolls.count(), 3);
  QVERIFY(grid.viewport()->rect().contains(grid.visualRect(grid.currentIndex())));
  // A click on a cell only partly in view does not scroll, so a double
  // click stays on it.
  const QPoint edge(grid.viewport()->width() - 2, grid.visualRect(grid.currentIndex()).center().y());
  QVERIFY(grid.visualRect(grid.indexAt(edge)).right() >= grid.viewport()->width());
  QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, edge);
  QCOMPARE(grid.currentIndex(), grid.indexAt(edge));
  QCOMPARE(scrolls.count(), 3);
}

void GridControlTest::keysAndInputMethodGiveTheirCodes() {
  GridControl grid(1, 1);
  grid.SetSheet(NumberedSheet(3, 3));
  QSignalSpy downs(&grid, &GridControl::KeyDown);
  QSignalSpy presses(&grid, &GridControl::KeyPress);
  const auto pressed = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    presses.clear();
    QTest::keyClick(&grid, key, modifiers);
    return presses.isEmpty() ? QVariant() : presses.takeFirst().at(0);
  };

  QCOMPARE(pressed(Qt::Key_C, Qt::ControlModifier), QVariant(3));
  QCOMPARE(downs.takeLast(), (QVariantList{67, 2}));
  QCOMPARE(pressed(Qt::Key_R, Qt::ControlModifier), QVariant(18));
  QCOMPARE(pressed(Qt::Key_Return), QVariant(13));
  QCOMPARE(pressed(Qt::Key_Escape), QVariant(27));
  QCOMPARE(pressed(Qt::Key_Backspace), QVariant(8));
  QCOMPARE(pressed(Qt::Key_A), QVariant(int('a')));
  pressed(Qt::Key_A, Qt::ShiftModifier);
  QCOMPARE(downs.takeLast(), (QVariantList{65, 1}));
  // Keys that type nothing.
  QCOMPARE(pressed(Qt::Key_Delete), QVariant());
  QCOMPARE(downs.takeLast(), (QVariantList{46, 0}));
  QCOMPARE(pressed(Qt::Key_Down), QVariant());
  QCOMPARE(downs.takeLast(), (QVariantList{40, 0}));
  QCOMPARE(pressed(Qt::Key_F1), QVariant());
  QCOMPARE(downs.takeLast(), (QVariantList{112, 0}));

  // The view turns input methods off whenever the current cell moves.
  grid.SetRow(2);
  QVERIFY(grid.testAttribute(Qt::WA_InputMethodEnabled));
  QSignalSpy texts(&grid, &GridControl::KeyPressText);
  const auto commit = [&grid](const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(&grid, &event);
  };
  presses.clear();
  commit(QStringLiteral("あ"));
  commit(QStringLiteral("ｱ"));
  QCOMPARE(presses.count(), 2);
  QCOMPARE(presses[0][0].toInt(), 0x3042);
  QCOMPARE(presses[1][0].toInt(), 0xFF71 - 0x10000);
  commit(QStringLiteral("日本語"));
  QCOMPARE(texts.count(), 1);
  QCOMPARE(texts[0][0].toString(), QStringLiteral("日本語"));
  QCOMPARE(presses.count(), 2);
}

QTEST_MAIN(GridControlTest)
#include "GridControlTest.moc"
