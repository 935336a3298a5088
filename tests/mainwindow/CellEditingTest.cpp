// In-cell editing: starting an edit, the keys inside the overlay editor, the
// mirror with the cell-contents box, and the commits.

#include <QtTest>

#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>

#include "mainwindow/CellContentsBox.h"
#include "MainWindowHarness.h"
#include "sheet/GridControl.h"
#include "sheet/Twips.h"

using namespace quillary;
using namespace quillary::testing;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// A window shown and active, with the grid focused on cell (row, col)
// holding text.
struct EditingWindow : MainWindowHarness {
  bool Start(int row, int col, const QString& text = QString()) {
    if (!ShowActive()) return false;
    fg2().SetTextMatrix(row, col, text);
    fg2().SetRow(row);
    fg2().SetCol(col);
    fg2().setFocus();
    return QTest::qWaitFor([this] { return fg2().hasFocus(); });
  }
  GridControl& fg2() { return *window.fg2; }
  QLineEdit& txtEdit() { return *window.txtEdit; }
  CellContentsBox& Text1() { return *window.Text1; }
  bool Editing() { return !txtEdit().isHidden(); }
  QString Cell(int row, int col) { return fg2().TextMatrix(row, col); }
};

QString LongText(int length) {
  QString text;
  text.reserve(length);
  for (int i = 0; i < length; ++i) text += (i % 97 == 96) ? QChar(u'|') : QChar(u'あ' + i % 40);
  return text;
}

}  // namespace

class CellEditingTest : public QObject {
  Q_OBJECT

 private slots:
  void typingACharacterReplacesTheText();
  void controlCharactersOpenTheTextUnchanged();
  void theEditorLiesOverTheCurrentCell();
  void enterTypesTheMarker();
  void lineBreaksInTheBoxBecomeMarkers();
  void loneCrAndLfReachTheCellUnchanged();
  void keysMoveAfterTheCommitAndStopAtTheEdges();
  void escapeDropsTheEditUntilTheBoxBringsItBack();
  void leavingOrScrollingCommitsToTheOldCell();
  void theMirrorStopsAfterOnePassAndKeepsTheCaret();
  void aVeryLongTextPassesThroughBothBoxes();
};

void CellEditingTest::typingACharacterReplacesTheText() {
  EditingWindow e;
  QVERIFY(e.Start(2, 3, QStringLiteral("xyz")));
  QCOMPARE(e.Text1().Text(), QStringLiteral("xyz"));
  QTest::keyClick(&e.fg2(), Qt::Key_A);
  QVERIFY(e.Editing());
  QCOMPARE(e.txtEdit().text(), QStringLiteral("a"));
  QCOMPARE(e.txtEdit().cursorPosition(), 1);
  QTRY_VERIFY(e.txtEdit().hasFocus());
  QCOMPARE(e.Cell(2, 3), QStringLiteral("xyz"));
  QCOMPARE(e.Text1().Text(), QStringLiteral("a"));
  e.window.CommitCellEdit();
  QCOMPARE(e.Cell(2, 3), QStringLiteral("a"));
  QVERIFY(!e.Editing());

  // A character from U+8000 up arrives with a negative code.
  e.window.fg2_KeyPress(static_cast<std::int16_t>(u'ｶ'));
  QCOMPARE(e.txtEdit().text(), QStringLiteral("ｶ"));
  e.window.CommitCellEdit();
  e.window.fg2_KeyPress(static_cast<std::int16_t>(u'漢'));
  QCOMPARE(e.txtEdit().text(), QStringLiteral("漢"));
  e.window.CommitCellEdit();

  // An input method's commit starts the edit with all it typed.
  emit e.fg2().KeyPressText(QStringLiteral("日本語"));
  QCOMPARE(e.txtEdit().text(), QStringLiteral("日本語"));
  QCOMPARE(e.txtEdit().cursorPosition(), 3);
  e.window.CommitCellEdit();
  QCOMPARE(e.Cell(2, 3), QStringLiteral("日本語"));
}

void CellEditingTest::controlCharactersOpenTheTextUnchanged() {
  EditingWindow e;
  QVERIFY(e.Start(3, 2, QStringLiteral("xyz")));
  for (const int code : {32, 13, 8, 27, 1, 17, 19}) {
    e.window.fg2_KeyPress(code);
    QVERIFY(e.Editing());
    QCOMPARE(e.txtEdit().text(), QStringLiteral("xyz"));
    QCOMPARE(e.txtEdit().cursorPosition(), 3);
    QTest::keyClick(&e.txtEdit(), Qt::Key_Escape);
    QVERIFY(!e.Editing());
    QCOMPARE(e.Cell(3, 2), QStringLiteral("xyz"));
  }
  // The same from the keyboard and from a double click.
  QTest::keyClick(&e.fg2(), Qt::Key_Space);
  QCOMPARE(e.txtEdit().text(), QStringLiteral("xyz"));
  QTest::keyClick(&e.txtEdit(), Qt::Key_Escape);
  emit e.fg2().DblClick();
  QCOMPARE(e.txtEdit().text(), QStringLiteral("xyz"));
  QCOMPARE(e.txtEdit().cursorPosition(), 3);
  QTest::keyClick(&e.txtEdit(), Qt::Key_Escape);

  // Ctrl+R opens nothing.
  e.window.fg2_KeyPress(18);
  QVERIFY(!e.Editing());
  QTest::keyClick(&e.fg2(), Qt::Key_R, Qt::ControlModifier);
  QVERIFY(!e.Editing());

  // After the 1000th character of a longer text.
  const QString longer = LongText(1500);
  e.fg2().SetText(longer);
  e.window.fg2_KeyPress(32);
  QCOMPARE(e.txtEdit().text(), longer);
  QCOMPARE(e.txtEdit().cursorPosition(), 1000);
}

void CellEditingTest::theEditorLiesOverTheCurrentCell() {
  EditingWindow e;
  QVERIFY(e.Start(4, 3, QStringLiteral("q")));
  e.window.fg2_KeyPress(32);
  Main& w = e.window;
  const QRect expected(w.fg2->x() + TwipsToPixelsX(w.fg2->CellLeft(), &w),
                       w.fg2->y() + TwipsToPixelsY(w.fg2->CellTop(), &w),
                       TwipsToPixelsX(w.fg2->CellWidth() + 30, &w), TwipsToPixelsY(w.fg2->CellHeight(), &w));
  QCOMPARE(e.txtEdit().geometry(), expected);
  QCOMPARE(e.txtEdit().parentWidget(), w.fg2->parentWidget());
  QCOMPARE(e.txtEdit().font(), w.fg2->font());
}

void CellEditingTest::enterTypesTheMarker() {
  EditingWindow e;
  QVERIFY(e.Start(2, 2, QStringLiteral("ab")));
  QTest::keyClick(&e.fg2(), Qt::Key_Space);
  QTest::keyClick(&e.txtEdit(), Qt::Key_Return);
  QTest::keyClicks(&e.txtEdit(), QStringLiteral("cd"));
  QCOMPARE(e.txtEdit().text(), QStringLiteral("ab|cd"));
  QVERIFY(e.Editing());
  QCOMPARE(e.Text1().Text(), QStringLiteral("ab") + kCrLf + QStringLiteral("cd"));
  QCOMPARE(e.Text1().blockCount(), 2);
  QCOMPARE(e.fg2().Col(), 2);
  QTest::keyClick(&e.txtEdit(), Qt::Key_Escape);
  QCOMPARE(e.Cell(2, 2), QStringLiteral("ab"));
}

void CellEditingTest::lineBreaksInTheBoxBecomeMarkers() {
  EditingWindow e;
  QVERIFY(e.Start(3, 3));
  e.Text1().setFocus();
  QTRY_VERIFY(e.Text1().hasFocus());
  // Focus in the box shows the editor over the cell, the focus staying put.
  QVERIFY(e.Editing());
  QVERIFY(e.Text1().hasFocus());
  QTest::keyClicks(&e.Text1(), QStringLiteral("ab"));
  QTest::keyClick(&e.Text1(), Qt::Key_Return);
  QTest::keyClicks(&e.Text1(), QStringLiteral("cd"));
  QCOMPARE(e.Text1().Text(), QStringLiteral("ab") + kCrLf + QStringLiteral("cd"));
  QCOMPARE(e.txtEdit().text(), QStringLiteral("ab|cd"));
  QCOMPARE(e.Text1().textCursor().position(), 5);

  e.fg2().setFocus();
  QTRY_VERIFY(!e.Editing());
  QCOMPARE(e.Cell(3, 3), QStringLiteral("ab|cd"));

  // A cell holding CR LF, as a file may bring it, shows it as a line break;
  // an edit in the box stores the marker in its place.
  e.fg2().SetTextMatrix(4, 3, QStringLiteral("x") + kCrLf + QStringLiteral("y"));
  e.fg2().SetRow(4);
  QCOMPARE(e.Text1().blockCount(), 2);
  QCOMPARE(e.txtEdit().text(), QStringLiteral("x|y"));
  e.Text1().setFocus();
  QTRY_VERIFY(e.Text1().hasFocus());
  e.Text1().moveCursor(QTextCursor::End);
  QTest::keyClick(&e.Text1(), Qt::Key_Z);
  e.fg2().setFocus();
  QTRY_VERIFY(!e.Editing());
  QCOMPARE(e.Cell(4, 3), QStringLiteral("x|yz"));
}

void CellEditingTest::loneCrAndLfReachTheCellUnchanged() {
  EditingWindow e;
  const QString stored = QStringLiteral("p\rq\ns|t\r");
  QVERIFY(e.Start(2, 4, stored));
  QCOMPARE(e.Text1().Text(), QStringLiteral("p\rq\ns") + kCrLf + QStringLiteral("t\r"));
  QCOMPARE(e.txtEdit().text(), stored);
  e.Text1().setFocus();
  QTRY_VERIFY(e.Text1().hasFocus());
  e.Text1().moveCursor(QTextCursor::End);
  QTest::keyClicks(&e.Text1(), QStringLiteral("!"));
  e.fg2().setFocus();
  QTRY_VERIFY(!e.Editing());
  QCOMPARE(e.Cell(2, 4), stored + u'!');

  // The box's own form and back, for every mix of line ends.
  for (const QString& text : {QStringLiteral("a\r\nb"), QStringLiteral("\r\r\n\n"), QStringLiteral("\n\r"),
                              QStringLiteral("\r\n\r\n"), QStringLiteral("x\u00a0y"), QString()})
    QCOMPARE(CellContentsBox::FromEditorText(CellContentsBox::ToEditorText(text)), text);
}

void CellEditingTest::keysMoveAfterTheCommitAndStopAtTheEdges() {
  EditingWindow e;
  QVERIFY(e.Start(2, 2, QStringLiteral("old")));
  const int lastRow = e.fg2().Rows() - 1;
  const int lastCol = e.fg2().Cols() - 1;

  struct Case {
    int row, col;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int toRow, toCol;
  };
  const std::vector<Case> cases = {
      {5, 2, Qt::Key_Down, {}, 6, 2},
      {lastRow, 2, Qt::Key_Down, {}, lastRow, 2},
      {5, 2, Qt::Key_Up, {}, 4, 2},
      {1, 2, Qt::Key_Up, {}, 1, 2},
      {5, 2, Qt::Key_Tab, {}, 5, 3},
      {5, lastCol, Qt::Key_Tab, {}, 5, lastCol},
      {5, 2, Qt::Key_Return, Qt::ControlModifier, 5, 3},
      {5, lastCol, Qt::Key_Return, Qt::ControlModifier, 5, lastCol},
  };
  for (const Case& c : cases) {
    e.fg2().SetRow(c.row);
    e.fg2().SetCol(c.col);
    e.fg2().SetTextMatrix(c.toRow, c.toCol, QStringLiteral("target"));
    if (c.toRow != c.row || c.toCol != c.col) e.fg2().SetTextMatrix(c.row, c.col, QStringLiteral("source"));
    QTest::keyClick(&e.fg2(), Qt::Key_N);
    QTest::keyClicks(&e.txtEdit(), QStringLiteral("ew"));
    QTest::keyClick(&e.txtEdit(), c.key, c.modifiers);
    const QString where = QStringLiteral("from %1,%2").arg(c.row).arg(c.col);
    QVERIFY2(!e.Editing(), qPrintable(where));
    QCOMPARE(e.Cell(c.row, c.col), QStringLiteral("new"));
    if (c.toRow != c.row || c.toCol != c.col) QCOMPARE(e.Cell(c.toRow, c.toCol), QStringLiteral("target"));
    QCOMPARE(e.fg2().Row(), c.toRow);
    QCOMPARE(e.fg2().Col(), c.toCol);
    QTRY_VERIFY2(e.fg2().hasFocus(), qPrintable(where));
    // The box shows the cell that is now current; the editor stays closed.
    QCOMPARE(e.Text1().Text(), e.fg2().Text());
    QCOMPARE(e.window.EditAnchorRow(), c.toRow);
    QCOMPARE(e.window.EditAnchorCol(), c.toCol);
  }
}

void CellEditingTest::escapeDropsTheEditUntilTheBoxBringsItBack() {
  EditingWindow e;
  QVERIFY(e.Start(3, 4, QStringLiteral("old")));
  QTest::keyClick(&e.fg2(), Qt::Key_N);
  QTest::keyClicks(&e.txtEdit(), QStringLiteral("ew"));
  QTest::keyClick(&e.txtEdit(), Qt::Key_Escape);
  QVERIFY(!e.Editing());
  QCOMPARE(e.Cell(3, 4), QStringLiteral("old"));
  QTRY_VERIFY(e.fg2().hasFocus());
  QCOMPARE(e.Text1().Text(), QStringLiteral("new"));

  // Into the box and back into the grid: the dropped text is written.
  e.Text1().setFocus();
  QTRY_VERIFY(e.Text1().hasFocus());
  QVERIFY(e.Editing());
  e.fg2().setFocus();
  QTRY_VERIFY(e.fg2().hasFocus());
  QVERIFY(!e.Editing());
  QCOMPARE(e.Cell(3, 4), QStringLiteral("new"));
}

void CellEditingTest::leavingOrScrollingCommitsToTheOldCell() {
  EditingWindow e;
  QVERIFY(e.Start(2, 2, QStringLiteral("two")));
  e.fg2().SetTextMatrix(3, 2, QStringLiteral("three"));
  QTest::keyClick(&e.fg2(), Qt::Key_K);
  e.fg2().SetRow(3);
  QCOMPARE(e.Cell(2, 2), QStringLiteral("k"));
  QCOMPARE(e.Cell(3, 2), QStringLiteral("three"));
  QCOMPARE(e.Text1().Text(), QStringLiteral("three"));
  QVERIFY(!e.Editing());

  // Save and Open commit through CommitCellEdit, from either box.
  e.Text1().setFocus();
  QTRY_VERIFY(e.Text1().hasFocus());
  QTest::keyClicks(&e.Text1(), QStringLiteral("1"));
  e.window.CommitCellEdit();
  QCOMPARE(e.Cell(3, 2), QStringLiteral("1three"));
  QVERIFY(!e.Editing());

  // Scrolling the grid while the editor is shown.
  e.fg2().SetRows(300);
  e.fg2().setFocus();
  QTest::keyClick(&e.fg2(), Qt::Key_S);
  QTRY_VERIFY(e.txtEdit().hasFocus());
  QScrollBar* bar = e.fg2().verticalScrollBar();
  QVERIFY(bar->maximum() > 0);
  bar->setValue(bar->maximum());
  QTRY_VERIFY(!e.Editing());
  QCOMPARE(e.Cell(3, 2), QStringLiteral("s"));
  QTRY_VERIFY(e.fg2().hasFocus());
}

void CellEditingTest::theMirrorStopsAfterOnePassAndKeepsTheCaret() {
  EditingWindow e;
  QVERIFY(e.Start(2, 2, QStringLiteral("abc")));
  QTest::keyClick(&e.fg2(), Qt::Key_Space);
  e.txtEdit().setCursorPosition(1);
  QSignalSpy boxChanges(&e.Text1(), &QPlainTextEdit::textChanged);
  QSignalSpy editorChanges(&e.txtEdit(), &QLineEdit::textChanged);
  QTest::keyClicks(&e.txtEdit(), QStringLiteral("X"));
  QCOMPARE(e.txtEdit().text(), QStringLiteral("aXbc"));
  QCOMPARE(e.txtEdit().cursorPosition(), 2);
  QCOMPARE(e.Text1().Text(), QStringLiteral("aXbc"));
  QCOMPARE(editorChanges.count(), 1);
  QCOMPARE(boxChanges.count(), 1);

  // Typed in the box, "|" stays as typed there: the box is never rewritten
  // while the user types in it.
  e.Text1().setFocus();
  QTRY_VERIFY(e.Text1().hasFocus());
  e.Text1().moveCursor(QTextCursor::End);
  boxChanges.clear();
  editorChanges.clear();
  QTest::keyClicks(&e.Text1(), QStringLiteral("|"));
  QCOMPARE(e.Text1().Text(), QStringLiteral("aXbc|"));
  QCOMPARE(e.Text1().textCursor().position(), 5);
  QCOMPARE(e.txtEdit().text(), QStringLiteral("aXbc|"));
  QCOMPARE(boxChanges.count(), 1);
  QCOMPARE(editorChanges.count(), 1);
}

void CellEditingTest::aVeryLongTextPassesThroughBothBoxes() {
  EditingWindow e;
  const QString text = LongText(100000);
  QVERIFY(e.Start(2, 2, text));
  QString shown = text;
  shown.replace(u'|', kCrLf);
  QCOMPARE(e.Text1().Text(), shown);
  QCOMPARE(e.txtEdit().text(), text);

  QTest::keyClick(&e.fg2(), Qt::Key_Space);
  QCOMPARE(e.txtEdit().text().size(), text.size());
  QCOMPARE(e.txtEdit().cursorPosition(), 1000);
  QTest::keyClicks(&e.txtEdit(), QStringLiteral("Z"));
  e.Text1().setFocus();
  QTRY_VERIFY(e.Text1().hasFocus());
  e.Text1().moveCursor(QTextCursor::End);
  QTest::keyClicks(&e.Text1(), QStringLiteral("end"));
  e.fg2().setFocus();
  QTRY_VERIFY(!e.Editing());
  const QString expected = text.left(1000) + u'Z' + text.mid(1000) + QStringLiteral("end");
  QCOMPARE(e.Cell(2, 2).size(), expected.size());
  QCOMPARE(e.Cell(2, 2), expected);
}

QTEST_MAIN(CellEditingTest)
#include "CellEditingTest.moc"
