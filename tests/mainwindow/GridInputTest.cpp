// What the main window does with the characters, keys and mouse buttons
// that reach its grid, and with the R key that no control takes.

#include <QtTest>

#include <QClipboard>
#include <QGuiApplication>

#include "MainWindowHarness.h"
#include "sheet/grid/KeyCodes.h"
#include "sheet/grid/Twips.h"

using namespace quillary;
using namespace quillary::testing;
using namespace Qt::StringLiterals;

class GridInputTest : public QObject {
  Q_OBJECT

 private slots:
  // The grid's own character codes and the keys, which the menus'
  // shortcuts may take first, each run the range command once with the
  // selection (ColSel, RowSel, Col, Row) as it is; Ctrl+R, Ctrl+Z and Ctrl+Y
  // neither edit nor start a range command.
  void gridKeysStartTheRangeCommands_data() {
    QTest::addColumn<int>("code");  // a character code, or 0 for `key`
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("state");
    const QString copied = u"clip 1 2 2 3 | a,b,c d,e,f g,h,i"_s;
    const QString cut = u"clip 1 2 2 3 | a,b,c ,,f ,,i"_s;
    const QString pasted = u"clip 0 0 0 0 | a,b,c d,e,f g,h,i"_s;
    QTest::newRow("Ctrl+C typed") << int(kCharCtrlC) << 0 << copied;
    QTest::newRow("Ctrl+X typed") << int(kCharCtrlX) << 0 << cut;
    QTest::newRow("Ctrl+V typed before any copy") << int(kCharCtrlV) << 0 << pasted;
    QTest::newRow("Ctrl+R typed") << int(kCharCtrlR) << 0 << pasted;
    QTest::newRow("Ctrl+C key") << 0 << int(Qt::Key_C) << copied;
    QTest::newRow("Ctrl+X key") << 0 << int(Qt::Key_X) << cut;
    QTest::newRow("Ctrl+V key") << 0 << int(Qt::Key_V) << pasted;
    QTest::newRow("Ctrl+P key") << 0 << int(Qt::Key_P) << pasted;
    QTest::newRow("Ctrl+Z key, nothing to undo") << 0 << int(Qt::Key_Z) << pasted;
    QTest::newRow("Ctrl+Y key, nothing to redo") << 0 << int(Qt::Key_Y) << pasted;
  }

  void gridKeysStartTheRangeCommands() {
    QFETCH(int, code);
    QFETCH(int, key);
    QFETCH(QString, state);
    MainWindowHarness h;
    TestMain& w = h.window;
    Sheet sheet = MakeInitialSheet();
    const char16_t* texts[] = {u"a", u"b", u"c", u"d", u"e", u"f", u"g", u"h", u"i"};
    for (int i = 0; i < 9; ++i) sheet.SetText(1 + i / 3, 1 + i % 3, texts[i]);
    w.fg2()->SetSheet(sheet);
    // Selected from the bottom-right corner: the values go as they are.
    h.Select(3, 2, 2, 1);
    if (code != 0) {
      emit w.fg2()->KeyPress(code);
    } else {
      QVERIFY(h.ShowActive() && h.Focus(w.fg2()));
      QTest::keyClick(w.fg2(), Qt::Key(key), Qt::ControlModifier);
    }
    QCOMPARE(h.RangeState(), state);
    QVERIFY(!h.Editing());
  }

  void menuShortcutsTypedInTheGridStartTheirCommands() {
    MainWindowHarness h;
    TestMain& w = h.window;
    QVERIFY(h.ShowActive() && h.Focus(w.fg2()));
    for (const Qt::Key key : {Qt::Key_N, Qt::Key_O, Qt::Key_S}) QTest::keyClick(w.fg2(), key, Qt::ControlModifier);
    QCOMPARE(h.Take(), (QStringList{u"New_Click"_s, u"Open_Click"_s, u"Save_Click"_s}));
    QVERIFY(!h.Editing());
  }

  void deleteEmptiesTheRangeAndTheBoxWhateverTheShiftState() {
    MainWindowHarness h;
    TestMain& w = h.window;
    w.fg2()->SetTextMatrix(3, 2, u"a|b"_s);
    h.Select(3, 2, 2, 1);
    QCOMPARE(w.Text1()->Text(), u"a\r\nb"_s);
    for (const auto modifiers : {Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
      w.fg2()->SetTextMatrix(2, 1, u"x"_s);
      QTest::keyClick(w.fg2(), Qt::Key_Delete, modifiers);
      QCOMPARE(h.RangeState(), u"clip 0 0 0 0 | ,, ,, ,,"_s);
      QVERIFY(w.Text1()->Text().isEmpty() && w.txtEdit()->text().isEmpty() && !h.Editing());
      w.Text1()->SetText(u"again"_s);
    }
    // Other keys are the grid's own.
    w.fg2()->SetTextMatrix(2, 1, u"x"_s);
    emit w.fg2()->KeyDown(kKeyBackspace, 0);
    emit w.fg2()->KeyDown(kKeyInsert, 0);
    QVERIFY(h.log.isEmpty() && h.Cell(2, 1) == u"x"_s);
  }

  void rightClicksShowThePopupsAtThePointer() {
    MainWindowHarness h;
    TestMain& w = h.window;
    const int cw = w.fg2()->ColWidth(0), rh = w.fg2()->RowHeight(0);
    QVERIFY(cw > 30 && rh > 30);
    // Strictly right of the row numbers: above the data cells the field-name
    // pop-up, below them the edit menu; on the boundary lines nothing.
    const struct {
      int button, x, y;
      QMenu* menu;
    } cases[] = {
        {2, cw + 1, rh - 1, w.ContextField()},
        {2, cw + 1, 0, w.ContextField()},
        {2, cw + 3000, rh - 1, w.ContextField()},
        {2, cw + 1, rh + 1, w.Edit()},
        {2, cw + 4000, rh + 2000, w.Edit()},
        {2, cw, rh - 1, nullptr},
        {2, cw + 1, rh, nullptr},
        {2, cw, rh + 1, nullptr},
        {2, cw - 1, rh + 1, nullptr},
        {2, cw - 1, rh - 1, nullptr},
        {1, cw + 1, rh + 1, nullptr},
        {4, cw + 1, rh - 1, nullptr},
    };
    for (const auto& c : cases) {
      w.popups.clear();
      emit w.fg2()->MouseDown(c.button, 0, c.x, c.y);
      QCOMPARE(w.popups.size(), std::size_t{c.menu ? 1u : 0u});
      if (!c.menu) continue;
      QCOMPARE(w.popups[0].menu, c.menu);
      QCOMPARE(w.popups[0].at,
               w.fg2()->mapToGlobal(QPoint(TwipsToPixelsX(c.x, w.fg2()), TwipsToPixelsY(c.y, w.fg2()))));
    }
  }

  void textBoxesKeepTheirOwnKeys() {
    MainWindowHarness h;
    TestMain& w = h.window;
    QVERIFY(h.ShowActive() && h.Focus(w.fg2()));
    const auto typeR = [](QWidget* widget) {
      QTest::keyClick(widget, Qt::Key_R);
      QTest::keyClicks(widget, u"R"_s);
    };
    // Typed into a cell R opens the editor; there and in the box it is typed.
    QTest::keyClick(w.fg2(), Qt::Key_R);
    QCOMPARE(w.txtEdit()->text(), u"r"_s);
    QTRY_VERIFY(w.txtEdit()->hasFocus());
    typeR(w.txtEdit());
    QCOMPARE(w.txtEdit()->text(), u"rrR"_s);
    QVERIFY(h.Focus(w.Text1()));
    w.Text1()->moveCursor(QTextCursor::End);
    typeR(w.Text1());
    QCOMPARE(w.Text1()->Text(), u"rrRrR"_s);
    // Their clipboard keys are theirs too.
    w.Text1()->selectAll();
    QTest::keyClick(w.Text1(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), w.Text1()->Text());
    QVERIFY(h.Focus(w.txtEdit()));
    QCOMPARE(w.txtEdit()->text(), u"rrRrR"_s);
    w.txtEdit()->selectAll();
    QTest::keyClick(w.txtEdit(), Qt::Key_X, Qt::ControlModifier);
    QVERIFY(QGuiApplication::clipboard()->text() == u"rrRrR"_s && w.txtEdit()->text().isEmpty());
    QTest::keyClick(w.txtEdit(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.txtEdit()->text(), u"rrRrR"_s);
    QVERIFY(h.log.isEmpty());
    // Alt+R is the menu bar's access key for Convert, from any control.
    QTest::keyClick(w.txtEdit(), Qt::Key_R, Qt::AltModifier);
    QCOMPARE(h.Take(), QStringList{u"Convert_Click"_s});

    // With no control holding the focus the window takes R itself, whatever
    // Shift, Ctrl and Alt say (Convert gives the grid the focus back).
    const auto unfocused = [&w](Qt::Key key, Qt::KeyboardModifiers modifiers) {
      QApplication::focusWidget()->clearFocus();
      QVERIFY(!QApplication::focusWidget());
      QTest::keyClick(&w, key, modifiers);
    };
    unfocused(Qt::Key_R, Qt::NoModifier);
    unfocused(Qt::Key_R, Qt::ShiftModifier);
    unfocused(Qt::Key_A, Qt::NoModifier);
    w.Form_KeyDown(kKeyR, kShift | kCtrl | kAlt);
    QCOMPARE(h.log, QStringList(3, u"Convert_Click"_s));
  }
};

QTEST_MAIN(GridInputTest)
#include "GridInputTest.moc"
