// A sheet of a million records of 8 fields (a UTF-8 file of about 100 MB)
// through the core and the document's history: the file read and decoded
// into a sheet (and the same records in CP932), sorted by numbers and by
// Japanese text, every cell's match replaced (on the opened sheet and on a
// sorted one), a row inserted and deleted, Undo and Redo of each, and Save
// in either encoding.
// BM_PeakMemory runs a process of its own that opens the file, then sorts
// and replaces with their steps kept, and reports its peak resident size
// against the file's size. Each figure is the median of its repetitions.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include <QApplication>

#include "platform/FileIO.h"
#include "platform/TextEncoding.h"
#include "sheet/CsvDocument.h"
#include "sheet/SheetArray.h"
#include "sheet/SheetEdits.h"
#include "sheet/document/JapaneseOrder.h"
#include "sheet/document/SheetDocument.h"
#include "sheet/document/SheetSearch.h"
#include "support/MillionCsv.h"
#include "support/WidgetBenchMain.h"

using namespace quillary;
using quillary::testing::MillionCsv;

namespace {

constexpr int kNumberColumn = 4;    // "1234", "98765", ...
constexpr int kJapaneseColumn = 2;  // "りんご 12" ...
constexpr int kDistinctColumn = 7;  // "SKU-123456", a different one each

Sheet OpenedSheet() { return SheetFromFile(LoadCsvFile(MillionCsv())); }

// The same records in CP932, saved once beside the UTF-8 file and kept.
std::filesystem::path MillionCsvIn(TextEncoding encoding) {
  if (encoding == TextEncoding::Utf8) return MillionCsv();
  const auto path = std::filesystem::temp_directory_path() / "quillary-million-8-cp932.csv";
  if (!std::filesystem::exists(path)) SaveCsvFile(path, SheetArray::FromSheet(OpenedSheet()), encoding);
  return path;
}

TextEncoding EncodingOf(const benchmark::State& state) {
  return state.range(0) == 0 ? TextEncoding::Utf8 : TextEncoding::Cp932;
}

// A file benchmark's runs: UTF-8 (0) and CP932 (1), the median of three each.
void InEitherEncoding(benchmark::internal::Benchmark* benchmark) {
  benchmark->ArgName("utf8_0_cp932_1")
      ->DenseRange(0, 1)
      ->Unit(benchmark::kMillisecond)
      ->Iterations(1)
      ->Repetitions(3)
      ->ReportAggregatesOnly(true);
}

void Report(benchmark::State& state, const SheetDocument& document) {
  state.counters["history_MiB"] = static_cast<double>(document.HistoryBytes()) / (1 << 20);
}

void BM_OpenFile(benchmark::State& state) {
  const auto file = MillionCsvIn(EncodingOf(state));
  for (auto _ : state) benchmark::DoNotOptimize(SheetFromFile(LoadCsvFile(file)));
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(file)) / 1e6;
}
BENCHMARK(BM_OpenFile)->Apply(InEitherEncoding);

// One command on the opened sheet, then its Undo and Redo, each timed on
// its own (the three figures are the three benchmarks' medians).
enum class Phase { Do, Undo, Redo };

void TimeCommand(benchmark::State& state, Phase phase, const std::function<void(SheetDocument&)>& command,
                 const std::function<void(SheetDocument&)>& before = {}) {
  SheetDocument document;
  document.Reset(OpenedSheet());
  if (before) before(document);
  for (auto _ : state) {
    state.PauseTiming();
    if (phase != Phase::Do) {
      command(document);
      if (phase == Phase::Redo) document.Undo();
    }
    state.ResumeTiming();
    switch (phase) {
      case Phase::Do: command(document); break;
      case Phase::Undo: document.Undo(); break;
      case Phase::Redo: document.Redo(); break;
    }
    state.PauseTiming();
    Report(state, document);
    if (phase != Phase::Undo) document.Undo();
    state.ResumeTiming();
  }
}

void SortNumbers(SheetDocument& document) {
  document.Change(EditBytes(document.sheet().Rows(), document.sheet().Cols()), [&] {
    return WithRowsSorted(document.sheet(), kNumberColumn, false, [](auto a, auto b) { return a.compare(b); });
  });
}

// As the window sorts a column of texts.
void SortTexts(SheetDocument& document, int col) {
  document.Change(EditBytes(document.sheet().Rows(), document.sheet().Cols()),
                  [&] { return WithRowsSortedByRanks(document.sheet(), col, false, RankInJapaneseOrder); });
}

// A few thousand different texts, and a million different ones.
void SortJapanese(SheetDocument& document) { SortTexts(document, kJapaneseColumn); }
void SortDistinctTexts(SheetDocument& document) { SortTexts(document, kDistinctColumn); }

// "0" by "零" in every data cell: most cells hold one.
void ReplaceAll(SheetDocument& document) {
  const AllReplaced replaced(document.sheet(), QStringLiteral("零"), SearchOptions{QStringLiteral("0")});
  long long count = 0;
  replaced.ApplyTo(document, count);
}

void InsertRow(SheetDocument& document) {
  document.Change(EditBytes(document.sheet().Rows(), document.sheet().Cols()),
                  [&] { return WithRowsInserted(document.sheet(), 500000, 1); });
}

void DeleteRow(SheetDocument& document) {
  document.Change(EditBytes(document.sheet().Rows(), document.sheet().Cols()),
                  [&] { return WithRowsDeleted(document.sheet(), 500000, 1); });
}

// `before` (nothing when null) prepares the sheet, untimed.
#define QUILLARY_COMMAND_BENCH_AFTER(name, command, before)                                                            \
  void BM_##name(benchmark::State& state) { TimeCommand(state, static_cast<Phase>(state.range(0)), command, before); } \
  BENCHMARK(BM_##name)                                                                                                 \
      ->ArgName("do0_undo1_redo2")                                                                                     \
      ->DenseRange(0, 2)                                                                                               \
      ->Unit(benchmark::kMillisecond)                                                                                  \
      ->Iterations(1)                                                                                                  \
      ->Repetitions(3)                                                                                                 \
      ->ReportAggregatesOnly(true);
#define QUILLARY_COMMAND_BENCH(name, command) QUILLARY_COMMAND_BENCH_AFTER(name, command, nullptr)

QUILLARY_COMMAND_BENCH(SortNumbers, SortNumbers)
QUILLARY_COMMAND_BENCH(SortJapanese, SortJapanese)
QUILLARY_COMMAND_BENCH(SortDistinctTexts, SortDistinctTexts)
QUILLARY_COMMAND_BENCH(ReplaceAll, ReplaceAll)
// After a sort the sheet holds its table alone: the replacement is set in
// place.
QUILLARY_COMMAND_BENCH_AFTER(ReplaceAllAfterASort, ReplaceAll, SortJapanese)
QUILLARY_COMMAND_BENCH(InsertRow, InsertRow)
QUILLARY_COMMAND_BENCH(DeleteRow, DeleteRow)

// What a row inserted in the middle leaves in the history.
void BM_InsertRowHistoryBytes(benchmark::State& state) {
  SheetDocument document;
  document.Reset(OpenedSheet());
  for (auto _ : state) InsertRow(document);
  state.counters["step_KiB"] =
      static_cast<double>(document.HistoryBytes()) / 1024 / static_cast<double>(state.iterations());
}
BENCHMARK(BM_InsertRowHistoryBytes)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SaveFile(benchmark::State& state) {
  const Sheet sheet = OpenedSheet();
  const auto saved = std::filesystem::temp_directory_path() / "quillary-million-saved.csv";
  for (auto _ : state) SaveCsvFile(saved, SheetArray::FromSheet(sheet), EncodingOf(state));
  std::filesystem::remove(saved);
}
BENCHMARK(BM_SaveFile)->Apply(InEitherEncoding);

// ---- peak memory, in a process of its own ----

double PeakMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024;
}

// In the child: open, then sort and replace with their steps kept, as the
// window's commands keep them (the work array shares the opened sheet).
int MeasurePeak(const char* file) {
  SheetDocument document;
  SheetArray array;
  {
    LoadedCsv loaded = LoadCsvFile(file);
    document.Reset(SheetFromFile(loaded));
    array = std::move(loaded.array);
  }
  const double opened = PeakMiB();
  SortJapanese(document);
  ReplaceAll(document);
  std::printf("%f %f\n", opened, PeakMiB());
  return 0;
}

void BM_PeakMemory(benchmark::State& state) {
  const std::string file = MillionCsv().string();
  const double fileMiB = static_cast<double>(std::filesystem::file_size(file)) / (1 << 20);
  double opened = 0, edited = 0;
  for (auto _ : state) {
    const std::string command = "QUILLARY_PEAK_OF='" + file + "' /proc/" + std::to_string(getpid()) + "/exe";
    FILE* child = popen(command.c_str(), "r");
    if (!child || std::fscanf(child, "%lf %lf", &opened, &edited) != 2) state.SkipWithError("no figures");
    if (child) pclose(child);
  }
  state.counters["file_MiB"] = fileMiB;
  state.counters["opened_MiB"] = opened;
  state.counters["opened_x_file"] = opened / fileMiB;
  state.counters["sorted_replaced_MiB"] = edited;
  state.counters["sorted_replaced_x_file"] = edited / fileMiB;
}
BENCHMARK(BM_PeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  if (const char* file = std::getenv("QUILLARY_PEAK_OF")) return MeasurePeak(file);
  return RunWidgetBenchmarks(argc, argv);
}
