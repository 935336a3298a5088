// Copy, cut, paste and delete of ranges in the main grid.

#include <QtTest>

#include <QClipboard>
#include <QGuiApplication>
#include <array>
#include <tuple>

#include "mainwindow/RangeClipboard.h"
#include "sheet/commands/CommandWindow.h"

using namespace quillary;
using namespace quillary::testing;

namespace {

struct Selection {
  int row, col, rowSel, colSel;  // current cell, then the other corner
  bool operator==(const Selection&) const = default;
};

using Changes = std::initializer_list<std::tuple<int, int, std::u16string>>;

Sheet Changed(Sheet sheet, Changes changes) {
  for (const auto& [r, c, text] : changes) sheet.SetText(r, c, text);
  return sheet;
}

// A labelled 6 x 5 sheet with empty data cells.
Sheet Blank(Changes changes = {}) {
  Sheet sheet(6, 5);
  LabelSheet(sheet);
  return Changed(sheet, changes);
}

// The same sheet with data cells holding "r.c".
Sheet Numbered(Changes changes = {}) {
  Sheet sheet = Blank();
  for (int r = 1; r < 6; ++r)
    for (int c = 1; c < 5; ++c) sheet.SetText(r, c, DecimalText(r) + u"." + DecimalText(c));
  return Changed(sheet, changes);
}

void Select(GridControl& grid, Selection s) {
  grid.SetRow(s.row);
  grid.SetCol(s.col);
  grid.SetRowSel(s.rowSel);
  grid.SetColSel(s.colSel);
}

struct Grid {
  explicit Grid(Changes changes = {}) { fg2.SetSheet(Numbered(changes)); }
  Selection Selected() const { return {fg2.Row(), fg2.Col(), fg2.RowSel(), fg2.ColSel()}; }
  void CopyAt(Selection s) {
    Select(fg2, s);
    clip.Copy_Click();
  }
  void PasteAt(Selection s) {
    Select(fg2, s);
    clip.Paste_Click();
  }
  GridControl fg2{1, 1};
  RangeClipboard clip{fg2};
};

}  // namespace

class RangeClipboardTest : public QObject {
  Q_OBJECT

 private slots:
  void copyAndPasteTwoByTwo();
  void reversedSelectionsCoverTheSameCells();
  void pasteKeepsTheCopiedSizeWithinTheSheet();
  void cellTextsAreNotEscaped();
  void cutSurvivesNew();
};

void RangeClipboardTest::copyAndPasteTwoByTwo() {
  QGuiApplication::clipboard()->setText(QStringLiteral("system"));
  Grid t({{1, 1, u"a"}, {1, 2, u"b"}, {2, 1, u"c"}, {2, 2, u"d"}});
  t.CopyAt({1, 1, 2, 2});
  QCOMPARE(t.clip.record().text, QStringLiteral("a\tb\t\rc\td\t\r"));
  QVERIFY(t.fg2.sheet() == Numbered({{1, 1, u"a"}, {1, 2, u"b"}, {2, 1, u"c"}, {2, 2, u"d"}}));
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("system"));

  t.PasteAt({3, 2, 3, 2});
  QVERIFY(t.fg2.sheet() == Numbered({{1, 1, u"a"}, {1, 2, u"b"}, {2, 1, u"c"}, {2, 2, u"d"},  //
                                     {3, 2, u"a"}, {3, 3, u"b"}, {4, 2, u"c"}, {4, 3, u"d"}}));
  QCOMPARE(t.Selected(), (Selection{3, 2, 4, 3}));

  // Before any copy the record is one empty cell: Paste empties the top-left cell.
  Grid fresh;
  fresh.PasteAt({3, 3, 2, 2});
  QVERIFY(fresh.fg2.sheet() == Numbered({{2, 2, u""}}));
  QCOMPARE(fresh.Selected(), (Selection{2, 2, 2, 2}));
}

void RangeClipboardTest::reversedSelectionsCoverTheSameCells() {
  Grid forward, backward;
  forward.CopyAt({2, 1, 3, 3});
  backward.CopyAt({3, 3, 2, 1});
  QCOMPARE(backward.clip.record().text, QStringLiteral("2.1\t2.2\t2.3\t\r3.1\t3.2\t3.3\t\r"));
  QCOMPARE(backward.clip.record().text, forward.clip.record().text);
  const ClipRecord& r = backward.clip.record();
  QCOMPARE((std::array{r.left, r.top, r.right, r.bottom}), (std::array{1, 2, 3, 3}));

  // Cut empties the same cells; the selection stays where it was.
  forward.clip.Cut_Click();
  backward.clip.Cut_Click();
  const Sheet cut = Numbered({{2, 1, u""}, {2, 2, u""}, {2, 3, u""}, {3, 1, u""}, {3, 2, u""}, {3, 3, u""}});
  QVERIFY(forward.fg2.sheet() == cut && backward.fg2.sheet() == cut);
  QCOMPARE(backward.Selected(), (Selection{3, 3, 2, 1}));

  // Paste onto a selection made towards the top-left starts at its top-left.
  backward.PasteAt({5, 4, 4, 2});
  QCOMPARE(backward.fg2.TextMatrix(4, 2), QStringLiteral("2.1"));
  QCOMPARE(backward.fg2.TextMatrix(5, 4), QStringLiteral("3.3"));
  QCOMPARE(backward.Selected(), (Selection{4, 2, 5, 4}));

  // Delete either way round empties the selection, never the labels, and
  // leaves the record alone.
  Grid deleted;
  Select(deleted.fg2, {5, 4, 1, 1});
  deleted.clip.DelGrid(1, 1, 4, 5);
  QVERIFY(deleted.fg2.sheet() == Blank());
  QCOMPARE(deleted.clip.record().text, QString());
}

void RangeClipboardTest::pasteKeepsTheCopiedSizeWithinTheSheet() {
  Grid t;
  t.CopyAt({3, 3, 1, 1});
  // Second-to-last column: two of the three copied columns arrive.
  t.PasteAt({2, 3, 2, 3});
  QCOMPARE(t.Selected(), (Selection{2, 3, 4, 4}));
  QCOMPARE(t.fg2.TextMatrix(2, 4), QStringLiteral("1.2"));
  QCOMPARE(t.fg2.TextMatrix(4, 4), QStringLiteral("3.2"));
  // Last row: only the first copied row arrives; the sheet never grows.
  t.PasteAt({5, 1, 5, 1});
  QCOMPARE(t.Selected(), (Selection{5, 1, 5, 3}));
  QCOMPARE(t.fg2.TextMatrix(5, 3), QStringLiteral("1.3"));
  QCOMPARE(t.fg2.Rows(), 6);
  QCOMPARE(t.fg2.Cols(), 5);

  // A 1 x 1 copy onto ten selected cells writes one cell.
  Grid one;
  one.CopyAt({1, 1, 1, 1});
  one.PasteAt({1, 3, 5, 4});
  QVERIFY(one.fg2.sheet() == Numbered({{1, 3, u"1.1"}}));
  QCOMPARE(one.Selected(), (Selection{1, 3, 1, 3}));
}

void RangeClipboardTest::cellTextsAreNotEscaped() {
  Grid t({{1, 1, u"x\ty"}, {2, 1, u"p\rq"}, {2, 2, u"m\nn"}});
  // A TAB splits into the next cell, a CR into the next row, inside the block.
  t.CopyAt({1, 1, 1, 2});
  QCOMPARE(t.clip.record().text, QStringLiteral("x\ty\t1.2\t\r"));
  t.PasteAt({4, 1, 4, 1});
  t.CopyAt({2, 1, 3, 1});
  t.PasteAt({4, 3, 4, 3});
  // A LF is carried unchanged.
  t.CopyAt({2, 2, 2, 2});
  t.PasteAt({1, 4, 1, 4});
  QVERIFY(t.fg2.sheet() == Numbered({{1, 1, u"x\ty"}, {2, 1, u"p\rq"}, {2, 2, u"m\nn"},  //
                                     {4, 1, u"x"}, {4, 2, u"y"}, {4, 3, u"p"}, {5, 3, u"q"}, {1, 4, u"m\nn"}}));
}

void RangeClipboardTest::cutSurvivesNew() {
  CommandWindow window;
  window.Load(Numbered());
  RangeClipboard clip(window.fg2);
  Select(window.fg2, {1, 2, 2, 3});
  clip.Cut_Click();
  window.messageBox.Answer(MsgResult::No);
  window.commands.New_Click();
  Select(window.fg2, {4, 1, 4, 1});
  clip.Paste_Click();
  QVERIFY(window.fg2.sheet() == Blank({{4, 1, u"1.2"}, {4, 2, u"1.3"}, {5, 1, u"2.2"}, {5, 2, u"2.3"}}));
}

QTEST_MAIN(RangeClipboardTest)
#include "RangeClipboardTest.moc"
