// The main window: from the program's start to its first shown window (once,
// cold, then warm in a loop), filling the grid with the largest sheet
// (4096 x 8 = 32,768 cells), and the modification check on that sheet.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

#include <sys/resource.h>

#include <QApplication>
#include <QWindow>

#include "fakes/FakeCommonDialogBackend.h"
#include "fakes/FakeMessageBox.h"
#include "mainwindow/Fonts.h"
#include "mainwindow/Main.h"
#include "sheet/document/SheetDocument.h"
#include "sheet/grid/GridControl.h"
#include "support/SampleSheet.h"
#include "support/WidgetBenchMain.h"

namespace {

using quillary::Main;
using quillary::Services;
using quillary::testing::FakeCommonDialogBackend;
using quillary::testing::FakeMessageBox;

constexpr int kMaxRecords = 4095;  // with the field-name row: 4096 rows
constexpr int kMaxFields = 7;      // with the row-label column: 8 columns

double PeakRssMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// Shows the window and returns once it is on the screen and painted.
void ShowAndWait(Main& window) {
  window.show();
  while (!window.windowHandle() || !window.windowHandle()->isExposed()) QApplication::processEvents();
  QApplication::processEvents();
}

struct Fakes {
  FakeMessageBox messageBox;
  FakeCommonDialogBackend backend;
  Services services{messageBox, backend};
};

void BM_StartUpToFirstShownWindow(benchmark::State& state) {
  Fakes fakes;
  for (auto _ : state) {
    auto window = std::make_unique<Main>(fakes.services);
    ShowAndWait(*window);
    state.PauseTiming();
    window.reset();
    QApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["peak_rss_MB"] = PeakRssMegabytes();
}
BENCHMARK(BM_StartUpToFirstShownWindow)->Unit(benchmark::kMillisecond);

void BM_FillGridWithMaxSheet(benchmark::State& state) {
  Fakes fakes;
  Main window(fakes.services);
  ShowAndWait(window);
  const quillary::Sheet sheet = quillary::testing::SampleSheet(kMaxRecords, kMaxFields);
  for (auto _ : state) {
    window.sheetGrid().SetSheet(sheet);
    QApplication::processEvents();  // the repaint
    state.PauseTiming();
    window.sheetGrid().SetSheet(quillary::MakeInitialSheet());
    QApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["cells"] = sheet.CellCount();
}
BENCHMARK(BM_FillGridWithMaxSheet)->Unit(benchmark::kMillisecond);

// Equal sheets: the check has to look at every cell.
void BM_CheckModifyMaxSheet(benchmark::State& state) {
  Fakes fakes;
  Main window(fakes.services);
  window.sheetGrid().SetSheet(quillary::testing::SampleSheet(kMaxRecords, kMaxFields));
  for (auto _ : state) benchmark::DoNotOptimize(window.document().CheckModify());
}
BENCHMARK(BM_CheckModifyMaxSheet)->Unit(benchmark::kMicrosecond);

// One change in the last cell, the worst place for it.
void BM_CheckModifyMaxSheetChangedAtTheEnd(benchmark::State& state) {
  Fakes fakes;
  Main window(fakes.services);
  window.sheetGrid().SetSheet(quillary::testing::SampleSheet(kMaxRecords, kMaxFields));
  window.sheetGrid().SetTextMatrix(kMaxRecords, kMaxFields, QStringLiteral("changed"));
  for (auto _ : state) benchmark::DoNotOptimize(window.document().CheckModify());
}
BENCHMARK(BM_CheckModifyMaxSheetChangedAtTheEnd)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  const auto start = std::chrono::steady_clock::now();
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(QuietAboutSizeHints);
  QApplication application(argc, argv);
  quillary::UseJapaneseApplicationFont(application);
  {
    // The program's own start: application, fonts, the window shown.
    Fakes fakes;
    Main window(fakes.services);
    ShowAndWait(window);
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("cold start-up to the first shown window: %.1f ms, peak RSS %.1f MB\n", elapsed.count(),
                PeakRssMegabytes());
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
