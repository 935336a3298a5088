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
    QCOMPARE(QGuiApplication::clipboard()->text(), u"rrRrR"_s);
    QVERIFY(w.txtEdit()->text().isEmpty());
    QTest::keyClick(w.txtEdit(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.txtEdit()->text(), u"rrRrR"_s);
    QVERIFY(h.log.isEmpty());

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
