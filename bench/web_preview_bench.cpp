// One refresh of the live preview until its page is drawn, by the web
// engine when it starts (QUILLARY_WEB_MODULE_DIR names the engine's
// library; the build tree's lib/quillary), by the rich-text view when it
// does not (point the variable at a folder without it): the catalogue page
// at the cell limit (4,095 records of 7 fields) and at 1,000 records. The
// time is until the page is drawn; window_ms is what of it the window's
// thread spent at once (the conversion, the rich-text layout); CPU is all
// of this process's, the rest is the engine's, in its own processes.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "commondialog/Services.h"
#include "convert/preview/PreviewPane.h"
#include "convert/preview/PreviewRefresh.h"
#include "convert/preview/PreviewViews.h"
#include "convert/preview/web/PreviewWebPage.h"
#include "convert/preview/web/WebPreviewEngine.h"
#include "fakes/FakeCommonDialogBackend.h"
#include "fakes/FakeDesktopOpener.h"
#include "fakes/FakeMessageBox.h"
#include "sheet/document/SheetDocument.h"
#include "sheet/grid/GridControl.h"
#include "support/SampleSheet.h"
#include "support/TempDir.h"

using namespace quillary;
using namespace quillary::testing;

namespace {

constexpr int kFields = 7;

std::u16string Catalogue() {
  std::u16string row;
  for (int f = 1; f <= kFields; ++f) row += u"<td><!-- 項目" + DecimalText(f) + u" --></td>";
  return u"<html><head><meta charset=\"utf-8\"><link rel=stylesheet href=style.css></head><body>\r\n"
         u"<h1>商品一覧</h1>\r\n<table>\r\n<!-- BeginRepeat * 全件 -->\r\n<tr>" +
         row + u"</tr>\r\n<!-- EndRepeat -->\r\n</table>\r\n</body></html>\r\n";
}

void Wait(const std::function<bool()>& done) {
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (done()) loop.quit();
  });
  poll.start(1);
  QTimer::singleShot(120'000, &loop, &QEventLoop::quit);
  if (!done()) loop.exec();
}

void BM_RefreshUntilDrawn(benchmark::State& state) {
  TempDir dir;
  QWidget owner;
  GridControl sheet{1, 1, &owner};
  sheet.SetSheet(SampleSheet(static_cast<int>(state.range(0)), kFields));
  TextEncoding encoding = TextEncoding::Utf8;
  FakeCommonDialogBackend backend;
  FakeMessageBox messages;
  FakeDesktopOpener desktop;
  Services services{messages, backend, &desktop};
  PreviewPane pane{(sheet.document().fileEncoding() = encoding, sheet.document()), services, {}, {}, &owner};
  dir.Write("style.css", "td { border: 1px solid #999 } tr:nth-child(even) { background: #eee }");
  pane.SetTemplateName(QString::fromStdString(dir.Write("catalogue.html", EncodeText(Catalogue(), encoding)).string()));
  pane.resize(560, 600);
  pane.show();
  WebPreviewEngine& engine = WebPreviewEngine::Instance();
  Wait([&] { return engine.state() != WebPreviewEngine::State::Checking; });
  int drawn = 0;
  QObject::connect(pane.Views->PageTab, &PreviewWebPage::Loaded, &pane, [&] { ++drawn; });
  // A refresh until drawn; what of it the window's thread spent at once.
  const auto refresh = [&] {
    const int before = drawn;
    QElapsedTimer window;
    window.start();
    pane.refresh().RefreshNow();
    QApplication::processEvents();
    const double ms = double(window.nsecsElapsed()) / 1e6;
    if (pane.Views->PageTab->ShowsWeb()) Wait([&] { return drawn > before; });
    return ms;
  };
  // Once, not timed: the engine's first page starts its processes.
  refresh();
  double windowMs = 0;
  for (auto _ : state) windowMs += refresh();
  state.counters["window_ms"] = benchmark::Counter(windowMs, benchmark::Counter::kAvgIterations);
  state.counters["engine"] = pane.Views->PageTab->ShowsWeb() ? 1 : 0;
  state.counters["units"] = pane.result() ? double(pane.result()->expansion.text.size()) : 0;
}
BENCHMARK(BM_RefreshUntilDrawn)->Arg(1000)->Arg(4095)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
