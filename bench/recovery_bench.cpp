// The recovery file at the cell limit: 4,096 x 8 cells (32,768) whose data
// cells hold texts of the argument's length, in the real main window shown
// offscreen.
//
// - OneEditOnTheWindowThread: a cell set and the keeper handing it over (the
//   shared texts of the changed cells), which is all the window waits for.
// - OneEditOnTheWriterThread: that record encoded, appended and synced.
// - WholeSheetBase: the base a change of shape writes, synced, and
//   BaseOnTheWindowThread: what handing it over costs the window.
// - Keystroke/0 and /1: a key that opens the cell's editor and the commit
//   that follows, over and over for ten seconds, with recovery off and on;
//   the timers write as they would while someone types. "worst_ms" is the
//   slowest keystroke seen.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

#include <QApplication>
#include <QWindow>

#include "app/ProgramRecovery.h"
#include "fakes/FakeCommonDialogBackend.h"
#include "fakes/FakeMessageBox.h"
#include "mainwindow/CellEditor.h"
#include "mainwindow/Main.h"
#include "recovery/RecoveryWriter.h"
#include "recovery/keeper/RecoveryKeeper.h"
#include "sheet/document/SheetDocument.h"
#include "sheet/grid/GridControl.h"
#include "support/TempDir.h"

using namespace quillary;
using namespace quillary::testing;

namespace {

constexpr int kRows = 4096;
constexpr int kCols = 8;

Sheet LargeTextSheet(int length) {
  Sheet sheet(kRows, kCols);
  LabelSheet(sheet);
  for (int r = 1; r < kRows; ++r)
    for (int c = 1; c < kCols; ++c)
      sheet.SetText(r, c,
                    std::u16string(static_cast<std::size_t>(length), static_cast<char16_t>(u'あ' + (r + c) % 64)));
  return sheet;
}

struct Scene {
  Scene(int length, bool recovering) {
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed()) QApplication::processEvents();
    window.sheetGrid().SetSheet(LargeTextSheet(length));
    if (recovering) recovery = std::make_unique<ProgramRecovery>(window, dir / "recovery");
    window.sheetGrid().SetFocus();
    QApplication::processEvents();
  }
  SheetDocument& document() { return window.document(); }
  RecoveryKeeper& keeper() { return *recovery->keeper(); }

  TempDir dir;
  FakeMessageBox messageBox;
  FakeCommonDialogBackend backend;
  Main window{Services{messageBox, backend}};
  std::unique_ptr<ProgramRecovery> recovery;
};

std::u16string Typed(std::int64_t i) { return u"入力" + DecimalText(i); }

void BM_OneEditOnTheWindowThread(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)), true);
  // The base is on disk; from here on each write is a record.
  scene.document().SetCell(1, 1, SharedText(u"first"));
  scene.keeper().WriteNow();
  scene.keeper().WaitForWriter();
  std::int64_t i = 0;
  for (auto _ : state) {
    scene.document().SetCell(1 + static_cast<int>(i % (kRows - 1)), 1 + static_cast<int>(i % (kCols - 1)),
                             SharedText(Typed(i)));
    scene.keeper().WriteNow();
    state.PauseTiming();
    scene.keeper().WaitForWriter();
    state.ResumeTiming();
    ++i;
  }
}
BENCHMARK(BM_OneEditOnTheWindowThread)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_OneEditOnTheWriterThread(benchmark::State& state) {
  TempDir dir;
  RecoveryWriter writer(dir / "own.qrec");
  const Sheet sheet = LargeTextSheet(static_cast<int>(state.range(0)));
  writer.WriteBase({}, sheet);
  std::int64_t i = 0;
  for (auto _ : state) {
    const int row = 1 + static_cast<int>(i % (kRows - 1));
    writer.Append({}, {{row, 1, SharedText(Typed(i))}});
    writer.Wait();
    ++i;
  }
  if (writer.NeedsBase()) state.SkipWithError("a write failed");
}
BENCHMARK(BM_OneEditOnTheWriterThread)->Arg(100)->Arg(1000)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_WholeSheetBase(benchmark::State& state) {
  TempDir dir;
  RecoveryWriter writer(dir / "own.qrec");
  const Sheet sheet = LargeTextSheet(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    writer.WriteBase({}, sheet);
    writer.Wait();
  }
  if (writer.NeedsBase()) state.SkipWithError("a write failed");
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(dir / "own.qrec")));
}
BENCHMARK(BM_WholeSheetBase)->Arg(100)->Arg(1000)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);

// After a change of shape the keeper hands over the whole sheet: a copy of
// its 32,768 shared texts, not of the texts.
void BM_BaseOnTheWindowThread(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)), true);
  bool wider = true;
  for (auto _ : state) {
    state.PauseTiming();
    scene.keeper().WaitForWriter();
    scene.document().Resize(kRows, wider ? kCols + 1 : kCols);
    wider = !wider;
    state.ResumeTiming();
    scene.keeper().WriteNow();
  }
  scene.keeper().WaitForWriter();
}
BENCHMARK(BM_BaseOnTheWindowThread)->Arg(1000)->Unit(benchmark::kMicrosecond);

// Keystrokes for ten seconds: the first edit makes the sheet modified and
// the keeper writes its base in the background while typing goes on; then
// records every few seconds.
void BM_Keystroke(benchmark::State& state) {
  Scene scene(1000, state.range(0) != 0);
  double worst = 0;
  std::int64_t i = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    scene.window.sheetGrid().SetRow(1 + static_cast<int>(i % 20));
    scene.window.fg2_KeyPress('a');
    scene.window.cellEditor().CommitCellEdit();
    QApplication::processEvents();
    worst =
        std::max(worst, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    ++i;
  }
  state.counters["worst_ms"] = worst;
  if (scene.recovery) scene.keeper().WaitForWriter();
}
BENCHMARK(BM_Keystroke)->Arg(0)->Arg(1)->MinTime(10)->Unit(benchmark::kMicrosecond);

}  // namespace
