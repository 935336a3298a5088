// The grid control: cell events and their order, the current cell and the
// selection, resizing, cell texts, range text, geometry in twips and the
// codes of typed keys.

#include <QtTest>

#include <QAbstractButton>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <functional>
#include <optional>
#include <utility>

#include "sheet/Sheet.h"
#include "sheet/grid/GridControl.h"
#include "sheet/grid/Twips.h"
#include "support/SheetOf.h"

using namespace quillary;
using quillary::testing::NumberedSheet;
using namespace Qt::StringLiterals;

namespace {

// A grid over a numbered sheet that records every cell event with the
// current cell seen while it is raised.
struct Grid : GridControl {
  Grid(int records, int fields) : GridControl(1, 1) {
    SetSheet(NumberedSheet(records, fields));
    const std::pair<const char*, void (GridControl::*)()> cellEvents[] = {
        {"Leave", &GridControl::LeaveCell}, {"RowCol", &GridControl::RowColChange}, {"Enter", &GridControl::EnterCell}};
    for (const auto& event : cellEvents) {
      const char* name = event.first;
      connect(this, event.second, [this, name] { events << u"%1 %2,%3"_s.arg(name).arg(Row()).arg(Col()); });
    }
  }
  bool Show() {
    resize(420, 220);
    show();
    return QTest::qWaitForWindowExposed(this);
  }
  QStringList Take() { return std::exchange(events, {}); }
  void Select(int row, int col, int rowSel, int colSel) {
    SetRow(row);
    SetCol(col);
    SetRowSel(rowSel);
    SetColSel(colSel);
  }
  QList<int> Selection() const { return {Row(), Col(), RowSel(), ColSel()}; }
  qsizetype SelectedCells() const { return selectionModel()->selectedIndexes().size(); }
  // The centre of a data cell, in the viewport's pixels.
  QPoint At(int row, int col) const { return visualRect(model()->index(row - 1, col - 1)).center(); }
  void Click(int row, int col, Qt::KeyboardModifiers modifiers = {}, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(viewport(), button, modifiers, At(row, col));
  }

  QStringList events;
};

QStringList Moved(int fromRow, int fromCol, int toRow, int toCol) {
  return {u"Leave %1,%2"_s.arg(fromRow).arg(fromCol), u"RowCol %1,%2"_s.arg(toRow).arg(toCol),
          u"Enter %1,%2"_s.arg(toRow).arg(toCol)};
}

}  // namespace

class GridControlTest : public QObject {
  Q_OBJECT

 private slots:
  void theCurrentCellMovesWithItsEventsInOrderAndStaysOnData() {
    Grid g(8, 4);
    QVERIFY(g.Show());
    QSignalSpy doubleClicks(&g, &GridControl::DblClick);
    const auto key = [&g](Qt::Key k, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(&g, k, modifiers); };
    const struct {
      std::function<void()> step;
      QStringList events;
      QList<int> selection;  // Row, Col, RowSel, ColSel after it
    } steps[] = {
        // At the first data cell the keys stop at the edge.
        {[&] { key(Qt::Key_Up, Qt::ShiftModifier); }, {}, {1, 1, 1, 1}},
        {[&] { g.SetRow(3); }, Moved(1, 1, 3, 1), {3, 1, 3, 1}},
        {[&] { g.SetCol(2); }, Moved(3, 1, 3, 2), {3, 2, 3, 2}},
        {[&] { g.Select(3, 2, 3, 2); }, {}, {3, 2, 3, 2}},
        {[&] { key(Qt::Key_Down); }, Moved(3, 2, 4, 2), {4, 2, 4, 2}},
        {[&] { key(Qt::Key_Right); }, Moved(4, 2, 4, 3), {4, 3, 4, 3}},
        {[&] { key(Qt::Key_Home); }, Moved(4, 3, 4, 1), {4, 1, 4, 1}},
        {[&] { g.Click(2, 4); }, Moved(4, 1, 2, 4), {2, 4, 2, 4}},
        {[&] { g.Click(2, 4); }, {}, {2, 4, 2, 4}},  // the current cell: nothing moves
        // A double click moves like a click (then reports itself).
        {[&] { QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, g.At(3, 3)); }, Moved(2, 4, 3, 3), {3, 3, 3, 3}},
        // A fixed or missing row or column clamps to the data cells; the
        // selection corner moves without cell events.
        {[&] { g.SetRow(0); }, Moved(3, 3, 1, 3), {1, 3, 1, 3}},
        {[&] { g.SetCol(-4); }, Moved(1, 3, 1, 1), {1, 1, 1, 1}},
        {[&] {
           g.SetRowSel(99);
           g.SetColSel(0);
         },
         {},
         {1, 1, 8, 1}},
    };
    for (const auto& s : steps) {
      s.step();
      QCOMPARE(g.Take(), s.events);
      QCOMPARE(g.Selection(), s.selection);
    }
    QCOMPARE(doubleClicks.count(), 1);
  }

  // Ctrl+A and the corner select every data cell, a row number its record,
  // a field name its column; Shift extends such a selection.
  void wholeRecordsFieldsAndSheetAreSelected() {
    Grid g(8, 4);
    QVERIFY(g.Show());
    g.Select(3, 3, 3, 3);
    const auto heading = [&g](QHeaderView* header, int section) {
      const int at = header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
      return header->orientation() == Qt::Vertical ? QPoint(5, at) : QPoint(at, 5);
    };
    QHeaderView* rows = g.verticalHeader();
    QHeaderView* fields = g.horizontalHeader();
    const struct {
      const char* name;
      std::function<void()> step;
      QList<int> selection;  // Row, Col, RowSel, ColSel after it
    } steps[] = {
        {"Ctrl+A", [&] { QTest::keyClick(&g, Qt::Key_A, Qt::ControlModifier); }, {1, 1, 8, 4}},
        {"a field name",
         [&] { QTest::mouseClick(fields->viewport(), Qt::LeftButton, {}, heading(fields, 1)); },
         {1, 2, 8, 2}},
        {"Shift on another",
         [&] { QTest::mouseClick(fields->viewport(), Qt::LeftButton, Qt::ShiftModifier, heading(fields, 3)); },
         {1, 2, 8, 4}},
        {"a row number",
         [&] { QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, heading(rows, 4)); },
         {5, 1, 5, 4}},
        {"the corner",
         [&] {
           g.Select(2, 2, 2, 2);
           auto* corner = g.findChild<QAbstractButton*>();
           QVERIFY(corner);
           corner->click();
         },
         {1, 1, 8, 4}},
    };
    for (const auto& s : steps) {
      s.step();
      QVERIFY2(g.Selection() == s.selection, s.name);
    }
    QCOMPARE(g.SelectedCells(), 32);
  }

  void theSelectionExtendsFromTheCurrentCell() {
    Grid g(6, 5);
    QVERIFY(g.Show());
    g.Select(2, 2, 2, 2);
    g.Take();
    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down}) QTest::keyClick(&g, key, Qt::ShiftModifier);
    QCOMPARE(g.Selection(), (QList<int>{2, 2, 3, 4}));
    QCOMPARE(g.SelectedCells(), 6);
    g.Click(1, 1, Qt::ShiftModifier);
    QCOMPARE(g.Selection(), (QList<int>{2, 2, 1, 1}));
    // The right button inside the selection reports itself and changes
    // nothing.
    QSignalSpy downs(&g, &GridControl::MouseDown);
    g.Click(1, 2, Qt::ShiftModifier, Qt::RightButton);
    const QPoint inGrid = g.viewport()->mapTo(&g, g.At(1, 2));
    QCOMPARE(downs.takeFirst(), (QVariantList{2, 1, PixelsToTwipsX(inGrid.x(), &g), PixelsToTwipsY(inGrid.y(), &g)}));
    // On a field name: right of the row-label column, above the data cells.
    QTest::mouseClick(g.horizontalHeader()->viewport(), Qt::RightButton, {}, QPoint(30, 5));
    QCOMPARE(downs.size(), 1);
    const QVariantList onName = downs.takeFirst();
    QVERIFY(onName[0] == 2 && onName[2].toInt() > g.ColWidth(0) && onName[3].toInt() < g.RowHeight(0));
    QCOMPARE(g.Selection(), (QList<int>{2, 2, 1, 1}));
    QVERIFY(g.Take().isEmpty());
    // Outside the selection it makes the cell current before it reports
    // itself, so the pop-up's commands act on the cell clicked.
    connect(&g, &GridControl::MouseDown, &g, [&g] { g.events << u"Down"_s; });
    g.Click(5, 5, {}, Qt::RightButton);
    QCOMPARE(g.Take(), Moved(2, 2, 5, 5) << u"Down"_s);
    QCOMPARE(g.Selection(), (QList<int>{5, 5, 5, 5}));
    g.Select(2, 2, 2, 2);
    g.Take();
    // A plain move collapses the selection onto the new current cell; so
    // does setting the current cell to where it already is.
    QTest::keyClick(&g, Qt::Key_Down);
    QCOMPARE(g.Selection(), (QList<int>{3, 2, 3, 2}));
    QCOMPARE(g.SelectedCells(), 1);
    g.SetRowSel(5);
    g.SetRow(3);
    QCOMPARE(g.Selection(), (QList<int>{3, 2, 3, 2}));
  }

  void resizingKeepsTheOverlapAndNeverCrashes() {
    Grid g(6, 5);
    QVERIFY(g.Show());
    g.SetColWidth(2, 1500);
    g.Select(6, 5, 2, 2);
    g.Take();
    g.SetRows(4);
    QCOMPARE(g.Take(), Moved(6, 5, 3, 5));
    QCOMPARE(g.Selection(), (QList<int>{3, 5, 2, 2}));
    g.SetCols(8);
    QCOMPARE((QStringList{g.TextMatrix(3, 5), g.TextMatrix(0, 2), g.TextMatrix(2, 7)}),
             (QStringList{u"3,5"_s, u"フィールド 2"_s, QString()}));
    QVERIFY(g.ColWidth(2) == 1500 && g.Take().isEmpty());
    // No data cells left: nothing is current, nothing breaks.
    g.SetCols(1);
    QVERIFY(g.Cols() == 1 && g.Text().isEmpty());
    g.SetText(u"lost"_s);
    g.SetClip(u"x\t\r"_s);
    QTest::keyClick(&g, Qt::Key_Down);
    QCOMPARE(g.CellWidth(), 0);
    g.SetRows(0);
    g.SetSheet(Sheet());
    g.SetSheet(NumberedSheet(3, 3));
    QCOMPARE(g.Selection(), (QList<int>{1, 1, 1, 1}));
    QCOMPARE(g.Text(), u"1,1"_s);
    // The field-name editor's shape (its dialog's tests use it): no heading
    // column to show.
    QVERIFY(GridControl(1, 0).verticalHeader()->isHidden());
  }

  void textsByFlatIndexAndRange() {
    Grid g(5, 5);
    // Flat index row * Cols + col; outside the sheet empty, and writes go
    // nowhere.
    QCOMPARE((QStringList{g.TextArray(2 * g.Cols() + 3), g.TextArray(g.Cols())}), (QStringList{u"2,3"_s, u"1"_s}));
    g.SetTextArray(4 * g.Cols() + 1, u"flat"_s);
    QCOMPARE(QStringView(g.sheet().Text(4, 1)).toString(), u"flat"_s);
    const Sheet before = g.sheet();
    for (const int index : {-1, g.Rows() * g.Cols(), 40000}) {
      QVERIFY(g.TextArray(index).isEmpty());
      g.SetTextArray(index, u"x"_s);
    }
    g.SetTextMatrix(-1, 2, u"x"_s);
    g.SetTextMatrix(2, g.Cols(), u"x"_s);
    QVERIFY(g.sheet() == before);

    // A range text fills the selection (here from its bottom-right corner)
    // in one change; what lies beyond it is ignored. An empty text is one
    // empty field: only the top-left cell changes.
    g.Select(3, 3, 2, 2);
    QSignalSpy changes(g.model(), &QAbstractItemModel::dataChanged);
    g.SetClip(u"a\tb\tx\t\rc\td\t\re\t\r"_s);
    QCOMPARE(changes.count(), 1);
    g.SetClip(QString());
    QCOMPARE((QStringList{g.TextMatrix(2, 2), g.TextMatrix(2, 3), g.TextMatrix(3, 2), g.TextMatrix(3, 3),
                          g.TextMatrix(2, 4), g.TextMatrix(4, 2)}),
             (QStringList{QString(), u"b"_s, u"c"_s, u"d"_s, u"2,4"_s, u"4,2"_s}));
  }

  void lengthsAreTwipsAndFollowScrolling() {
    Grid g(30, 20);
    QCOMPARE(g.logicalDpiX(), 96);
    g.SetColWidth(0, 900);
    g.SetRowHeight(0, 300);
    g.SetRowHeight(2, 450);
    for (int col = 1; col < g.Cols(); ++col) g.SetColWidth(col, 1200);
    // Before the grid is laid out the headings already count.
    const int frame = PixelsToTwipsX(g.frameWidth(), &g);
    QCOMPARE(g.CellLeft(), frame + 900);
    QVERIFY(g.Show());
    g.Select(2, 3, 2, 3);
    const QRect cell = g.visualRect(g.currentIndex()).translated(g.viewport()->pos());
    QCOMPARE((QList<int>{g.CellLeft(), g.CellTop(), g.CellWidth(), g.CellHeight()}),
             (QList<int>{PixelsToTwipsX(cell.left(), &g), PixelsToTwipsY(cell.top(), &g), 1200, 450}));
    QCOMPARE((QList<int>{g.CellLeft(), g.CellTop()}),
             (QList<int>{frame + 900 + 2 * 1200, frame + 300 + g.RowHeight(1)}));

    QSignalSpy scrolls(&g, &GridControl::Scroll);
    const int left = g.CellLeft();
    g.horizontalScrollBar()->setValue(1);  // one column
    QCOMPARE(scrolls.count(), 1);
    QCOMPARE(g.CellLeft(), left - 1200);
    g.verticalScrollBar()->setValue(1);
    QCOMPARE(scrolls.count(), 2);
    // Moving to a cell out of view scrolls it in, after the cell events.
    g.SetRow(30);
    QCOMPARE(scrolls.count(), 3);
    QVERIFY(g.viewport()->rect().contains(g.visualRect(g.currentIndex())));
    // A click on a cell only partly in view does not scroll, so a double
    // click stays on it.
    const QPoint edge(g.viewport()->width() - 2, g.visualRect(g.currentIndex()).center().y());
    QVERIFY(g.visualRect(g.indexAt(edge)).right() >= g.viewport()->width());
    QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, edge);
    QCOMPARE(g.currentIndex(), g.indexAt(edge));
    QCOMPARE(scrolls.count(), 3);
  }

  void keysAndInputMethodGiveTheirCodes() {
    Grid g(3, 3);
    QSignalSpy downs(&g, &GridControl::KeyDown);
    QSignalSpy presses(&g, &GridControl::KeyPress);
    // Key down gives the key code and the shift state; key press the typed
    // character, or nothing for keys that type none.
    const struct {
      Qt::Key key;
      Qt::KeyboardModifiers modifiers;
      QString text;
      int code, shift;
      std::optional<int> typed;
    } cases[] = {
        {Qt::Key_C, Qt::ControlModifier, u"\x03"_s, 67, 2, 3},
        {Qt::Key_R, Qt::ControlModifier, {}, 82, 2, 18},
        {Qt::Key_Return, {}, u"\r"_s, 13, 0, 13},
        {Qt::Key_A, {}, u"a"_s, 65, 0, 'a'},
        {Qt::Key_A, Qt::ShiftModifier, u"A"_s, 65, 1, 'A'},
        {Qt::Key_Delete, {}, u"\x7f"_s, 46, 0, {}},
        {Qt::Key_Down, {}, {}, 40, 0, {}},
    };
    for (const auto& c : cases) {
      downs.clear();
      presses.clear();
      QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers, c.text);
      QCoreApplication::sendEvent(&g, &press);
      QCOMPARE(downs.value(0), (QVariantList{c.code, c.shift}));
      QCOMPARE(presses.value(0).value(0), c.typed ? QVariant(*c.typed) : QVariant());
    }
    // The view turns input methods off whenever the current cell moves; a
    // commit of one character is typed, of several handed on whole.
    g.SetRow(2);
    QVERIFY(g.testAttribute(Qt::WA_InputMethodEnabled));
    QSignalSpy texts(&g, &GridControl::KeyPressText);
    presses.clear();
    for (const QString& text : {u"あ"_s, u"ｱ"_s, u"日本語"_s}) {
      QInputMethodEvent event;
      event.setCommitString(text);
      QCoreApplication::sendEvent(&g, &event);
    }
    QCOMPARE(presses.size(), 2);
    QCOMPARE((QList<int>{presses[0][0].toInt(), presses[1][0].toInt()}), (QList<int>{0x3042, 0xFF71 - 0x10000}));
    QCOMPARE(texts.size(), 1);
    QCOMPARE(texts[0][0].toString(), u"日本語"_s);
    // A character outside the basic plane is two units and goes whole, typed
    // or committed; half of it never arrives as a code.
    presses.clear();
    texts.clear();
    QKeyEvent emoji(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, u"😀"_s);
    QCoreApplication::sendEvent(&g, &emoji);
    QInputMethodEvent event;
    event.setCommitString(u"𠮷"_s);
    QCoreApplication::sendEvent(&g, &event);
    QVERIFY(presses.isEmpty());
    QCOMPARE((QStringList{texts.value(0).value(0).toString(), texts.value(1).value(0).toString()}),
             (QStringList{u"😀"_s, u"𠮷"_s}));
  }
};

QTEST_MAIN(GridControlTest)
#include "GridControlTest.moc"
