// The engine on a sheet at the cell limit (4,095 records x 7 fields: with the
// name row and the label column 4,096 x 8 = 32,768 cells), and on halves and
// a double of it to show how the time grows: (a) one block repeated for all
// records, (b) one placeholder per cell outside blocks, (c) one block per
// record. The literal algorithm runs on the smaller sizes only; it grows with
// the square of the size.

#include <benchmark/benchmark.h>

#include <string>

#include "convert/FindRep.h"
#include "convert/LiteralEngine.h"
#include "sheet/SheetArray.h"

namespace quillary {
namespace {

constexpr int kFields = 7;

std::u16string Number(int n) {
  std::u16string text;
  do text.insert(text.begin(), static_cast<char16_t>(u'0' + n % 10));
  while ((n /= 10) > 0);
  return text;
}

std::u16string FieldName(int field) { return u"項目" + Number(field + 1); }

// Mixed Japanese and ASCII values, some with a line-break marker.
SheetArray MakeSheet(int records) {
  static const std::u16string kWords[] = {u"東京都千代田区",    u"Apple", u"りんご|青森県産", u"1,280",
                                          u"Quillary サンプル", u"ｶﾀｶﾅ",  u"note|line 2"};
  SheetArray array(kFields, records + 1);
  for (int f = 0; f < kFields; ++f) {
    array.Set(f, 0, FieldName(f));
    for (int r = 1; r <= records; ++r) array.Set(f, r, kWords[(f + r) % kFields] + Number(r));
  }
  return array;
}

std::u16string Row() {
  std::u16string row = u"<tr>";
  for (int f = 0; f < kFields; ++f) row += u"<td><!-- " + FieldName(f) + u" --></td>";
  return row + u"</tr>\r\n";
}

// (a) one repeat block with a count of all records.
std::u16string BlockTemplate(int records) {
  return u"<table>\r\n<!-- BeginRepeat " + Number(records) + u" -->\r\n" + Row() +
         u"<!-- EndRepeat -->\r\n</table>\r\n";
}

// (b) one placeholder per cell, outside any block.
std::u16string CellTemplate(int records) {
  std::u16string text = u"<table>\r\n";
  for (int r = 0; r < records; ++r) text += Row();
  return text + u"</table>\r\n";
}

// (c) one block per record, each with a count of 1.
std::u16string BlocksTemplate(int records) {
  std::u16string text;
  for (int r = 0; r < records; ++r) text += u"<!-- BeginRepeat 1 -->" + Row() + u"<!-- EndRepeat -->\r\n";
  return text;
}

// The engine at its default output limit.
std::u16string Engine(std::u16string_view text, const SheetArray& array, int k) {
  return ExpandTemplate(text, array, k);
}

template <typename Expand>
void Run(benchmark::State& state, std::u16string (*makeTemplate)(int), Expand expand) {
  const int records = static_cast<int>(state.range(0));
  const SheetArray array = MakeSheet(records);
  const std::u16string text = makeTemplate(records);
  for (auto _ : state) benchmark::DoNotOptimize(expand(text, array, kFields));
  state.counters["placeholders"] = records * kFields;
}

void EngineBlock(benchmark::State& state) { Run(state, BlockTemplate, Engine); }
void LiteralBlock(benchmark::State& state) { Run(state, BlockTemplate, literal::ExpandTemplate); }
void EngineBlocks(benchmark::State& state) { Run(state, BlocksTemplate, Engine); }
void LiteralBlocks(benchmark::State& state) { Run(state, BlocksTemplate, literal::ExpandTemplate); }
void EngineCells(benchmark::State& state) { Run(state, CellTemplate, Engine); }
void LiteralCells(benchmark::State& state) { Run(state, CellTemplate, literal::ExpandTemplate); }

// (d) every field named in turn, the list repeated until the template has
// the given size; the fields fill their first placeholder, the rest stay.
void EngineWidest(benchmark::State& state) {
  constexpr int kWidest = 16383;
  SheetArray array(kWidest, 2);
  for (int f = 0; f < kWidest; ++f) {
    array.Set(f, 0, FieldName(f));
    array.Set(f, 1, Number(f * 7));
  }
  const auto size = static_cast<std::size_t>(state.range(0)) << 20;
  std::u16string text;
  for (int f = 0; text.size() < size; f = (f + 1) % kWidest) text += u"<p><!-- " + FieldName(f) + u" --></p>\r\n";
  for (auto _ : state) benchmark::DoNotOptimize(Engine(text, array, kWidest));
  state.counters["template_units"] = static_cast<double>(text.size());
}

// (e) the sheet of (d) and a template of as many unclosed openings "<!-- ":
// no slower than (d).
void EngineUnclosed(benchmark::State& state) {
  constexpr int kWidest = 16383;
  SheetArray array(kWidest, 2);
  for (int f = 0; f < kWidest; ++f) array.Set(f, 0, FieldName(f));
  std::u16string text;
  for (const auto size = static_cast<std::size_t>(state.range(0)) << 20; text.size() < size;) text += u"<!-- ";
  for (auto _ : state) benchmark::DoNotOptimize(Engine(text, array, kWidest));
}

BENCHMARK(EngineWidest)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(EngineUnclosed)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(EngineBlock)->Arg(1024)->Arg(2048)->Arg(4095)->Arg(8190)->Unit(benchmark::kMillisecond);
BENCHMARK(LiteralBlock)->Arg(256)->Arg(512)->Arg(1024)->Arg(2048)->Unit(benchmark::kMillisecond);
BENCHMARK(EngineBlocks)->Arg(1024)->Arg(2048)->Arg(4095)->Arg(8190)->Unit(benchmark::kMillisecond);
BENCHMARK(LiteralBlocks)->Arg(256)->Arg(512)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK(EngineCells)->Arg(256)->Arg(512)->Arg(1024)->Arg(2048)->Arg(4095)->Arg(8190)->Unit(benchmark::kMillisecond);
BENCHMARK(LiteralCells)->Arg(256)->Arg(512)->Arg(1024)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillary
