// Copy, cut, paste and delete of ranges in the main grid.

#include <QtTest>

#include <QClipboard>
#include <QGuiApplication>
#include <algorithm>
#include <tuple>
#include <vector>

#include "fakes/FakeMessageBox.h"
#include "mainwindow/RangeClipboard.h"
#include "sheet/Sheet.h"
#include "sheet/TabText.h"
#include "sheet/commands/InCellEditor.h"
#include "sheet/document/SheetDocument.h"
#include "sheet/grid/GridControl.h"

using namespace quillary;
using quillary::testing::FakeMessageBox;
using namespace Qt::StringLiterals;

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

// The current cell and the selection's other corner.
// The range operations commit no edit here: there is none.
struct NoEditor : InCellEditor {
  void CommitCellEdit() override {}
  void ShowCurrentCell() override {}
  void FocusGrid() override {}
};

struct Corners {
  int row, col, rowSel, colSel;
};

// Outside: another program puts text on the system clipboard.
enum class Op { Copy, Cut, Paste, Delete, Outside };

const QString kOutside = u"EXT1\tEXT2"_s;

// A command chosen with the selection at `at`.
struct Step {
  Op op;
  Corners at;
};

struct Record {
  int left, top, right, bottom;
  const char16_t* text;
};

struct Case {
  Cells start;  // over the numbered sheet
  std::vector<Step> steps;
  Cells end;  // over the start
  Corners selection;
  Record record;
};

void Select(GridControl& grid, Corners at) {
  grid.SetRow(at.row);
  grid.SetCol(at.col);
  grid.SetRowSel(at.rowSel);
  grid.SetColSel(at.colSel);
}

// What the menu, toolbar and keys do: the range as the selection is now.
void Run(RangeClipboard& clip, const GridControl& grid, Op op) {
  const int c1 = grid.ColSel(), r1 = grid.RowSel(), c2 = grid.Col(), r2 = grid.Row();
  switch (op) {
    case Op::Copy: return clip.CopyGrid(c1, r1, c2, r2);
    case Op::Cut: return clip.CutGrid(c1, r1, c2, r2);
    case Op::Paste: return clip.PastGrid();
    case Op::Delete: return clip.DelGrid(c1, r1, c2, r2);
    case Op::Outside: return QGuiApplication::clipboard()->setText(kOutside);
  }
}

}  // namespace

Q_DECLARE_METATYPE(Case)
Q_DECLARE_METATYPE(Corners)
Q_DECLARE_METATYPE(Cells)

class RangeClipboardTest : public QObject {
  Q_OBJECT

 private slots:
  void copyCutPasteAndDelete_data() {
    QTest::addColumn<Case>("c");
    const Record rows2and3{1, 2, 3, 3, u"2.1\t2.2\t2.3\t\r3.1\t3.2\t3.3\t\r"};
    const Record rows1to3{1, 1, 3, 3, u"1.1\t1.2\t1.3\t\r2.1\t2.2\t2.3\t\r3.1\t3.2\t3.3\t\r"};
    const Record none{0, 0, 0, 0, u""};
    const Cells cut{{2, 1, u""}, {2, 2, u""}, {2, 3, u""}, {3, 1, u""}, {3, 2, u""}, {3, 3, u""}};
    QTest::newRow("paste before any copy takes another program's text")
        << Case{{}, {{Op::Paste, {3, 3, 2, 2}}}, {{2, 2, u"system"}}, {2, 2, 2, 2}, none};
    // Paste takes what was copied last, here or in another program.
    const Cells ext{{4, 1, u"EXT1"}, {4, 2, u"EXT2"}};
    QTest::newRow("another program copied after the copy here")
        << Case{{},
                {{Op::Copy, {1, 1, 1, 1}}, {Op::Outside, {1, 1, 1, 1}}, {Op::Paste, {4, 1, 4, 1}}},
                ext,
                {4, 1, 4, 2},
                {1, 1, 1, 1, u"1.1\t\r"}};
    QTest::newRow("copied here after another program")
        << Case{{},
                {{Op::Outside, {1, 1, 1, 1}}, {Op::Copy, {1, 1, 1, 1}}, {Op::Paste, {4, 1, 4, 1}}},
                {{4, 1, u"1.1"}},
                {4, 1, 4, 1},
                {1, 1, 1, 1, u"1.1\t\r"}};
    QTest::newRow("cut selected towards the bottom right")
        << Case{{}, {{Op::Cut, {2, 1, 3, 3}}}, cut, {2, 1, 3, 3}, rows2and3};
    QTest::newRow("paste starts at the top left of a selection made backwards")
        << Case{{},
                {{Op::Copy, {3, 3, 2, 1}}, {Op::Paste, {5, 4, 4, 2}}},
                {{4, 2, u"2.1"}, {4, 3, u"2.2"}, {4, 4, u"2.3"}, {5, 2, u"3.1"}, {5, 3, u"3.2"}, {5, 4, u"3.3"}},
                {4, 2, 5, 4},
                rows2and3};
    QTest::newRow("delete empties the selection and leaves the record") << Case{
        {}, {{Op::Delete, {5, 4, 4, 3}}}, {{4, 3, u""}, {4, 4, u""}, {5, 3, u""}, {5, 4, u""}}, {5, 4, 4, 3}, none};
    QTest::newRow("paste is cut off at the last column")
        << Case{{},
                {{Op::Copy, {3, 3, 1, 1}}, {Op::Paste, {2, 3, 2, 3}}},
                {{2, 3, u"1.1"}, {2, 4, u"1.2"}, {3, 3, u"2.1"}, {3, 4, u"2.2"}, {4, 3, u"3.1"}, {4, 4, u"3.2"}},
                {2, 3, 4, 4},
                rows1to3};
    QTest::newRow("paste is cut off at the last row") << Case{{},
                                                              {{Op::Copy, {3, 3, 1, 1}}, {Op::Paste, {5, 1, 5, 1}}},
                                                              {{5, 1, u"1.1"}, {5, 2, u"1.2"}, {5, 3, u"1.3"}},
                                                              {5, 1, 5, 3},
                                                              rows1to3};
    QTest::newRow("a 1 x 1 copy onto ten cells writes one")
        << Case{{},
                {{Op::Copy, {1, 1, 1, 1}}, {Op::Paste, {1, 3, 5, 4}}},
                {{1, 3, u"1.1"}},
                {1, 3, 1, 3},
                {1, 1, 1, 1, u"1.1\t\r"}};
    // Texts are not escaped: a TAB splits into the next cell, a CR into the
    // next row; a LF stays.
    QTest::newRow("texts are not escaped")
        << Case{{{1, 1, u"x\ty"}, {2, 1, u"p\rq"}, {2, 2, u"m\nn"}},
                {{Op::Copy, {1, 1, 1, 2}},
                 {Op::Paste, {4, 1, 4, 1}},
                 {Op::Copy, {2, 1, 3, 1}},
                 {Op::Paste, {4, 3, 4, 3}},
                 {Op::Copy, {2, 2, 2, 2}},
                 {Op::Paste, {1, 4, 1, 4}}},
                {{4, 1, u"x"}, {4, 2, u"y"}, {4, 3, u"p"}, {5, 3, u"q"}, {1, 4, u"m\nn"}},
                {1, 4, 1, 4},
                {2, 2, 2, 2, u"m\nn\t\r"}};
  }

  void copyCutPasteAndDelete() {
    QFETCH(Case, c);
    QGuiApplication::clipboard()->setText(QStringLiteral("system"));
    GridControl grid(1, 1);
    grid.SetSheet(Numbered(c.start));
    FakeMessageBox messageBox;
    NoEditor editor;
    RangeClipboard clip(grid, editor, messageBox);
    for (const Step& step : c.steps) {
      Select(grid, step.at);
      Run(clip, grid, step.op);
    }
    const ClipRecord& r = clip.record();
    QCOMPARE((QList<int>{r.left, r.top, r.right, r.bottom}),
             (QList<int>{c.record.left, c.record.top, c.record.right, c.record.bottom}));
    QCOMPARE(r.text, QString::fromUtf16(c.record.text));
    QCOMPARE((QList<int>{grid.Row(), grid.Col(), grid.RowSel(), grid.ColSel()}),
             (QList<int>{c.selection.row, c.selection.col, c.selection.rowSel, c.selection.colSel}));
    Cells all = c.start;
    all.insert(all.end(), c.end.begin(), c.end.end());
    QVERIFY(grid.sheet() == Numbered(all));
    // Copy and Cut also leave the range on the system clipboard as
    // tab-separated text, one line per row; Paste and Delete leave it alone.
    const auto last = std::find_if(c.steps.rbegin(), c.steps.rend(),
                                   [](const Step& s) { return s.op != Op::Paste && s.op != Op::Delete; });
    const QString system = QGuiApplication::clipboard()->text();
    if (last == c.steps.rend()) {
      QCOMPARE(system, QStringLiteral("system"));
    } else if (last->op == Op::Outside) {
      QCOMPARE(system, kOutside);
    } else {
      QCOMPARE(static_cast<int>(FromTabText(system.toStdU16String()).size()), r.bottom - r.top + 1);
    }
  }

  void pasteFromOtherProgramsIsCutAsPasteIsAndOneStep_data() {
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<Corners>("at");
    QTest::addColumn<Cells>("end");
    QTest::addColumn<Corners>("selection");
    QTest::newRow("a block with a quoted line break")
        << u"x\ty\n\"p\r\nq\"\tz\n"_s << Corners{4, 3, 4, 3}
        << Cells{{4, 3, u"x"}, {4, 4, u"y"}, {5, 3, u"p|q"}, {5, 4, u"z"}} << Corners{4, 3, 5, 4};
    QTest::newRow("from the top left of a selection made backwards")
        << u"m"_s << Corners{3, 3, 2, 2} << Cells{{2, 2, u"m"}} << Corners{2, 2, 2, 2};
    QTest::newRow("nothing on the clipboard") << QString() << Corners{2, 2, 3, 3} << Cells{} << Corners{2, 2, 3, 3};
  }

  void pasteFromOtherProgramsIsCutAsPasteIsAndOneStep() {
    QFETCH(QString, clipboard);
    QFETCH(Corners, at);
    QFETCH(Cells, end);
    QFETCH(Corners, selection);
    QGuiApplication::clipboard()->setText(clipboard);
    GridControl grid(1, 1);
    grid.SetSheet(Numbered({}));
    FakeMessageBox messageBox;
    NoEditor editor;
    RangeClipboard clip(grid, editor, messageBox);
    Select(grid, at);
    clip.PasteTabText();
    QVERIFY(grid.sheet() == Numbered(end));
    QCOMPARE((QList<int>{grid.Row(), grid.Col(), grid.RowSel(), grid.ColSel()}),
             (QList<int>{selection.row, selection.col, selection.rowSel, selection.colSel}));
    QCOMPARE(grid.document().HistorySteps(), end.empty() ? 0 : 1);
    QCOMPARE(clip.record().text, QString());  // the clip record is not touched
    QVERIFY(messageBox.calls.empty());
  }

  // Past the sheet's edge the sheet grows to take the whole block, in the
  // same step; past the sheet's limits what does not fit is left out and told.
  void pasteFromOtherProgramsGrowsTheSheet_data() {
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("fields");
    QTest::addColumn<QList<int>>("shape");  // rows, cols after the paste
    QTest::addColumn<QString>("corner");    // the last cell of the sheet
    QTest::addColumn<QString>("told");
    QTest::newRow("a 4 x 4 block at the bottom-right cell") << 5 << 4 << QList<int>{9, 8} << u"z"_s << QString();
    const QString leftOut =
        u"シートの大きさの上限（レコードは 1048576 件、フィールドは 16384 個までです）を超えるため、張り付けるデータのうち %1は張り付けられませんでした。"_s;
    QTest::newRow("up to the last record") << kMaxRecords - 3 << 4 << QList<int>{kMaxRows, 8} << u"z"_s << QString();
    QTest::newRow("one record past the limit")
        << kMaxRecords - 2 << 4 << QList<int>{kMaxRows, 8} << u"8"_s << leftOut.arg(u"1 行"_s);
    QTest::newRow("up to the last field") << 2 << kMaxFields - 3 << QList<int>{6, kMaxCols} << u"z"_s << QString();
    QTest::newRow("two fields past the limit")
        << 2 << kMaxFields - 1 << QList<int>{6, kMaxCols} << u"x"_s << leftOut.arg(u"2 列"_s);
  }

  void pasteFromOtherProgramsGrowsTheSheet() {
    QFETCH(int, records);
    QFETCH(int, fields);
    QFETCH(QList<int>, shape);
    QFETCH(QString, corner);
    QFETCH(QString, told);
    QGuiApplication::clipboard()->setText(u"a\tb\tc\td\n1\t2\t3\t4\n5\t6\t7\t8\nw\tx\ty\tz\n"_s);
    GridControl grid(1, 1);
    Sheet sheet(records + 1, fields + 1);
    LabelSheet(sheet);
    grid.SetSheet(sheet);
    FakeMessageBox messageBox;
    NoEditor editor;
    RangeClipboard clip(grid, editor, messageBox);
    Select(grid, {records, fields, records, fields});
    clip.PasteTabText();
    QCOMPARE((QList<int>{grid.Rows(), grid.Cols()}), shape);
    QCOMPARE(grid.TextMatrix(records, fields), u"a"_s);
    QCOMPARE(grid.TextMatrix(grid.Rows() - 1, grid.Cols() - 1), corner);
    // The new rows and columns are labelled and named.
    QCOMPARE(grid.TextMatrix(grid.Rows() - 1, 0), QString::number(grid.Rows() - 1));
    QCOMPARE(grid.TextMatrix(0, grid.Cols() - 1), u"フィールド %1"_s.arg(grid.Cols() - 1));
    QCOMPARE(messageBox.TakePrompts(), told.isEmpty() ? QStringList() : QStringList{told});
    grid.document().Undo();
    QVERIFY(grid.sheet() == sheet);
  }
};

QTEST_MAIN(RangeClipboardTest)
#include "RangeClipboardTest.moc"
