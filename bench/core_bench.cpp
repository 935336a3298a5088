// The sheet's file paths at the cell limit (4,095 records x 7 fields plus the
// field names and row labels: 4,096 x 8 = 32,768 cells), and at twice that
// where the code has no limit of its own, to show how time scales.

#include <benchmark/benchmark.h>

#include "platform/CodePage.h"
#include "platform/FileIO.h"
#include "sheet/CSVRead.h"
#include "sheet/CsvDocument.h"
#include "sheet/Parts.h"
#include "support/SampleSheet.h"
#include "support/TempDir.h"

namespace {

using namespace quillary;

constexpr int kFields = 7;
constexpr int kLimitRecords = 4095;

std::u16string CsvText(int records) {
  return BuildCsv(testing::SampleArray(records, kFields), u',', u"\r\n", u'"');
}

void BM_ParseCsv(benchmark::State& state) {
  const std::u16string text = CsvText(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    SheetArray array(kFields, 1);
    benchmark::DoNotOptimize(ParseCsv(text, array, u',', u"\r\n", u'"'));
  }
}
BENCHMARK(BM_ParseCsv)->Arg(kLimitRecords)->Arg(2 * kLimitRecords)->Unit(benchmark::kMillisecond);

void BM_BuildCsv(benchmark::State& state) {
  const SheetArray array = testing::SampleArray(static_cast<int>(state.range(0)), kFields);
  for (auto _ : state) benchmark::DoNotOptimize(BuildCsv(array, u',', u"\r\n", u'"'));
}
BENCHMARK(BM_BuildCsv)->Arg(kLimitRecords)->Arg(2 * kLimitRecords)->Unit(benchmark::kMillisecond);

void BM_Decode(benchmark::State& state) {
  const std::string bytes = EncodeCodePage(CsvText(static_cast<int>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(DecodeCodePage(bytes));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_Decode)->Arg(kLimitRecords)->Arg(2 * kLimitRecords)->Unit(benchmark::kMillisecond);

void BM_Encode(benchmark::State& state) {
  const std::u16string text = CsvText(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(EncodeCodePage(text));
}
BENCHMARK(BM_Encode)->Arg(kLimitRecords)->Arg(2 * kLimitRecords)->Unit(benchmark::kMillisecond);

// Open's data half: read, decode, size, parse.
void BM_LoadCsvFile(benchmark::State& state) {
  testing::TempDir dir;
  const auto file = dir.Write("limit.csv", EncodeCodePage(CsvText(kLimitRecords)));
  for (auto _ : state) benchmark::DoNotOptimize(LoadCsvFile(file));
}
BENCHMARK(BM_LoadCsvFile)->Unit(benchmark::kMillisecond);

// Save's data half: grid to array, build, encode, replace the file.
void BM_SaveCsvFile(benchmark::State& state) {
  testing::TempDir dir;
  const Sheet sheet = testing::SampleSheet(kLimitRecords, kFields);
  for (auto _ : state) SaveCsvFile(dir / "limit.csv", SheetArray::FromSheet(sheet));
}
BENCHMARK(BM_SaveCsvFile)->Unit(benchmark::kMillisecond);

}  // namespace
