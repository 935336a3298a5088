// Undo and Redo in the main window: the Edit menu items follow the history,
// a pending cell edit is committed first, the text boxes keep their own
// Ctrl+Z, and Ctrl+Z and Ctrl+Y in the grid never open the editor.

#include <QtTest>

#include "MainWindowHarness.h"
#include "sheet/document/SheetDocument.h"

using namespace quillary;
using namespace quillary::testing;
using namespace Qt::StringLiterals;

class UndoTest : public QObject {
  Q_OBJECT

 private slots:
  void theItemsFollowTheHistory() {
    MainWindowHarness e;
    TestMain& w = e.window;
    // Undo enabled, Redo enabled, the sheet modified.
    const auto state = [&] {
      return QList<bool>{w.Item("Undo")->isEnabled(), w.Item("Redo")->isEnabled(), w.CheckModify()};
    };
    QCOMPARE(state(), (QList<bool>{false, false, false}));
    e.grid().SetTextMatrix(1, 1, u"a"_s);
    QCOMPARE(state(), (QList<bool>{true, false, true}));
    w.Undo_Click();
    QCOMPARE(state(), (QList<bool>{false, true, false}));
    w.Redo_Click();
    QCOMPARE(state(), (QList<bool>{true, false, true}));
    QCOMPARE(e.Cell(1, 1), u"a"_s);
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
    w.Cut_Click();
    e.Select(4, 2, 4, 2);
    w.Paste_Click();
    QCOMPARE(w.document().HistorySteps(), steps + 2);
    // What Undo took back becomes the selection.
    w.Undo_Click();
    QCOMPARE((QList<int>{e.grid().Row(), e.grid().Col(), e.grid().RowSel(), e.grid().ColSel()}),
             (QList<int>{4, 2, 6, 4}));
    w.Undo_Click();
    QVERIFY(e.grid().sheet() == filled);
    QCOMPARE((QList<int>{e.grid().Row(), e.grid().Col(), e.grid().RowSel(), e.grid().ColSel()}),
             (QList<int>{1, 1, 3, 3}));
    QCOMPARE(w.Text1()->Text(), u"1.1"_s);
  }
};

QTEST_MAIN(UndoTest)
#include "UndoTest.moc"
