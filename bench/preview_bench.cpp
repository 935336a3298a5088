// One refresh of the live preview at the cell limit (4096 x 8: field names
// and 4095 records of 7 fields) for a catalogue page of one table row a
// record through "BeginRepeat *": the conversion, and the page or the
// marked text shown in a pane that is on screen (offscreen unless
// QT_QPA_PLATFORM says otherwise). Then one refresh for each of the pages
// built to hold the page view (tests/support/LayoutBombs.h); before the
// page was bounded, some of them took minutes or never finished, so run
// one at a time with a time limit: --benchmark_filter=LayoutBomb/3$.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTabWidget>

#include "commondialog/Services.h"
#include "convert/PreviewExpansion.h"
#include "convert/preview/PreviewPane.h"
#include "convert/preview/PreviewRefresh.h"
#include "convert/preview/PreviewTextView.h"
#include "convert/preview/PreviewViews.h"
#include "fakes/FakeCommonDialogBackend.h"
#include "fakes/FakeDesktopOpener.h"
#include "fakes/FakeMessageBox.h"
#include "sheet/document/SheetDocument.h"
#include "sheet/grid/GridControl.h"
#include "support/LayoutBombs.h"
#include "support/SampleSheet.h"
#include "support/TempDir.h"

using namespace quillary;
using namespace quillary::testing;

namespace {

constexpr int kRecords = 4095;
constexpr int kFields = 7;

// Every field of every record in a table row ("項目1" .. "項目7").
std::u16string Catalogue() {
  std::u16string row;
  for (int f = 1; f <= kFields; ++f) row += u"<td><!-- 項目" + DecimalText(f) + u" --></td>";
  return u"<html><head><meta charset=\"utf-8\"></head><body>\r\n<h1>商品一覧</h1>\r\n<table border=\"1\">\r\n"
         u"<!-- BeginRepeat * 全件 -->\r\n<tr>" +
         row + u"</tr>\r\n<!-- EndRepeat -->\r\n</table>\r\n</body></html>\r\n";
}

// The pane on screen over the full sheet and the catalogue.
struct PreviewAtTheCellLimit {
  PreviewAtTheCellLimit() {
    sheet.SetSheet(SampleSheet(kRecords, kFields));
    templ = dir.Write("catalogue.html", EncodeText(Catalogue(), TextEncoding::Utf8));
    pane.SetTemplateName(QString::fromStdString(templ.string()));
    pane.show();
    QApplication::processEvents();
  }
  // A refresh as the pause ends, and the paint that shows it.
  void Refresh() {
    pane.refresh().RefreshNow();
    QApplication::processEvents();
  }

  TempDir dir;
  std::filesystem::path templ;
  QWidget owner;
  GridControl sheet{1, 1, &owner};
  TextEncoding encoding = TextEncoding::Utf8;
  FakeCommonDialogBackend backend;
  FakeMessageBox messages;
  FakeDesktopOpener desktop;
  Services services{messages, backend, &desktop};
  PreviewPane pane{(sheet.document().fileEncoding() = encoding, sheet.document()), services, {}, {}, &owner};
};

void CheckShown(benchmark::State& state, const PreviewPane& pane) {
  const PreviewResult* result = pane.result();
  if (!result || !result->HasOutput() || result->expansion.summary.filled != std::size_t{kRecords} * kFields)
    state.SkipWithError("the preview did not fill every placeholder");
  else
    state.counters["output_units"] = double(result->expansion.text.size());
}

void BM_RefreshShowingThePage(benchmark::State& state) {
  PreviewAtTheCellLimit preview;
  for (auto _ : state) preview.Refresh();
  CheckShown(state, preview.pane);
}
BENCHMARK(BM_RefreshShowingThePage)->Unit(benchmark::kMillisecond);

void BM_RefreshShowingTheMarkedText(benchmark::State& state) {
  PreviewAtTheCellLimit preview;
  preview.pane.Views->Tabs->setCurrentWidget(preview.pane.Views->OutputText);
  for (auto _ : state) preview.Refresh();
  CheckShown(state, preview.pane);
}
BENCHMARK(BM_RefreshShowingTheMarkedText)->Unit(benchmark::kMillisecond);

// An output far past what the preview makes: 32,767 repetitions of a body
// of 2,000 units and the seven fields, some 66 million units, of which the
// preview makes the first 8 million and shows the start.
void BM_RefreshPastTheOutputLimit(benchmark::State& state) {
  PreviewAtTheCellLimit preview;
  std::u16string body(2000, u'x');
  for (int f = 1; f <= kFields; ++f) body += u"<!-- 項目" + DecimalText(f) + u" -->";
  preview.dir.Write("catalogue.html", EncodeText(u"<!-- BeginRepeat 32767 --><p>" + body + u"</p><!-- EndRepeat -->",
                                                 TextEncoding::Utf8));
  for (auto _ : state) preview.Refresh();
  if (!preview.pane.result() || !preview.pane.result()->expansion.cut) state.SkipWithError("the output was not cut");
}
BENCHMARK(BM_RefreshPastTheOutputLimit)->Unit(benchmark::kMillisecond);

void BM_RefreshOnALayoutBomb(benchmark::State& state) {
  const LayoutBomb bomb = LayoutBombs().at(static_cast<std::size_t>(state.range(0)));
  state.SetLabel(bomb.name);
  PreviewAtTheCellLimit preview;
  preview.dir.Write("catalogue.html", bomb.html.toStdString());
  for (auto _ : state) preview.Refresh();
}
BENCHMARK(BM_RefreshOnALayoutBomb)
    ->Name("LayoutBomb")
    ->DenseRange(0, static_cast<int>(LayoutBombs().size()) - 1)
    ->Unit(benchmark::kMillisecond);

// The part without a window: the expansion, the marks' second expansion
// and the unfilled placeholders.
void BM_ExpandForPreview(benchmark::State& state) {
  const SheetArray array = SampleArray(kRecords, kFields);
  const std::u16string templ = Catalogue();
  const PreviewLimits limits;
  for (auto _ : state)
    benchmark::DoNotOptimize(ExpandForPreview(templ, array, kFields, limits.outputUnits, limits.textUnits));
}
BENCHMARK(BM_ExpandForPreview)->Unit(benchmark::kMillisecond);

}  // namespace
