// The sheet's file paths at the cell limit (4,095 records x 7 fields plus the
// field names and row labels: 4,096 x 8 = 32,768 cells), and at twice that
// where the code has no limit of its own, to show how time scales.

#include <benchmark/benchmark.h>

#include "platform/CodePage.h"
#include "platform/FileIO.h"
#include "platform/TextEncoding.h"
#include "sheet/CSVRead.h"
#include "sheet/CsvDocument.h"
#include "sheet/Parts.h"
#include "support/SampleSheet.h"
#include "support/TempDir.h"

namespace {

using namespace quillary;

constexpr int kFields = 7;
constexpr int kLimitRecords = 4095;

std::u16string CsvText(int records) { return BuildCsv(testing::SampleArray(records, kFields), u',', u"\r\n", u'"'); }

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

// The code page alone, without detection.
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

// The cell-limit sheet's file in each encoding (the argument).
constexpr TextEncoding kEncodings[] = {TextEncoding::Cp932, TextEncoding::Utf8, TextEncoding::Utf8WithBom};

std::string LimitFile(const benchmark::State& state) {
  return EncodeText(CsvText(kLimitRecords), kEncodings[state.range(0)]);
}

void NameEncoding(benchmark::State& state) { state.SetLabel(EncodingName(kEncodings[state.range(0)])); }

// Detection and decoding as every file is read: for CP932 this includes the
// attempt as UTF-8 that fails at its first double-byte character.
void BM_DecodeText(benchmark::State& state) {
  const std::string bytes = LimitFile(state);
  for (auto _ : state) benchmark::DoNotOptimize(DecodeText(bytes));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
  NameEncoding(state);
}
BENCHMARK(BM_DecodeText)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

// The worst case of detection: CP932 whose only double-byte character is
// the last one, so the whole file is tried as UTF-8 first.
void BM_DecodeTextLateCp932(benchmark::State& state) {
  std::string bytes(EncodeText(CsvText(kLimitRecords), TextEncoding::Utf8).size(), 'a');
  bytes += "\x93\xfa";
  for (auto _ : state) benchmark::DoNotOptimize(DecodeText(bytes));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_DecodeTextLateCp932)->Unit(benchmark::kMicrosecond);

void BM_EncodeText(benchmark::State& state) {
  const std::u16string text = CsvText(kLimitRecords);
  for (auto _ : state) benchmark::DoNotOptimize(EncodeText(text, kEncodings[state.range(0)]));
  NameEncoding(state);
}
BENCHMARK(BM_EncodeText)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

// Open's data half: read, decode, size, parse.
void BM_LoadCsvFile(benchmark::State& state) {
  testing::TempDir dir;
  const auto file = dir.Write("limit.csv", LimitFile(state));
  for (auto _ : state) benchmark::DoNotOptimize(LoadCsvFile(file));
  NameEncoding(state);
}
BENCHMARK(BM_LoadCsvFile)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// Save's data half: grid to array, build, encode, replace the file.
void BM_SaveCsvFile(benchmark::State& state) {
  testing::TempDir dir;
  const Sheet sheet = testing::SampleSheet(kLimitRecords, kFields);
  for (auto _ : state) SaveCsvFile(dir / "limit.csv", SheetArray::FromSheet(sheet), kEncodings[state.range(0)]);
  NameEncoding(state);
}
BENCHMARK(BM_SaveCsvFile)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace
