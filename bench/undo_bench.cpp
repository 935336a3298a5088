// Undo and Redo at the cell limit, in a grid shown on screen (offscreen)
// so that the view's own work on each change is counted: a paste that
// fills the whole sheet, and a resize from the initial sheet to the limit.

#include <benchmark/benchmark.h>

#include <QApplication>

#include "sheet/document/SheetDocument.h"
#include "sheet/grid/GridControl.h"
#include "support/SampleSheet.h"

using namespace quillary;
using namespace quillary::testing;

namespace {

constexpr int kRows = 4096;  // 4096 x 8 = the 32,768-cell limit
constexpr int kCols = 8;

// A range text for every data cell.
QString FullRangeText() {
  QString text;
  for (int r = 1; r < kRows; ++r) {
    for (int c = 1; c < kCols; ++c) text += QString::fromStdU16String(SampleValue(r, c)) + u'\t';
    text += u'\r';
  }
  return text;
}

struct ShownGrid {
  ShownGrid() {
    grid.resize(900, 600);
    grid.show();
    QApplication::processEvents();
  }
  GridControl grid{1, 1};
};

// One Undo and one Redo per iteration (a step is half the time), each
// with the repaint it causes.
void RunUndoRedo(benchmark::State& state, SheetDocument& document) {
  for (auto _ : state) {
    document.Undo();
    QApplication::processEvents();
    document.Redo();
    QApplication::processEvents();
  }
}

void BM_UndoRedoPasteOfTheWholeSheet(benchmark::State& state) {
  ShownGrid shown;
  GridControl& grid = shown.grid;
  Sheet empty(kRows, kCols);
  LabelSheet(empty);
  grid.SetSheet(empty);
  grid.SetRow(1);
  grid.SetCol(1);
  grid.SetRowSel(kRows - 1);
  grid.SetColSel(kCols - 1);
  grid.SetClip(FullRangeText());
  if (grid.document().HistorySteps() != 1) state.SkipWithError("the paste is not one step");
  RunUndoRedo(state, grid.document());
}
BENCHMARK(BM_UndoRedoPasteOfTheWholeSheet)->Unit(benchmark::kMillisecond);

void BM_UndoRedoResizeToTheLimit(benchmark::State& state) {
  ShownGrid shown;
  GridControl& grid = shown.grid;
  grid.SetSheet(MakeInitialSheet());
  grid.Resize(kRows, kCols);
  if (grid.document().HistorySteps() != 1) state.SkipWithError("the resize is not one step");
  RunUndoRedo(state, grid.document());
}
BENCHMARK(BM_UndoRedoResizeToTheLimit)->Unit(benchmark::kMillisecond);

}  // namespace
