// The editing commands at the cell limit (4,096 x 8), in a grid shown
// offscreen so that the view's own work on each change is counted: a row and
// a column inserted and deleted, the 4,095 records sorted by one column, and
// a replace over every cell.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCollator>

#include "sheet/GridControl.h"
#include "sheet/SheetDocument.h"
#include "sheet/SheetEdits.h"
#include "sheet/SheetSearch.h"
#include "support/SampleSheet.h"

using namespace quillary;
using namespace quillary::testing;

namespace {

constexpr int kRecords = 4095;
constexpr int kFields = 7;

struct ShownGrid {
  ShownGrid() {
    grid.resize(900, 600);
    grid.show();
    grid.SetSheet(SampleSheet(kRecords, kFields));
    QApplication::processEvents();
  }
  // One edit as a command makes it: a new sheet, one step, the repaint.
  void Apply(Sheet edited) {
    grid.document().Change(std::move(edited));
    QApplication::processEvents();
  }
  GridControl grid{1, 1};
};

// A row (a column) inserted and deleted again: two commands per iteration,
// at a sheet one row (column) below the limit.
void BM_InsertAndDeleteARow(benchmark::State& state) {
  ShownGrid shown;
  shown.grid.SetSheet(SampleSheet(kRecords - 1, kFields));
  for (auto _ : state) {
    shown.Apply(WithRowsInserted(shown.grid.sheet(), 2000, 1));
    shown.Apply(WithRowsDeleted(shown.grid.sheet(), 2000, 1));
  }
}
BENCHMARK(BM_InsertAndDeleteARow)->Unit(benchmark::kMillisecond);

void BM_InsertAndDeleteAColumn(benchmark::State& state) {
  ShownGrid shown;
  shown.grid.SetSheet(SampleSheet(kRecords, kFields - 1));
  for (auto _ : state) {
    shown.Apply(WithColsInserted(shown.grid.sheet(), 3, 1));
    shown.Apply(WithColsDeleted(shown.grid.sheet(), 3, 1));
  }
}
BENCHMARK(BM_InsertAndDeleteAColumn)->Unit(benchmark::kMillisecond);

// Japanese collation over mixed kana, kanji and Latin values.
void BM_SortTheRecordsByAColumn(benchmark::State& state) {
  ShownGrid shown;
  QCollator collator(QLocale(QLocale::Japanese, QLocale::Japan));
  const TextOrder byCollation = [&collator](const std::u16string& a, const std::u16string& b) {
    return collator.compare(QStringView(a.data(), static_cast<qsizetype>(a.size())),
                            QStringView(b.data(), static_cast<qsizetype>(b.size())));
  };
  bool descending = false;
  for (auto _ : state) {
    shown.Apply(WithRowsSorted(shown.grid.sheet(), 3, descending, byCollation));
    descending = !descending;
  }
}
BENCHMARK(BM_SortTheRecordsByAColumn)->Unit(benchmark::kMillisecond);

// Every cell holds a digit: every cell changes, and back.
void BM_ReplaceAllOverEveryCell(benchmark::State& state) {
  ShownGrid shown;
  SearchOptions there{QStringLiteral("1"), false, false, false};
  SearchOptions back{QStringLiteral("①"), false, false, false};
  int count = 0;
  for (auto _ : state) {
    shown.Apply(WithAllReplaced(shown.grid.sheet(), QStringLiteral("①"), there, count));
    shown.Apply(WithAllReplaced(shown.grid.sheet(), QStringLiteral("1"), back, count));
  }
  state.counters["replaced"] = count;
}
BENCHMARK(BM_ReplaceAllOverEveryCell)->Unit(benchmark::kMillisecond);

}  // namespace
