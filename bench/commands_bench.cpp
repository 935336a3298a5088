// Open, Save and Convert of a sheet at the cell limit (4096 x 8: field names
// and 4095 records of 7 fields) through the real command objects, with the
// file dialog and the message box answered by script.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>

#include "convert/dialog/Conv.h"
#include "convert/dialog/ConvertCommand.h"
#include "sheet/commands/CommandWindow.h"
#include "support/SampleSheet.h"
#include "support/TempDir.h"

using namespace quillary;
using namespace quillary::testing;

namespace {

constexpr int kRows = 4096;
constexpr int kCols = 8;

Sheet FullSheet() { return SampleSheet(kRows - 1, kCols - 1); }

// Every record once through a repeat block that names all seven fields
// ("項目1" .. "項目7" in the code page).
std::string FullTemplate() {
  std::string body;
  for (int c = 1; c < kCols; ++c) body += "<td><!-- \x8d\x80\x96\xda" + std::to_string(c) + " --></td>";
  return "<table>\r\n<!-- BeginRepeat " + std::to_string(kRows - 1) + " rows -->\r\n<tr>" + body +
         "</tr>\r\n<!-- EndRepeat -->\r\n</table>\r\n";
}

void BM_Save(benchmark::State& state) {
  TempDir dir;
  CommandWindow window;
  window.Load(FullSheet());
  const QString file = Q(dir / "full.csv");
  for (auto _ : state) {
    window.backend.AcceptPath(file);
    window.commands.Save_Click();
  }
  if (!window.messageBox.calls.empty()) state.SkipWithError("Save refused");
}

void BM_Open(benchmark::State& state) {
  TempDir dir;
  CommandWindow window;
  window.Load(FullSheet());
  const QString file = Q(dir / "full.csv");
  window.backend.AcceptPath(file);
  window.commands.Save_Click();
  for (auto _ : state) {
    window.backend.AcceptPath(file);
    window.commands.Open_Click();
  }
  if (!window.messageBox.calls.empty() || window.fg2.Rows() != kRows) state.SkipWithError("Open refused");
}

void BM_Convert(benchmark::State& state) {
  TempDir dir;
  CommandWindow window;
  window.Load(FullSheet());
  window.SetSheetArray(SheetArray::FromSheet(window.fg2.sheet()));
  const QString templ = Q(dir.Write("template.html", FullTemplate()));
  const QString output = Q(dir / "out.html");
  ConvertCommand convert(window.document, window, window.commands, window.services, nullptr, [&](Conv& conv) {
    conv.Text1->setText(templ);
    conv.Text2->setText(output);
    conv.OKButton_Click();  // the overwrite question answers Yes
  });
  for (auto _ : state) {
    convert.Convert_Click();
    window.messageBox.calls.clear();
  }
  if (ReadBytes(dir / "out.html").size() < 100000) state.SkipWithError("Convert wrote too little");
}

BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Convert)->Unit(benchmark::kMillisecond);

}  // namespace
