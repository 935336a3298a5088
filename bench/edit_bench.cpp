// The editing commands at the cell limit (4,096 x 8), in a grid shown
// offscreen so that the view's own work on each change is counted: a row and
// a column inserted and deleted, the 4,095 records sorted by one column, a
// replace over every cell and over ten cells of a million characters, one
// cell committed with and without the memory checks, and what one reading
// of the system's memory figures costs.

#include <benchmark/benchmark.h>

#include <functional>
#include <utility>

#include <QApplication>

#include "platform/MemoryBudget.h"
#include "sheet/SheetEdits.h"
#include "sheet/document/JapaneseOrder.h"
#include "sheet/document/SheetDocument.h"
#include "sheet/document/SheetSearch.h"
#include "sheet/grid/GridControl.h"
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
  void Apply(const std::function<Sheet()>& edit) {
    grid.document().Change(EditBytes(grid.Rows(), grid.Cols()), edit);
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
    shown.Apply([&] { return WithRowsInserted(shown.grid.sheet(), 2000, 1); });
    shown.Apply([&] { return WithRowsDeleted(shown.grid.sheet(), 2000, 1); });
  }
}
BENCHMARK(BM_InsertAndDeleteARow)->Unit(benchmark::kMillisecond);

void BM_InsertAndDeleteAColumn(benchmark::State& state) {
  ShownGrid shown;
  shown.grid.SetSheet(SampleSheet(kRecords, kFields - 1));
  for (auto _ : state) {
    shown.Apply([&] { return WithColsInserted(shown.grid.sheet(), 3, 1); });
    shown.Apply([&] { return WithColsDeleted(shown.grid.sheet(), 3, 1); });
  }
}
BENCHMARK(BM_InsertAndDeleteAColumn)->Unit(benchmark::kMillisecond);

// Japanese collation over mixed kana, kanji and Latin values.
void BM_SortTheRecordsByAColumn(benchmark::State& state) {
  ShownGrid shown;
  bool descending = false;
  for (auto _ : state) {
    shown.Apply([&] { return WithRowsSortedByRanks(shown.grid.sheet(), 3, descending, RankInJapaneseOrder); });
    descending = !descending;
  }
}
BENCHMARK(BM_SortTheRecordsByAColumn)->Unit(benchmark::kMillisecond);

// Replaces `a` by `b` everywhere and back, two steps as the find window
// makes them; how many were replaced the last time.
long long ReplaceThereAndBack(ShownGrid& shown, const QString& a, const QString& b) {
  long long count = 0;
  for (const auto& [find, with] : {std::pair{a, b}, std::pair{b, a}}) {
    const AllReplaced replaced(shown.grid.sheet(), with, SearchOptions{find});
    replaced.ApplyTo(shown.grid.document(), count);
    QApplication::processEvents();
  }
  return count;
}

// Every cell holds a digit: every cell changes, and back.
void BM_ReplaceAllOverEveryCell(benchmark::State& state) {
  ShownGrid shown;
  long long count = 0;
  for (auto _ : state) count = ReplaceThereAndBack(shown, QStringLiteral("1"), QStringLiteral("①"));
  state.counters["replaced"] = static_cast<double>(count);
}
BENCHMARK(BM_ReplaceAllOverEveryCell)->Unit(benchmark::kMillisecond);

// Ten cells of a million characters, every character replaced and back
// again: two steps of 20 MB each; the history keeps within its bound.
void BM_ReplaceAllInTenEnormousCells(benchmark::State& state) {
  ShownGrid shown;
  Sheet sheet(2, 11);
  LabelSheet(sheet);
  for (int c = 1; c <= 10; ++c) sheet.SetText(1, c, std::u16string(1'000'000, u'a'));
  shown.grid.SetSheet(std::move(sheet));
  for (auto _ : state) ReplaceThereAndBack(shown, QStringLiteral("a"), QStringLiteral("b"));
  state.counters["history MB"] = static_cast<double>(shown.grid.document().HistoryBytes() >> 20);
}
BENCHMARK(BM_ReplaceAllInTenEnormousCells)->Unit(benchmark::kMillisecond);

// Always enough, without reading anything: a change's own work alone.
class Unchecked final : public MemoryBudget {
 public:
  bool Affords(std::uint64_t) const override { return true; }
};

// One cell committed as the editor commits it (a step of the history, the
// repaint), in the middle of the sheet, with the system's budget (checked)
// and with none.
void BM_CommitACell(benchmark::State& state) {
  ShownGrid shown;
  const Unchecked unchecked;
  if (state.range(0) == 0) shown.grid.document().SetMemoryBudget(unchecked);
  const std::u16string texts[] = {u"一二三", u"四五六"};
  std::size_t i = 0;
  for (auto _ : state) {
    shown.grid.SetCellText(kRecords / 2, kFields / 2, texts[i++ % 2]);
    QApplication::processEvents();
  }
}
BENCHMARK(BM_CommitACell)->ArgName("checked")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// A change over a mebibyte reads the figures once.
void BM_ReadTheSystemsMemory(benchmark::State& state) {
  const SystemMemory system;
  for (auto _ : state) benchmark::DoNotOptimize(system.Spare());
}
BENCHMARK(BM_ReadTheSystemsMemory)->Unit(benchmark::kMicrosecond);

}  // namespace
