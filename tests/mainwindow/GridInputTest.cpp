// What the main window does with the characters, keys and mouse buttons
// that reach its grid, and with the R key that no control takes.

#include <QtTest>

#include <QClipboard>
#include <QGuiApplication>

#include "MainWindowHarness.h"
#include "sheet/Twips.h"

using namespace quillary;
using namespace quillary::testing;
using namespace Qt::StringLiterals;

class GridInputTest : public QObject {
  Q_OBJECT

 private slots:
  void gridKeysStartTheRangeCommands() {
    MainWindowHarness h;
    TestMain& w = h.window;
    w.fg2->SetTextMatrix(4, 3, u"a|b"_s);
    // Selected from the bottom-right corner: the values go as they are.
    h.Select(4, 3, 2, 1);
    const QString copy = u"CopyRange 1 2 3 4"_s, cut = u"CutRange 1 2 3 4"_s, paste = u"PasteRange"_s;
    // The grid's own codes, which the menus' shortcuts may take first.
    const std::pair<int, QStringList> codes[] = {{3, {copy}}, {24, {cut}}, {22, {paste}}, {18, {}}};
    for (const auto& [code, commands] : codes) {
      emit w.fg2->KeyPress(code);
      QCOMPARE(h.Take(), commands);
    }
    // From the keyboard each runs once, and the menus' shortcuts work; Ctrl+R
    // neither edits nor converts.
    QVERIFY(h.ShowActive() && h.Focus(w.fg2));
    const std::pair<Qt::Key, QStringList> keys[] = {
        {Qt::Key_C, {copy}},           {Qt::Key_X, {cut}},           {Qt::Key_V, {paste}},
        {Qt::Key_P, {paste}},          {Qt::Key_N, {u"NewSheet"_s}}, {Qt::Key_O, {u"OpenSheet"_s}},
        {Qt::Key_S, {u"SaveSheet"_s}}, {Qt::Key_R, {}},
    };
    for (const auto& [key, commands] : keys) {
      QTest::keyClick(w.fg2, key, Qt::ControlModifier);
      QCOMPARE(h.Take(), commands);
      QVERIFY(!h.Editing());
    }
    // Delete, whatever the shift state, empties the range and the box.
    QCOMPARE(w.Text1->Text(), u"a\r\nb"_s);
    for (const auto modifiers : {Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
      QTest::keyClick(w.fg2, Qt::Key_Delete, modifiers);
      QCOMPARE(h.Take(), QStringList{u"DeleteRange 1 2 3 4"_s});
      QVERIFY(w.Text1->Text().isEmpty() && w.txtEdit->text().isEmpty() && !h.Editing());
      w.SetText1Text(SharedText(u"again"));
    }
    // Other keys are the grid's own.
    emit w.fg2->KeyDown(8, 0);
    emit w.fg2->KeyDown(45, 0);
    QVERIFY(h.log.isEmpty());
  }

  void rightClicksShowThePopupsAtThePointer() {
    MainWindowHarness h;
    TestMain& w = h.window;
    const int cw = w.fg2->ColWidth(0), rh = w.fg2->RowHeight(0);
    QVERIFY(cw > 30 && rh > 30);
    // Strictly right of the row numbers: above the data cells the field-name
    // pop-up, below them the edit menu; on the boundary lines nothing.
    const struct {
      int button, x, y;
      QMenu* menu;
    } cases[] = {
        {2, cw + 1, rh - 1, w.ContextField}, {2, cw + 1, 0, w.ContextField}, {2, cw + 3000, rh - 1, w.ContextField},
        {2, cw + 1, rh + 1, w.Edit},         {2, cw + 4000, rh + 2000, w.Edit},
        {2, cw, rh - 1, nullptr},            {2, cw + 1, rh, nullptr},       {2, cw, rh + 1, nullptr},
        {2, cw - 1, rh + 1, nullptr},        {2, cw - 1, rh - 1, nullptr},   {1, cw + 1, rh + 1, nullptr},
        {4, cw + 1, rh - 1, nullptr},
    };
    for (const auto& c : cases) {
      w.popups.clear();
      emit w.fg2->MouseDown(c.button, 0, c.x, c.y);
      QCOMPARE(w.popups.size(), std::size_t{c.menu ? 1u : 0u});
      if (!c.menu) continue;
      QCOMPARE(w.popups[0].menu, c.menu);
      QCOMPARE(w.popups[0].at, w.fg2->mapToGlobal(QPoint(TwipsToPixelsX(c.x, w.fg2), TwipsToPixelsY(c.y, w.fg2))));
    }
  }

  void textBoxesKeepTheirOwnKeys() {
    MainWindowHarness h;
    TestMain& w = h.window;
    QVERIFY(h.ShowActive() && h.Focus(w.fg2));
    const auto typeR = [](QWidget* widget) {
      QTest::keyClick(widget, Qt::Key_R);
      QTest::keyClicks(widget, u"R"_s);
      QTest::keyClick(widget, Qt::Key_R, Qt::ControlModifier);
    };
    // Typed into a cell R opens the editor; there and in the box it is typed.
    QTest::keyClick(w.fg2, Qt::Key_R);
    QCOMPARE(w.txtEdit->text(), u"r"_s);
    QTRY_VERIFY(w.txtEdit->hasFocus());
    typeR(w.txtEdit);
    QCOMPARE(w.txtEdit->text(), u"rrR"_s);
    QVERIFY(h.Focus(w.Text1));
    w.Text1->moveCursor(QTextCursor::End);
    typeR(w.Text1);
    QCOMPARE(w.Text1->Text(), u"rrRrR"_s);
    // Their clipboard keys are theirs too.
    w.Text1->selectAll();
    QTest::keyClick(w.Text1, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), w.Text1->Text());
    QVERIFY(h.Focus(w.txtEdit));
    QCOMPARE(w.txtEdit->text(), u"rrRrR"_s);
    w.txtEdit->selectAll();
    QTest::keyClick(w.txtEdit, Qt::Key_X, Qt::ControlModifier);
    QVERIFY(QGuiApplication::clipboard()->text() == u"rrRrR"_s && w.txtEdit->text().isEmpty());
    QTest::keyClick(w.txtEdit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.txtEdit->text(), u"rrRrR"_s);
    QVERIFY(h.log.isEmpty());
    // Alt+R is the menu bar's access key for Convert, from any control.
    QTest::keyClick(w.txtEdit, Qt::Key_R, Qt::AltModifier);
    QCOMPARE(h.Take(), QStringList{u"ConvertSheet"_s});

    // With no control holding the focus the window takes R itself, whatever
    // Shift, Ctrl and Alt say.
    QApplication::focusWidget()->clearFocus();
    QVERIFY(!QApplication::focusWidget());
    QTest::keyClick(&w, Qt::Key_R);
    QTest::keyClick(&w, Qt::Key_R, Qt::ShiftModifier);
    QTest::keyClick(&w, Qt::Key_A);
    w.Form_KeyDown(82, 7);
    QCOMPARE(h.log, QStringList(3, u"ConvertSheet"_s));
  }
};

QTEST_MAIN(GridInputTest)
#include "GridInputTest.moc"
