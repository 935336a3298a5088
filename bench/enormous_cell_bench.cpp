// A cell of 10 MB and of 100 MB without a space in it, through the real
// main window (offscreen): Open, showing the cell, an edit, Save. Each step
// is one benchmark; the argument is the cell's size in MiB.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QWindow>

#include "fakes/FakeCommonDialogBackend.h"
#include "fakes/FakeMessageBox.h"
#include "mainwindow/CellContentsBox.h"
#include "mainwindow/Main.h"
#include "sheet/grid/GridControl.h"
#include "support/TempDir.h"

using namespace quillary;
using namespace quillary::testing;

namespace {

// The main window with the program's commands, shown, and a CSV file of two
// fields whose first record holds the enormous cell.
struct Scene {
  explicit Scene(const benchmark::State& state) {
    const std::string cell(static_cast<std::size_t>(state.range(0)) << 20, 'x');
    file = QString::fromStdString(dir.Write("big.csv", "name,note\r\n\"" + cell + "\",small\r\n").string());
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed()) QApplication::processEvents();
    window.sheetGrid().SetFocus();
  }

  void Open() {
    backend.AcceptPath(file);
    messageBox.Answer(MsgResult::No);  // a changed sheet is not saved
    window.Action("Open").trigger();
    QApplication::processEvents();
  }

  // The enormous cell becomes current: the box shows it, the grid is drawn.
  void ShowCell() {
    window.sheetGrid().SetRow(1);
    window.sheetGrid().SetCol(1);
    window.repaint();
    QApplication::processEvents();
  }

  void LeaveCell() {
    window.sheetGrid().SetCol(2);
    QApplication::processEvents();
  }

  TempDir dir;
  QString file;
  FakeMessageBox messageBox;
  FakeCommonDialogBackend backend;
  Main window{Services{messageBox, backend}};
};

void BM_OpenEnormousCell(benchmark::State& state) {
  Scene scene(state);
  for (auto _ : state) scene.Open();
  if (scene.window.sheetGrid().TextMatrix(1, 1).size() != state.range(0) << 20) state.SkipWithError("not opened");
}

void BM_ShowEnormousCell(benchmark::State& state) {
  Scene scene(state);
  scene.Open();
  for (auto _ : state) {
    scene.ShowCell();
    state.PauseTiming();
    scene.LeaveCell();
    state.ResumeTiming();
  }
}

// Space opens the cell in the editor, a key is typed at its start, and
// leaving the cell commits the whole of it.
void BM_EditEnormousCell(benchmark::State& state) {
  Scene scene(state);
  scene.Open();
  scene.ShowCell();
  for (auto _ : state) {
    scene.window.fg2_KeyPress(' ');
    scene.window.findChild<QLineEdit*>(QStringLiteral("txtEdit"))->setCursorPosition(0);
    scene.window.findChild<QLineEdit*>(QStringLiteral("txtEdit"))->insert(QStringLiteral("y"));
    QApplication::processEvents();
    scene.LeaveCell();
    state.PauseTiming();
    scene.ShowCell();
    state.ResumeTiming();
  }
  if (scene.window.sheetGrid().TextMatrix(1, 1).size() != (state.range(0) << 20) + state.iterations())
    state.SkipWithError("the edit lost text");
}

void BM_SaveEnormousCell(benchmark::State& state) {
  Scene scene(state);
  scene.Open();
  const QString saved = QString::fromStdString((scene.dir / "saved.csv").string());
  for (auto _ : state) {
    scene.backend.AcceptPath(saved);
    scene.window.Action("Save").trigger();
  }
  if (!scene.messageBox.calls.empty()) state.SkipWithError("Save refused");
}

BENCHMARK(BM_OpenEnormousCell)->Arg(10)->Arg(100)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowEnormousCell)->Arg(10)->Arg(100)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditEnormousCell)->Arg(10)->Arg(100)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveEnormousCell)->Arg(10)->Arg(100)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
