// The sheet document: every kind of change refused without the memory for
// it, undone and redone; the modified state along the history, fresh
// histories, and the bound on the history; the grid following Undo of a
// size change.

#include <QtTest>

#include <functional>
#include <random>

#include <QCollator>

#include "sheet/SheetEdits.h"
#include "sheet/document/JapaneseOrder.h"
#include "sheet/document/SheetDocument.h"
#include "sheet/document/SheetSearch.h"
#include "sheet/grid/GridControl.h"
#include "support/SheetOf.h"

using namespace quillary;
using namespace quillary::testing;
using namespace Qt::StringLiterals;

namespace {

using Change = std::function<void(GridControl&)>;

// One user action as the commands make it, through the grid's setters.
struct Action {
  Change change;
};

struct NoMemory final : MemoryBudget {
  bool Affords(std::uint64_t) const override { return false; }
};

// The document's history flags by name, so a failure says which differs.
QStringList Flags(const SheetDocument& document) {
  QStringList flags;
  if (document.CanUndo()) flags << u"can undo"_s;
  if (document.CanRedo()) flags << u"can redo"_s;
  if (document.CheckModify()) flags << u"modified"_s;
  return flags;
}

}  // namespace

Q_DECLARE_METATYPE(Action)

class SheetDocumentTest : public QObject {
  Q_OBJECT

 private slots:
  void eachChangeIsOneStepUndoneAndRedone_data() {
    QTest::addColumn<Action>("action");
    QTest::newRow("a cell committed") << Action{[](GridControl& g) { g.SetCellText(2, 3, u"new"); }};
    QTest::newRow("a paste over the whole sheet") << Action{[](GridControl& g) {
      g.SetRow(1);
      g.SetCol(1);
      g.SetRowSel(g.Rows() - 1);
      g.SetColSel(g.Cols() - 1);
      g.SetClip(u"a\tb\tc\t\rd\te\tf\t\r"_s.repeated(3));
    }};
    QTest::newRow("a smaller sheet") << Action{[](GridControl& g) { g.Resize(3, 2); }};
    QTest::newRow("a larger sheet") << Action{[](GridControl& g) { g.Resize(9, 7); }};
    QTest::newRow("every cell cleared") << Action{[](GridControl& g) { g.Clear(); }};
    QTest::newRow("cells here and there") << Action{[](GridControl& g) {
      g.document().SetCells(0, [] {
        return std::vector<PlacedText>{{1, 1, SharedText(u"x")}, {5, 4, SharedText(u"y")}, {9, 9, SharedText(u"z")}};
      });
    }};
    QTest::newRow("a replace-all") << Action{[](GridControl& g) {
      long long count = 0;
      AllReplaced(g.sheet(), u"x"_s, SearchOptions{u"1"_s}).ApplyTo(g.document(), count);
    }};
    QTest::newRow("a resize with its new labels") << Action{[](GridControl& g) {
      SheetDocument::Step step(g.document());
      g.Resize(8, 4);
      for (int row = 6; row < 8; ++row) g.SetTextMatrix(row, 0, QString::number(row));
      step.Commit();
    }};
  }

  void eachChangeIsOneStepUndoneAndRedone() {
    QFETCH(Action, action);
    GridControl grid(1, 1);
    grid.SetSheet(NumberedSheet(5, 4));
    SheetDocument& document = grid.document();
    const Sheet before = grid.sheet();
    QCOMPARE(Flags(document), QStringList());
    // Refused before it begins when the memory is not there.
    const NoMemory none;
    document.SetMemoryBudget(none);
    QVERIFY_THROWS_EXCEPTION(NotEnoughMemory, action.change(grid));
    QVERIFY(grid.sheet() == before);
    QCOMPARE(Flags(document), QStringList());
    document.SetMemoryBudget(SystemMemoryBudget());

    action.change(grid);
    const Sheet after = grid.sheet();
    QVERIFY(!(after == before));
    QCOMPARE(Flags(document), (QStringList{u"can undo"_s, u"modified"_s}));
    QCOMPARE(document.HistorySteps(), 1);

    // Undo back to the saved sheet makes it unmodified; the grid shows it.
    document.Undo();
    QVERIFY(grid.sheet() == before);
    QCOMPARE(Flags(document), QStringList{u"can redo"_s});
    QCOMPARE(grid.model()->rowCount(), before.Rows() - 1);
    QCOMPARE(grid.model()->columnCount(), before.Cols() - 1);
    QCOMPARE(grid.TextMatrix(before.Rows() - 1, before.Cols() - 1), QStringView(before.Text(5, 4)).toString());

    document.Redo();
    QVERIFY(grid.sheet() == after);
    QCOMPARE(grid.model()->rowCount(), after.Rows() - 1);
    QCOMPARE(Flags(document), (QStringList{u"can undo"_s, u"modified"_s}));
  }

  void aChangeThatChangesNothingIsNoStep() {
    GridControl grid(1, 1);
    grid.SetSheet(NumberedSheet(3, 3));
    SheetDocument& document = grid.document();
    grid.SetCellText(1, 1, u"1,1");
    grid.Resize(4, 4);
    grid.SetCellText(9, 9, u"outside");
    long long count = 0;
    AllReplaced(grid.sheet(), u"1"_s, SearchOptions{u"1"_s}).ApplyTo(document, count);
    QCOMPARE(count, 6LL);
    {
      SheetDocument::Step nothing(document);
      nothing.Commit();
    }
    QCOMPARE(document.HistorySteps(), 0);
  }

  void savingAndReplacingTheSheetMoveTheUnmodifiedPoint() {
    GridControl grid(1, 1);
    grid.SetSheet(NumberedSheet(3, 3));
    SheetDocument& document = grid.document();
    grid.SetCellText(1, 1, u"saved");
    document.MarkSaved();
    grid.SetCellText(1, 1, u"later");
    QVERIFY(document.CheckModify());
    document.Undo();
    QVERIFY(!document.CheckModify());
    // Undo past the Save: modified again, though the first sheet came back.
    document.Undo();
    QVERIFY(document.CheckModify());
    QCOMPARE(grid.TextMatrix(1, 1), u"1,1"_s);
    // New and Open start afresh.
    grid.SetSheet(NumberedSheet(2, 2));
    QCOMPARE(Flags(document), QStringList());
    // A change after Undo drops what could have been redone.
    grid.SetCellText(1, 1, u"a");
    document.Undo();
    grid.SetCellText(1, 2, u"b");
    QVERIFY(!document.CanRedo());
  }

  void theHistoryIsBounded() {
    GridControl grid(1, 1);
    grid.SetSheet(NumberedSheet(3, 3));
    SheetDocument& document = grid.document();
    const int changes = SheetDocument::kHistorySteps + 20;
    for (int i = 1; i <= changes; ++i) grid.SetCellText(1, 1, DecimalText(i));
    QCOMPARE(document.HistorySteps(), SheetDocument::kHistorySteps);
    while (document.CanUndo()) document.Undo();
    // The oldest changes are forgotten, not the newest.
    QCOMPARE(grid.TextMatrix(1, 1), QString::number(changes - SheetDocument::kHistorySteps));
  }

  // The quick answer (a count of changes, chunks shared with the saved
  // sheet) against the full comparison of every cell, over random edits,
  // Undo, Redo and saves; edits that put the saved texts back included.
  void checkModifyAgreesWithTheFullComparison() {
    std::mt19937 random(24);
    const auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    SheetDocument document;
    document.Reset(NumberedSheet(3000, 3));
    for (int step = 0; step < 600; ++step) {
      const Sheet& sheet = document.sheet();
      const int row = 1 + below(sheet.Rows() - 1), col = 1 + below(sheet.Cols() - 1);
      switch (below(10)) {
        case 0: document.Undo(); break;
        case 1: document.Redo(); break;
        case 2: document.MarkSaved(); break;
        case 3: document.SetCell(row, col, SharedText(DecimalText(row) + u"," + DecimalText(col))); break;
        case 4: document.Change(0, [&] { return WithRowsInserted(document.sheet(), row, 1 + below(3)); }); break;
        case 5:
          if (sheet.Rows() > 10) document.Change(0, [&] { return WithRowsDeleted(document.sheet(), row, 1); });
          break;
        case 6:
          document.Change(0, [&] {
            return WithRowsSorted(document.sheet(), col, below(2) == 0, [](auto a, auto b) { return a.compare(b); });
          });
          break;
        case 7: document.ChangeEncoding(below(2) == 0 ? TextEncoding::Utf8 : TextEncoding::Cp932); break;
        case 8:  // a few cells here and there, as a replace-all changes them
          document.SetCells(0, [&] {
            std::vector<PlacedText> cells;
            for (int r = 1 + below(40); r < sheet.Rows(); r += 1 + below(400))
              cells.push_back({r, col, SharedText(DecimalText(step).insert(0, 1, u'y'))});
            return cells;
          });
          break;
        default: document.SetCell(row, col, SharedText(DecimalText(below(3)).insert(0, 1, u'x'))); break;
      }
      QCOMPARE(document.CheckModify(), document.DiffersCellByCell());
    }
  }

  // A step holds what it changed: a row inserted into a million rows, and
  // deleted again, costs kilobytes, not the sheet.
  void rowStepsInALargeSheetCostKilobytes() {
    SheetDocument document;
    Sheet sheet(kMaxRecords + 1 - 10, 9);
    LabelSheet(sheet);
    for (int c = 1; c < 9; ++c) sheet.Fill(c, 1, sheet.Rows() - 1, SharedText(u"value " + DecimalText(c)));
    document.Reset(std::move(sheet));
    document.Change(0, [&] { return WithRowsInserted(document.sheet(), 500000, 1); });
    QCOMPARE(QStringView(document.sheet().Text(500001, 0)).toString(), u"500001"_s);
    QVERIFY2(document.HistoryBytes() < 512 * 1024, QByteArray::number(document.HistoryBytes()));
    document.Change(0, [&] { return WithRowsDeleted(document.sheet(), 500000, 1); });
    QVERIFY2(document.HistoryBytes() < 1024 * 1024, QByteArray::number(document.HistoryBytes()));
    QVERIFY(!document.CheckModify());
  }

  // Sort's ranking by collation keys, made on two threads, against the
  // collator comparing each pair: kana, katakana, kanji, Latin letters,
  // numbers read as numbers, texts the collation holds equal.
  void japaneseOrderRanksAsTheCollatorComparesPairs() {
    const std::vector<std::u16string> words = {u"さくら", u"サクラ", u"桜", u"apple", u"Apple", u"10",   u"9", u"ｻｸﾗ",
                                               u"あ",     u"ア",     u"亜", u"z",     u"2番",   u"10番", u"",  u"ー"};
    std::vector<std::u16string> texts;
    for (int i = 0; i < 600; ++i) texts.push_back(words[i % words.size()] + words[(i * 7) % words.size()]);
    std::vector<std::u16string_view> distinct(texts.begin(), texts.end());
    QCollator collator(QLocale(QLocale::Japanese, QLocale::Japan));
    collator.setNumericMode(true);
    const std::vector<double> ranks = RankInJapaneseOrder(distinct, nullptr);
    QCOMPARE(ranks.size(), distinct.size());
    for (std::size_t a = 0; a < distinct.size(); a += 7)
      for (std::size_t b = 0; b < distinct.size(); b += 5) {
        const int compared = collator.compare(QString::fromStdU16String(texts[a]), QString::fromStdU16String(texts[b]));
        const int ranked = ranks[a] < ranks[b] ? -1 : ranks[a] > ranks[b] ? 1 : 0;
        if ((compared > 0) - (compared < 0) != ranked)
          QFAIL(qPrintable(u"%1 and %2 ranked %3, collated %4"_s
                               .arg(QString::fromStdU16String(texts[a]), QString::fromStdU16String(texts[b]))
                               .arg(ranked)
                               .arg(compared)));
      }
  }

  // After a sort, the sheet holds its table alone: a replace-all of a few
  // cells changes them in place and keeps their old texts, not the table.
  // A unit searched for as it is, when case is ignored, must be the only
  // unit of its folding, or the search would miss its other forms: ß has
  // no mapping of its own, yet ẞ folds to it.
  void aUnitThatFoldsAloneHasNoOtherForm() {
    for (const char16_t unit : {u'0', u'零', u'あ', u'ｱ', u','}) QVERIFY(FoldsAlone(unit));
    for (const char16_t unit : {u'a', u'K', u'k', u's', u'ß', u'Ａ', u'Ⓐ', u'Ⅰ'}) QVERIFY(!FoldsAlone(unit));
    Sheet sheet(2, 3);
    sheet.SetText(1, 1, u"ẞ0ß"_s.toStdU16String());
    sheet.SetText(1, 2, u"零0"_s.toStdU16String());
    SheetDocument document;
    document.Reset(std::move(sheet));
    long long sharp = 0, zero = 0;
    AllReplaced(document.sheet(), u"x"_s, SearchOptions{u"ß"_s}).ApplyTo(document, sharp);
    AllReplaced(document.sheet(), u"y"_s, SearchOptions{u"0"_s}).ApplyTo(document, zero);
    QCOMPARE(sharp, 2);
    QCOMPARE(zero, 2);
    QVERIFY(document.sheet().Text(1, 1) == u"xyx");
    QVERIFY(document.sheet().Text(1, 2) == u"零y");
  }

  void aReplaceAllAfterASortCostsWhatItChanged() {
    SheetDocument document;
    document.Reset(NumberedSheet(100000, 4));
    document.Change(
        0, [&] { return WithRowsSorted(document.sheet(), 2, true, [](auto a, auto b) { return a.compare(b); }); });
    const Sheet sorted = document.sheet();
    const std::uint64_t sortBytes = document.HistoryBytes();
    long long count = 0;
    AllReplaced(document.sheet(), u"X"_s, SearchOptions{u"77777,"_s}).ApplyTo(document, count);
    QCOMPARE(count, 4LL);
    QVERIFY2(document.HistoryBytes() - sortBytes < 64 * 1024, QByteArray::number(document.HistoryBytes() - sortBytes));
    QCOMPARE(QStringView(document.sheet().Text(100000 - 77777 + 1, 3)).toString(), u"X3"_s);
    document.Undo();
    QVERIFY(document.sheet() == sorted);
    QCOMPARE(document.CheckModify(), document.DiffersCellByCell());
  }

  void undoOfASizeChangeKeepsTheCurrentCellOnTheSheet() {
    GridControl grid(1, 1);
    grid.SetSheet(NumberedSheet(3, 3));
    grid.Resize(10, 10);
    grid.SetRow(9);
    grid.SetCol(9);
    QSignalSpy entered(&grid, &GridControl::EnterCell);
    grid.document().Undo();
    QCOMPARE((QList<int>{grid.Row(), grid.Col(), grid.RowSel(), grid.ColSel()}), (QList<int>{3, 3, 3, 3}));
    QCOMPARE(entered.count(), 1);
    QCOMPARE(grid.Text(), u"3,3"_s);
  }
};

QTEST_MAIN(SheetDocumentTest)
#include "SheetDocumentTest.moc"
