// Copy, cut, paste and delete of ranges in the main grid.

#include <QtTest>

#include <QClipboard>
#include <QGuiApplication>
#include <tuple>
#include <vector>

#include "mainwindow/RangeClipboard.h"
#include "sheet/GridControl.h"
#include "sheet/Sheet.h"

using namespace quillary;

namespace {

using Cells = std::vector<std::tuple<int, int, std::u16string>>;

// A labelled 6 x 5 sheet whose data cells hold "r.c", then the changes.
Sheet Numbered(const Cells& changes) {
  Sheet sheet(6, 5);
  LabelSheet(sheet);
  for (int r = 1; r < 6; ++r)
    for (int c = 1; c < 5; ++c) sheet.SetText(r, c, DecimalText(r) + u"." + DecimalText(c));
  for (const auto& [r, c, text] : changes) sheet.SetText(r, c, text);
  return sheet;
}

// "rcRC": the current cell at row r, column c, the other corner at row R, column C.
void Select(GridControl& grid, const char* at) {
  grid.SetRow(at[0] - '0');
  grid.SetCol(at[1] - '0');
  grid.SetRowSel(at[2] - '0');
  grid.SetColSel(at[3] - '0');
}

QString Selected(const GridControl& grid) {
  return QStringLiteral("%1%2%3%4").arg(grid.Row()).arg(grid.Col()).arg(grid.RowSel()).arg(grid.ColSel());
}

}  // namespace

class RangeClipboardTest : public QObject {
  Q_OBJECT

 private slots:
  void copyCutPasteAndDelete() {
    QGuiApplication::clipboard()->setText(QStringLiteral("system"));
    const char16_t* rows2and3 = u"1,2,3,3|2.1\t2.2\t2.3\t\r3.1\t3.2\t3.3\t\r";
    const char16_t* rows1to3 = u"1,1,3,3|1.1\t1.2\t1.3\t\r2.1\t2.2\t2.3\t\r3.1\t3.2\t3.3\t\r";
    const Cells cut{{2, 1, u""}, {2, 2, u""}, {2, 3, u""}, {3, 1, u""}, {3, 2, u""}, {3, 3, u""}};
    const struct {
      Cells start;        // over the numbered sheet
      const char* steps;  // c copy, x cut, v paste, d the Delete key, each at the selection "rcRC"
      Cells end;          // over the start
      const char* selection;
      const char16_t* record;  // left, top, right, bottom | clip text
    } cases[] = {
        {{{1, 1, u"a"}, {1, 2, u"b"}, {2, 1, u"c"}, {2, 2, u"d"}}, "c1122 v3232",
         {{3, 2, u"a"}, {3, 3, u"b"}, {4, 2, u"c"}, {4, 3, u"d"}}, "3243", u"1,1,2,2|a\tb\t\rc\td\t\r"},
        // Before any copy there is nothing to paste: no cell, no selection changes.
        {{}, "v3322", {}, "3322", u"0,0,0,0|"},
        // Either way round, Cut empties the same cells; the selection stays.
        {{}, "x2133", cut, "2133", rows2and3},
        {{}, "x3321", cut, "3321", rows2and3},
        // Paste onto a selection made towards the top-left starts at its top-left.
        {{}, "c3321 v5442", {{4, 2, u"2.1"}, {4, 3, u"2.2"}, {4, 4, u"2.3"}, {5, 2, u"3.1"}, {5, 3, u"3.2"}, {5, 4, u"3.3"}},
         "4254", rows2and3},
        // Delete empties the selection either way round and leaves the record alone.
        {{}, "d5443", {{4, 3, u""}, {4, 4, u""}, {5, 3, u""}, {5, 4, u""}}, "5443", u"0,0,0,0|"},
        // The block keeps the copied size, cut off at the last column and row.
        {{}, "c3311 v2323", {{2, 3, u"1.1"}, {2, 4, u"1.2"}, {3, 3, u"2.1"}, {3, 4, u"2.2"}, {4, 3, u"3.1"}, {4, 4, u"3.2"}},
         "2344", rows1to3},
        {{}, "c3311 v5151", {{5, 1, u"1.1"}, {5, 2, u"1.2"}, {5, 3, u"1.3"}}, "5153", rows1to3},
        // A 1 x 1 copy onto ten selected cells writes one cell.
        {{}, "c1111 v1354", {{1, 3, u"1.1"}}, "1313", u"1,1,1,1|1.1\t\r"},
        // Texts are not escaped: a TAB splits into the next cell, a CR into the next row; a LF stays.
        {{{1, 1, u"x\ty"}, {2, 1, u"p\rq"}, {2, 2, u"m\nn"}}, "c1112 v4141 c2131 v4343 c2222 v1414",
         {{4, 1, u"x"}, {4, 2, u"y"}, {4, 3, u"p"}, {5, 3, u"q"}, {1, 4, u"m\nn"}}, "1414", u"2,2,2,2|m\nn\t\r"},
    };
    for (const auto& c : cases) {
      GridControl grid(1, 1);
      grid.SetSheet(Numbered(c.start));
      RangeClipboard clip(grid);
      for (const char* step = c.steps; *step != 0; step += step[5] == ' ' ? 6 : 5) {
        Select(grid, step + 1);
        if (*step == 'c') clip.Copy_Click();
        if (*step == 'x') clip.Cut_Click();
        if (*step == 'v') clip.Paste_Click();
        if (*step == 'd') clip.DelGrid(grid.ColSel(), grid.RowSel(), grid.Col(), grid.Row());
      }
      const ClipRecord& r = clip.record();
      QCOMPARE(QStringLiteral("%1,%2,%3,%4|").arg(r.left).arg(r.top).arg(r.right).arg(r.bottom) + r.text,
               QString::fromUtf16(c.record));
      QCOMPARE(Selected(grid), QString::fromLatin1(c.selection));
      Cells all = c.start;
      all.insert(all.end(), c.end.begin(), c.end.end());
      QVERIFY2(grid.sheet() == Numbered(all), c.steps);
    }
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("system"));
  }
};

QTEST_MAIN(RangeClipboardTest)
#include "RangeClipboardTest.moc"
