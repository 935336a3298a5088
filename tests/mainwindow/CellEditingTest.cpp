// In-cell editing: starting an edit, the keys inside the overlay editor, the
// commits, and the mirror with the cell-contents box; and what the window
// does with the mouse buttons that reach its grid, and with the R key that
// no control takes.

#include <QtTest>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <functional>

#include "MainWindowHarness.h"
#include "sheet/grid/KeyCodes.h"
#include "sheet/grid/LongText.h"
#include "sheet/grid/Twips.h"

using namespace quillary;
using namespace quillary::testing;
using namespace Qt::StringLiterals;

namespace {

// Kana with a marker every 97 characters.
QString LongText(int length) {
  QString text;
  for (int i = 0; i < length; ++i) text += (i % 97 == 96) ? QChar(u'|') : QChar(u'あ' + i % 40);
  return text;
}

// A change of the sheet made by a command of the window.
using CellChange = std::function<void(TestMain&)>;

}  // namespace

Q_DECLARE_METATYPE(CellChange)

class CellEditingTest : public QObject {
  Q_OBJECT

 private slots:
  void typingOpensTheEditorOverTheCell() {
    MainWindowHarness e;
    TestMain& w = e.window;
    QVERIFY(e.FocusCell(2, 3, u"xyz"_s));
    // A character replaces the text; the cell keeps it until the commit.
    QTest::keyClick(w.fg2(), Qt::Key_A);
    QVERIFY(e.Editing() && w.txtEdit()->cursorPosition() == 1);
    QCOMPARE((QStringList{w.txtEdit()->text(), w.Text1()->Text(), e.Cell(2, 3)}),
             (QStringList{u"a"_s, u"a"_s, u"xyz"_s}));
    QTRY_VERIFY(w.txtEdit()->hasFocus());
    GridControl& g = e.grid();
    const QRect cell(g.x() + TwipsToPixelsX(g.CellLeft(), &w), g.y() + TwipsToPixelsY(g.CellTop(), &w),
                     TwipsToPixelsX(g.CellWidth() + 30, &w), TwipsToPixelsY(g.CellHeight(), &w));
    QCOMPARE(w.txtEdit()->geometry(), cell);
    QVERIFY(w.txtEdit()->parentWidget() == g.parentWidget() && w.txtEdit()->font() == g.font());
    w.CommitCellEdit();
    QVERIFY(!e.Editing() && e.Cell(2, 3) == u"a"_s);
    // From U+8000 up a character arrives with a negative code; an input
    // method's commit of several characters types them all.
    for (const QString& typed : {u"ｶ"_s, u"漢"_s, u"日本語"_s}) {
      if (typed.size() == 1) w.fg2_KeyPress(static_cast<std::int16_t>(typed[0].unicode()));
      if (typed.size() > 1) emit g.KeyPressText(typed);
      QVERIFY(w.txtEdit()->text() == typed && w.txtEdit()->cursorPosition() == typed.size());
      w.CommitCellEdit();
      QCOMPARE(e.Cell(2, 3), typed);
    }
    // Space, F2, double click and the control characters but Ctrl+R open the
    // text unchanged, the caret at its end.
    g.SetText(u"xyz"_s);
    std::vector<std::function<void()>> opens{[&] { QTest::keyClick(&g, Qt::Key_Space); },
                                             [&] { QTest::keyClick(&g, Qt::Key_F2); }, [&] { emit g.DblClick(); }};
    for (const int code : {kCharSpace, kCharReturn, kCharBackspace, kCharEscape, kCharCtrlA, kCharCtrlQ, kCharCtrlS})
      opens.push_back([&w, code] { w.fg2_KeyPress(code); });
    for (const auto& open : opens) {
      open();
      QVERIFY(e.Editing());
      QCOMPARE(w.txtEdit()->text(), u"xyz"_s);
      QCOMPARE(w.txtEdit()->cursorPosition(), 3);
      QTest::keyClick(w.txtEdit(), Qt::Key_Escape);
      QVERIFY(!e.Editing());
      QCOMPARE(e.Cell(2, 3), u"xyz"_s);
    }
    // In a longer text the caret goes after the 1000th character.
    g.SetText(LongText(1500));
    w.fg2_KeyPress(kCharSpace);
    QCOMPARE(w.txtEdit()->text(), LongText(1500));
    QCOMPARE(w.txtEdit()->cursorPosition(), 1000);
    QTest::keyClick(w.txtEdit(), Qt::Key_Escape);
    // ... and never splits a character outside the basic plane (which the
    // grid hands on whole: its own tests).
    g.SetText(QString(999, u'a') + u"😀b"_s);
    w.fg2_KeyPress(kCharSpace);
    QCOMPARE(w.txtEdit()->cursorPosition(), 1001);
  }

  void editorKeysCommitAndMoveWithinTheSheet() {
    MainWindowHarness e;
    TestMain& w = e.window;
    QVERIFY(e.FocusCell(2, 2, u"ab"_s));
    // Enter types the marker and moves nothing.
    QTest::keyClick(w.fg2(), Qt::Key_Space);
    QTest::keyClick(w.txtEdit(), Qt::Key_Return);
    QTest::keyClicks(w.txtEdit(), u"cd"_s);
    QCOMPARE((QStringList{w.txtEdit()->text(), w.Text1()->Text()}), (QStringList{u"ab|cd"_s, u"ab\r\ncd"_s}));
    QVERIFY(w.Text1()->blockCount() == 2 && e.Editing() && w.fg2()->Row() == 2 && w.fg2()->Col() == 2);
    QTest::keyClick(w.txtEdit(), Qt::Key_Escape);

    // Tab, Up, Down and Ctrl+Enter commit, then move unless at the edge.
    const int lastRow = w.fg2()->Rows() - 1, lastCol = w.fg2()->Cols() - 1;
    const struct {
      int row, col;
      Qt::Key key;
      Qt::KeyboardModifiers modifiers;
      int toRow, toCol;
    } cases[] = {
        {5, 2, Qt::Key_Down, {}, 6, 2},
        {lastRow, 2, Qt::Key_Down, {}, lastRow, 2},
        {5, 2, Qt::Key_Up, {}, 4, 2},
        {1, 2, Qt::Key_Up, {}, 1, 2},
        {5, 2, Qt::Key_Tab, {}, 5, 3},
        {5, lastCol, Qt::Key_Tab, {}, 5, lastCol},
        {5, 2, Qt::Key_Return, Qt::ControlModifier, 5, 3},
        {5, lastCol, Qt::Key_Return, Qt::ControlModifier, 5, lastCol},
    };
    for (const auto& c : cases) {
      e.Select(c.row, c.col, c.row, c.col);
      w.fg2()->SetTextMatrix(c.toRow, c.toCol, u"target"_s);
      w.fg2()->SetTextMatrix(c.row, c.col, u"old"_s);
      QTest::keyClick(w.fg2(), Qt::Key_N);
      QTest::keyClicks(w.txtEdit(), u"ew"_s);
      QTest::keyClick(w.txtEdit(), c.key, c.modifiers);
      const QByteArray where = u"from %1,%2"_s.arg(c.row).arg(c.col).toUtf8();
      QVERIFY2(!e.Editing(), where.constData());
      QCOMPARE(e.Cell(c.row, c.col), u"new"_s);
      if (c.toRow != c.row || c.toCol != c.col) QCOMPARE(e.Cell(c.toRow, c.toCol), u"target"_s);
      QCOMPARE((QList<int>{w.fg2()->Row(), w.fg2()->Col()}), (QList<int>{c.toRow, c.toCol}));
      QTRY_VERIFY2(w.fg2()->hasFocus(), where.constData());
      // The box shows the cell that is now current; the editor stays closed.
      QCOMPARE(w.Text1()->Text(), w.fg2()->Text());
    }
  }

  void commitsReachTheCellBeingLeft() {
    MainWindowHarness e;
    TestMain& w = e.window;
    GridControl& g = e.grid();
    // Esc drops the edit from both boxes: into the box and back into the
    // grid never brings it back.
    QVERIFY(e.FocusCell(3, 4, u"old"_s));
    QTest::keyClick(&g, Qt::Key_N);
    QTest::keyClicks(w.txtEdit(), u"ew"_s);
    QTest::keyClick(w.txtEdit(), Qt::Key_Escape);
    QVERIFY(!e.Editing());
    QTRY_VERIFY(g.hasFocus());
    QCOMPARE((QStringList{e.Cell(3, 4), w.Text1()->Text(), w.txtEdit()->text()}),
             (QStringList{u"old"_s, u"old"_s, u"old"_s}));
    QVERIFY(e.Focus(w.Text1()) && e.Editing() && e.BackToGrid());
    QCOMPARE(e.Cell(3, 4), u"old"_s);

    // Moving the current cell commits to the cell left.
    g.SetTextMatrix(3, 2, u"three"_s);
    QVERIFY(e.FocusCell(2, 2, u"two"_s));
    QTest::keyClick(&g, Qt::Key_K);
    g.SetRow(3);
    QVERIFY(!e.Editing());
    QCOMPARE((QStringList{e.Cell(2, 2), e.Cell(3, 2), w.Text1()->Text()}),
             (QStringList{u"k"_s, u"three"_s, u"three"_s}));
    // CommitCellEdit, as Save and Open use it, commits an edit in the box.
    QVERIFY(e.Focus(w.Text1()));
    w.Text1()->moveCursor(QTextCursor::Start);
    QTest::keyClicks(w.Text1(), u"1"_s);
    w.CommitCellEdit();
    QVERIFY(!e.Editing() && e.Cell(3, 2) == u"1three"_s);
    // So does scrolling the grid while the editor is shown.
    g.SetRows(300);
    QVERIFY(e.Focus(&g));
    QTest::keyClick(&g, Qt::Key_S);
    QTRY_VERIFY(w.txtEdit()->hasFocus());
    QScrollBar* bar = g.verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 0);  // the view lays out its new rows lazily
    bar->setValue(bar->maximum());
    QTRY_VERIFY(!e.Editing() && g.hasFocus());
    QCOMPARE(e.Cell(3, 2), u"s"_s);
  }

  // Whatever changes the current cell, the box shows what it now holds,
  // and a visit to the box then writes nothing stale back.
  void theBoxFollowsEveryChangeOfTheCell_data() {
    QTest::addColumn<std::function<void(TestMain&)>>("change");
    QTest::addColumn<QString>("shown");
    using Change = std::function<void(TestMain&)>;
    QTest::newRow("delete") << Change([](TestMain& w) { QTest::keyClick(w.fg2(), Qt::Key_Delete); }) << QString();
    QTest::newRow("paste") << Change([](TestMain& w) {
      w.fg2()->SetTextMatrix(1, 1, u"copied"_s);
      w.CopyGrid(1, 1, 1, 1);
      w.Run("Paste");
    }) << u"copied"_s;
    QTest::newRow("undo") << Change([](TestMain& w) { w.Run("Undo"); }) << QString();
    QTest::newRow("sort") << Change([](TestMain& w) {
      w.fg2()->SetTextMatrix(1, 2, u"a"_s);
      w.Run("SortDescending");
    }) << u"a"_s;
  }

  void theBoxFollowsEveryChangeOfTheCell() {
    QFETCH(CellChange, change);
    QFETCH(QString, shown);
    MainWindowHarness e;
    TestMain& w = e.window;
    QVERIFY(e.FocusCell(2, 2, u"b"_s));
    QCOMPARE(w.Text1()->Text(), u"b"_s);
    change(w);
    QCOMPARE(w.Text1()->Text(), shown);
    QCOMPARE(e.Cell(2, 2), shown);
    QVERIFY(e.Focus(w.Text1()) && e.BackToGrid());
    QCOMPARE(e.Cell(2, 2), shown);
  }

  void theBoxShowsMarkersAsLineBreaks() {
    MainWindowHarness e;
    TestMain& w = e.window;
    QVERIFY(e.FocusCell(3, 3));
    // Focus in the box shows the editor over the cell; the focus stays put.
    QVERIFY(e.TypeInBox(u"ab"_s));
    QVERIFY(e.Editing() && w.Text1()->hasFocus());
    QTest::keyClick(w.Text1(), Qt::Key_Return);
    QTest::keyClicks(w.Text1(), u"cd"_s);
    QCOMPARE((QStringList{w.Text1()->Text(), w.txtEdit()->text()}), (QStringList{u"ab\r\ncd"_s, u"ab|cd"_s}));
    QCOMPARE(w.Text1()->textCursor().position(), 5);
    QVERIFY(e.BackToGrid() && e.Cell(3, 3) == u"ab|cd"_s);

    // Lone CR and LF are shown as pictures and reach the cell unchanged; CR
    // LF, as a file may bring it, is a line break in the box and a marker
    // after an edit there. A text up to the editors' length passes whole.
    const QString longText = LongText(kEditedUnits);
    const struct {
      QString stored, shown, editor, committed;
    } cases[] = {
        {u"p\rq\ns|t\r"_s, u"p\u240Dq\u240As\nt\u240D"_s, u"p\rq\ns|t\r"_s, u"p\rq\ns|t\r!"_s},
        {u"x\r\ny"_s, u"x\ny"_s, u"x|y"_s, u"x|y!"_s},
        {longText, QString(longText).replace(u'|', u'\n'), longText, longText + u'!'},
    };
    for (const auto& c : cases) {
      w.fg2()->SetTextMatrix(4, 3, c.stored);
      w.fg2()->SetRow(5);
      w.fg2()->SetRow(4);
      QVERIFY(w.Text1()->toPlainText() == c.shown && w.txtEdit()->text() == c.editor);
      QVERIFY(e.TypeInBox(u"!"_s) && e.BackToGrid() && e.Cell(4, 3) == c.committed);
    }
    // The box's own form and back, for every mix of line ends.
    for (const QString& text : {u"a\r\nb"_s, u"\r\r\n\n"_s, u"\n\r"_s, u"\r\n\r\n"_s, u"x\u00a0y"_s, QString()})
      QCOMPARE(CellContentsBox::FromEditorText(CellContentsBox::ToEditorText(text)), text);
  }

  void aLongCellIsEditedAtItsStartAndKeepsTheRest() {
    MainWindowHarness e;
    TestMain& w = e.window;
    const QString text = LongText(1'000'000) + u"😀"_s;
    const QString start = text.first(kEditedUnits);
    QVERIFY(e.FocusCell(2, 2, text));
    w.fg2()->SetRow(3);
    w.fg2()->SetRow(2);
    // The editors hold the start; the box says so; the grid draws less still.
    QVERIFY(w.txtEdit()->text() == start && w.Text1()->Text() == QString(start).replace(u"|"_s, u"\r\n"_s));
    QVERIFY(w.Text1()->CutNotice()->isVisible());
    QCOMPARE(
        w.Text1()->CutNotice()->text(),
        u"長いセルです（全 1,000,002 文字）。先頭の 32,768 文字だけを表示・編集しています。残りはそのまま保たれます。"_s);
    const QString drawn = w.fg2()->model()->index(1, 1).data().toString();
    QVERIFY(drawn.size() == kDrawnUnits + 1 && drawn.endsWith(u'…') && text.startsWith(drawn.chopped(1)));
    // An edit of the start, in the editor or the box, keeps the rest.
    QTest::keyClick(w.fg2(), Qt::Key_Space);
    QTest::keyClick(w.txtEdit(), Qt::Key_Home);
    QTest::keyClicks(w.txtEdit(), u"<"_s);
    QVERIFY(e.BackToGrid());
    QCOMPARE(e.Cell(2, 2), u"<"_s + text);
    QVERIFY(e.TypeInBox(u">"_s) && e.BackToGrid());
    QCOMPARE(e.Cell(2, 2), u"<"_s + start + u">"_s + text.mid(kEditedUnits));
    // A typed character still replaces all of it; Delete empties all of it.
    QTest::keyClick(w.fg2(), Qt::Key_A);
    QVERIFY(!w.Text1()->CutNotice()->isVisible() && e.BackToGrid() && e.Cell(2, 2) == u"a"_s);
  }

  void theMirrorStopsAfterOnePassAndKeepsTheCaret() {
    MainWindowHarness e;
    TestMain& w = e.window;
    const QString text = LongText(2000);
    QVERIFY(e.FocusCell(2, 2, text));
    QTest::keyClick(w.fg2(), Qt::Key_Space);
    QSignalSpy boxChanges(w.Text1(), &QPlainTextEdit::textChanged);
    QSignalSpy editorChanges(w.txtEdit(), &QLineEdit::textChanged);
    QTest::keyClicks(w.txtEdit(), u"Z"_s);
    QString edited = text.left(1000) + u'Z' + text.mid(1000);
    QVERIFY(w.txtEdit()->text() == edited && w.txtEdit()->cursorPosition() == 1001);
    QCOMPARE(w.Text1()->Text(), QString(edited).replace(u'|', u"\r\n"_s));
    QCOMPARE((QList<int>{int(editorChanges.size()), int(boxChanges.size())}), (QList<int>{1, 1}));
    // Typed in the box, "|" stays as typed there: the box is never rewritten
    // while the user types in it.
    boxChanges.clear();
    editorChanges.clear();
    QVERIFY(e.TypeInBox(u"|"_s));
    edited += u'|';
    QVERIFY(w.Text1()->Text().endsWith(u"|"_s) && w.txtEdit()->text() == edited);
    QCOMPARE(w.Text1()->textCursor().position(), w.Text1()->document()->characterCount() - 1);
    QCOMPARE((QList<int>{int(editorChanges.size()), int(boxChanges.size())}), (QList<int>{1, 1}));
    QVERIFY(e.BackToGrid() && e.Cell(2, 2) == edited);
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
        {2, cw + 3000, 0, w.ContextField()},
        {2, cw + 1, rh + 1, w.Edit()},
        {2, cw, rh - 1, nullptr},
        {2, cw + 1, rh, nullptr},
        {2, cw - 1, rh + 1, nullptr},
        {1, cw + 1, rh + 1, nullptr},
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

QTEST_MAIN(CellEditingTest)
#include "CellEditingTest.moc"
