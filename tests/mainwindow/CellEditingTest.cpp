// In-cell editing: starting an edit, the keys inside the overlay editor, the
// commits, and the mirror with the cell-contents box.

#include <QtTest>

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
    QVERIFY(w.txtEdit()->text() == LongText(1500) && w.txtEdit()->cursorPosition() == 1000);
  }

  void charactersOutsideTheBasicPlaneArriveWhole() {
    MainWindowHarness e;
    TestMain& w = e.window;
    GridControl& g = e.grid();
    const auto type = [](QWidget* target, const QString& text) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
      QCoreApplication::sendEvent(target, &press);
    };
    const auto commit = [](QWidget* target, const QString& text) {
      QInputMethodEvent event;
      event.setCommitString(text);
      QCoreApplication::sendEvent(target, &event);
    };
    QVERIFY(e.FocusCell(2, 2, u"old"_s));
    // As the first key of an edit, typed or committed, alone or with others.
    const struct {
      std::function<void()> start;
      QString cell;
    } starts[] = {
        {[&] { type(&g, u"😀"_s); }, u"😀"_s},
        {[&] { commit(&g, u"𠮷"_s); }, u"𠮷"_s},
        {[&] { commit(&g, u"𠮷野家"_s); }, u"𠮷野家"_s},
    };
    for (const auto& s : starts) {
      s.start();
      QVERIFY(e.Editing() && w.txtEdit()->cursorPosition() == s.cell.size());
      QTRY_VERIFY(w.txtEdit()->hasFocus());
      // ... and typed on in the overlay editor.
      type(w.txtEdit(), u"🍣"_s);
      QVERIFY(e.BackToGrid());
      QCOMPARE(e.Cell(2, 2), s.cell + u"🍣"_s);
    }
    // Typed in the cell-contents box, mirrored into the editor whole.
    QVERIFY(e.Focus(w.Text1()));
    w.Text1()->moveCursor(QTextCursor::End);
    type(w.Text1(), u"🎌"_s);
    commit(w.Text1(), u"😀x"_s);
    QCOMPARE(w.txtEdit()->text(), u"𠮷野家🍣🎌😀x"_s);
    QVERIFY(e.BackToGrid());
    QCOMPARE(e.Cell(2, 2), u"𠮷野家🍣🎌😀x"_s);
    // The caret after the 1000th unit never splits a character.
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
      w.Paste_Click();
    }) << u"copied"_s;
    QTest::newRow("undo") << Change([](TestMain& w) { w.Undo_Click(); }) << QString();
    QTest::newRow("sort") << Change([](TestMain& w) {
      w.fg2()->SetTextMatrix(1, 2, u"a"_s);
      w.SortDescending_Click();
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
};

QTEST_MAIN(CellEditingTest)
#include "CellEditingTest.moc"
