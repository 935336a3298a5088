// The editing commands beside the specified ones: rows and columns at the
// selection, sorting and the find window, each one step of the history; and
// Undo and Redo in the window: a pending cell edit is committed first, the
// text boxes keep their own Ctrl+Z, and Ctrl+Z and Ctrl+Y in the grid never
// open the editor.

#include <QtTest>

#include <initializer_list>

#include <QCheckBox>

#include "MainWindowHarness.h"
#include "dialogs/FindReplace.h"
#include "sheet/document/SheetDocument.h"
#include "support/SheetOf.h"

using namespace quillary;
using namespace quillary::testing;
using namespace Qt::StringLiterals;

namespace {

// The texts of a row or a column, joined by ",".
QString RowText(const GridControl& g, int row) {
  QStringList texts;
  for (int c = 0; c < g.Cols(); ++c) texts << g.TextMatrix(row, c);
  return texts.join(u'|');
}

QString ColText(const GridControl& g, int col) {
  QStringList texts;
  for (int r = 0; r < g.Rows(); ++r) texts << g.TextMatrix(r, col);
  return texts.join(u'|');
}

struct CellText {
  int row, col;
  const char16_t* text;
};

// A numbered 3 x 3 sheet whose third field is named "Apple", then the texts.
Sheet FruitSheet(std::initializer_list<CellText> texts) {
  Sheet sheet = NumberedSheet(3, 3);
  sheet.SetText(0, 3, u"Apple");
  for (const CellText& cell : texts) sheet.SetText(cell.row, cell.col, cell.text);
  return sheet;
}

}  // namespace

class EditCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void rowsAndColumnsAtTheSelectionAreOneStepEach_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<QString>("probe");  // "r3" a row's texts, "c2" a column's
    QTest::addColumn<QString>("texts");
    QTest::newRow("rows inserted above the selection")
        << u"InsertRows"_s << 6 << 4 << u"c1"_s << u"フィールド 1|1,1|||2,1|3,1"_s;
    QTest::newRow("rows deleted") << u"DeleteRows"_s << 2 << 4 << u"c0"_s << u"|1"_s;
    QTest::newRow("columns inserted, named by names no field uses; the others keep theirs")
        << u"InsertCols"_s << 4 << 6 << u"r0"_s << u"|フィールド 2|フィールド 4|フィールド 1|価格|フィールド 3"_s;
    QTest::newRow("columns deleted") << u"DeleteCols"_s << 4 << 2 << u"r0"_s << u"|フィールド 3"_s;
    // By the current column; whole records move.
    QTest::newRow("sorted descending") << u"SortDescending"_s << 4 << 4 << u"c2"_s << u"価格|0|2,2|1,2"_s;
  }

  void rowsAndColumnsAtTheSelectionAreOneStepEach() {
    QFETCH(QString, item);
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(QString, probe);
    QFETCH(QString, texts);
    MainWindowHarness h;
    TestMain& w = h.window;
    GridControl& g = h.grid();
    Sheet sheet = NumberedSheet(3, 3);
    sheet.SetText(0, 2, u"価格");
    sheet.SetText(3, 2, u"0");
    g.SetSheet(sheet);
    h.Select(2, 1, 3, 2);  // rows 2 and 3, columns 1 and 2
    w.Item(qPrintable(item))->trigger();
    QCOMPARE((QList<int>{g.Rows(), g.Cols()}), (QList<int>{rows, cols}));
    const int at = probe.mid(1).toInt();
    QCOMPARE(probe[0] == u'r' ? RowText(g, at) : ColText(g, at), texts);
    QVERIFY(w.CheckModify());
    QCOMPARE(w.document().HistorySteps(), 1);
    w.Run("Undo");
    QVERIFY(g.sheet() == sheet);
    QVERIFY(!w.CheckModify());
  }

  void refusalsChangeNothing() {
    MainWindowHarness h;
    TestMain& w = h.window;
    GridControl& g = h.grid();
    g.SetSheet(NumberedSheet(kMaxRecords - 1, 1));
    h.Select(1, 1, 1, 1);
    w.Run("InsertRows");  // up to the record limit
    QCOMPARE(g.Rows(), kMaxRows);
    w.Run("InsertRows");
    w.Run("InsertCols");  // a field more still fits
    QCOMPARE(g.Cols(), 3);
    g.SetSheet(NumberedSheet(1, kMaxFields));  // at the field limit
    h.Select(1, 1, 1, 1);
    w.Run("InsertCols");
    g.SetSheet(NumberedSheet(2, 2));
    h.Select(1, 1, 2, 2);
    w.Run("DeleteRows");
    w.Run("DeleteCols");
    QCOMPARE(h.messageBox.TakePrompts(),
             (QStringList{u"シートが大きすぎます。\n（レコードは 1048576 件、フィールドは 16384 個までです）"_s,
                          u"シートが大きすぎます。\n（レコードは 1048576 件、フィールドは 16384 個までです）"_s,
                          u"すべての行は削除できません。\nシートには 1 行以上のレコードが必要です。"_s,
                          u"すべての列は削除できません。\nシートには 1 つ以上のフィールドが必要です。"_s}));
    QVERIFY(g.sheet() == NumberedSheet(2, 2) && !w.document().CanUndo());
  }

  void findAndReplace() {
    MainWindowHarness h;
    TestMain& w = h.window;
    GridControl& g = h.grid();
    const Sheet sheet = FruitSheet({{2, 2, u"apple|pie"}, {3, 1, u"APPLE"}});
    g.SetSheet(sheet);
    h.Select(1, 1, 1, 1);
    w.Run("Find");
    auto& find = Find<FindReplace>(w, "FindReplace");
    QVERIFY(find.isVisible() && !find.isModal());
    Find<QLineEdit>(find, "FindText").setText(u"apple"_s);
    find.FindNext_Click();
    QCOMPARE((QList<int>{g.Row(), g.Col()}), (QList<int>{2, 2}));
    find.FindNext_Click();
    QCOMPARE((QList<int>{g.Row(), g.Col()}), (QList<int>{3, 1}));
    find.FindPrevious_Click();
    QCOMPARE((QList<int>{g.Row(), g.Col()}), (QList<int>{2, 2}));
    // Case and whole cells narrow it; "|" is ordinary text.
    Find<QCheckBox>(find, "MatchCase").setChecked(true);
    Find<QLineEdit>(find, "FindText").setText(u"APPLE"_s);
    find.FindNext_Click();
    QCOMPARE((QList<int>{g.Row(), g.Col()}), (QList<int>{3, 1}));
    Find<QCheckBox>(find, "MatchCase").setChecked(false);
    Find<QCheckBox>(find, "WholeCell").setChecked(true);
    Find<QLineEdit>(find, "FindText").setText(u"apple|pie"_s);
    find.FindNext_Click();
    QCOMPARE((QList<int>{g.Row(), g.Col()}), (QList<int>{2, 2}));
    Find<QLineEdit>(find, "FindText").setText(u"nothing"_s);
    find.FindNext_Click();
    QCOMPARE(find.Result(), u"見つかりません。"_s);
    // Replace all is one step and says how many; field names only if asked.
    Find<QCheckBox>(find, "WholeCell").setChecked(false);
    Find<QLineEdit>(find, "FindText").setText(u"apple"_s);
    Find<QLineEdit>(find, "ReplaceText").setText(u"りんご"_s);
    find.ReplaceAll_Click();
    QCOMPARE(find.Result(), u"2 か所置換しました。"_s);
    QCOMPARE((QStringList{g.TextMatrix(2, 2), g.TextMatrix(3, 1), g.TextMatrix(0, 3)}),
             (QStringList{u"りんご|pie"_s, u"りんご"_s, u"Apple"_s}));
    Find<QCheckBox>(find, "FieldNames").setChecked(true);
    find.ReplaceAll_Click();
    QCOMPARE(g.TextMatrix(0, 3), u"りんご"_s);
    w.Run("Undo");
    w.Run("Undo");
    QVERIFY(g.sheet() == sheet);
    // Replace one: the current cell if it matches, then on to the next.
    h.Select(2, 2, 2, 2);
    find.ReplaceOne_Click();
    QCOMPARE(g.TextMatrix(2, 2), u"りんご|pie"_s);
    QCOMPARE((QList<int>{g.Row(), g.Col()}), (QList<int>{3, 1}));
  }

  void findAndReplaceFinishTheJob() {
    MainWindowHarness h;
    TestMain& w = h.window;
    GridControl& g = h.grid();
    g.SetSheet(FruitSheet({{2, 3, u""}, {3, 2, u"apple pie"}}));
    w.Run("Replace");
    auto& find = Find<FindReplace>(w, "FindReplace");
    auto& text = Find<QLineEdit>(find, "FindText");
    auto& with = Find<QLineEdit>(find, "ReplaceText");
    const auto at = [&g] { return QList<int>{g.Row(), g.Col()}; };
    // Replace reaches a field name it reported; going round is told.
    Find<QCheckBox>(find, "FieldNames").setChecked(true);
    text.setText(u"Apple"_s);
    with.setText(u"X"_s);
    h.Select(3, 3, 3, 3);
    find.FindNext_Click();
    QCOMPARE(find.Result(), u"先頭から検索しました。3 列目のフィールド名にあります。"_s);
    find.ReplaceOne_Click();
    QCOMPARE(g.TextMatrix(0, 3), u"X"_s);
    QCOMPARE(at(), (QList<int>{3, 2}));
    Find<QCheckBox>(find, "FieldNames").setChecked(false);
    // An empty text asks for one, but as a whole cell finds empty cells.
    text.clear();
    find.FindNext_Click();
    QCOMPARE(find.Result(), u"検索する文字列を入力してください。"_s);
    Find<QCheckBox>(find, "WholeCell").setChecked(true);
    find.FindNext_Click();
    QCOMPARE(at(), (QList<int>{2, 3}));
    with.setText(u"-"_s);
    find.ReplaceAll_Click();
    QCOMPARE(find.Result(), u"1 か所置換しました。"_s);
    QCOMPARE(g.TextMatrix(2, 3), u"-"_s);
    Find<QCheckBox>(find, "WholeCell").setChecked(false);
    // Regular expressions, groups in the replacement, a bad pattern told.
    Find<QCheckBox>(find, "RegularExpression").setChecked(true);
    text.setText(u"a(p+)le (\\w+)"_s);
    with.setText(u"\\2-\\1"_s);
    find.ReplaceAll_Click();
    QCOMPARE(g.TextMatrix(3, 2), u"pie-pp"_s);
    text.setText(u"a(b"_s);
    find.FindNext_Click();
    QVERIFY2(find.Result().startsWith(u"正規表現に誤りがあります"_s), qPrintable(find.Result()));
  }

  void aPendingEditIsCommittedAndTakenBack() {
    MainWindowHarness e;
    TestMain& w = e.window;
    QVERIFY(e.FocusCell(2, 2, u"before"_s));
    QTest::keyClick(w.fg2(), Qt::Key_T);
    QTest::keyClicks(w.txtEdit(), u"yped"_s);
    QVERIFY(e.Editing());
    w.Item("Undo")->trigger();
    QVERIFY(!e.Editing());
    QCOMPARE((QStringList{e.Cell(2, 2), w.Text1()->Text()}), (QStringList{u"before"_s, u"before"_s}));
    w.Item("Redo")->trigger();
    QCOMPARE((QStringList{e.Cell(2, 2), w.Text1()->Text()}), (QStringList{u"typed"_s, u"typed"_s}));
  }

  void ctrlZInTheGridUndoesAndOpensNoEditor() {
    MainWindowHarness e;
    TestMain& w = e.window;
    QVERIFY(e.FocusCell(1, 1, u"x"_s));
    QTest::keyClick(w.fg2(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!e.Editing() && e.Cell(1, 1).isEmpty());
    QTest::keyClick(w.fg2(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(!e.Editing() && e.Cell(1, 1) == u"x"_s);
    QTest::keyClick(w.fg2(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(w.fg2(), Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(!e.Editing() && e.Cell(1, 1) == u"x"_s);
  }

  void ctrlZInTheEditorUndoesItsTyping() {
    MainWindowHarness e;
    TestMain& w = e.window;
    QVERIFY(e.FocusCell(1, 1, u"x"_s));
    e.grid().SetTextMatrix(3, 3, u"earlier"_s);
    QTest::keyClick(w.fg2(), Qt::Key_Space);
    QTest::keyClicks(w.txtEdit(), u"yz"_s);
    QTest::keyClick(w.txtEdit(), Qt::Key_Z, Qt::ControlModifier);
    // The editor's own undo: the sheet keeps its change, the edit goes on.
    QVERIFY(e.Editing() && w.txtEdit()->text() != u"xyz"_s && e.Cell(3, 3) == u"earlier"_s);
  }

  void rangeCommandsAreOneStepEach() {
    MainWindowHarness e;
    TestMain& w = e.window;
    for (int r = 1; r <= 3; ++r)
      for (int c = 1; c <= 3; ++c) e.grid().SetTextMatrix(r, c, u"%1.%2"_s.arg(r).arg(c));
    const Sheet filled = e.grid().sheet();
    const int steps = w.document().HistorySteps();
    e.Select(1, 1, 3, 3);
    w.Run("Cut");
    e.Select(4, 2, 4, 2);
    w.Run("Paste");
    QCOMPARE(w.document().HistorySteps(), steps + 2);
    // What Undo took back becomes the selection.
    w.Run("Undo");
    QCOMPARE((QList<int>{e.grid().Row(), e.grid().Col(), e.grid().RowSel(), e.grid().ColSel()}),
             (QList<int>{4, 2, 6, 4}));
    w.Run("Undo");
    QVERIFY(e.grid().sheet() == filled);
    QCOMPARE((QList<int>{e.grid().Row(), e.grid().Col(), e.grid().RowSel(), e.grid().ColSel()}),
             (QList<int>{1, 1, 3, 3}));
    QCOMPARE(w.Text1()->Text(), u"1.1"_s);
  }
};

QTEST_MAIN(EditCommandsTest)
#include "EditCommandsTest.moc"
