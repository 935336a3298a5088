// The sheet dialogs on the largest sheets: resizing from the initial sheet to
// the cell limit and back through the resize dialog's OK, and opening the
// field-name editor on a sheet of 4,000 fields.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/FieldEditor.h"
#include "dialogs/ResizeOption.h"
#include "fakes/FakeMessageBox.h"
#include "sheet/Sheet.h"
#include "sheet/grid/GridControl.h"
#include "support/SampleSheet.h"

namespace {

using quillary::GridControl;
using quillary::testing::FakeMessageBox;

// What the main window does on the sheet command: a fresh dialog, the two
// counts typed, OK.
void ResizeThroughDialog(GridControl& sheet, FakeMessageBox& messages, QWidget& owner, int records, int fields) {
  quillary::ResizeOption dialog(sheet, messages, &owner);
  dialog.Text1->setText(QString::number(records));
  dialog.Text2->setText(QString::number(fields));
  dialog.OK->click();
}

void BM_ResizeToCellLimitAndBack(benchmark::State& state) {
  QWidget owner;
  FakeMessageBox messages;
  GridControl sheet(1, 1, &owner);
  sheet.SetSheet(quillary::MakeInitialSheet());
  for (auto _ : state) {
    ResizeThroughDialog(sheet, messages, owner, 4095, 7);  // 4096 x 8 = 32,768 cells
    ResizeThroughDialog(sheet, messages, owner, 10, 5);
  }
  if (sheet.Rows() != quillary::kInitialRows || !messages.calls.empty())
    state.SkipWithError("the resize did not apply");
}
BENCHMARK(BM_ResizeToCellLimitAndBack)->Unit(benchmark::kMillisecond);

void BM_OpenFieldEditorOn4000Fields(benchmark::State& state) {
  QWidget owner;
  FakeMessageBox messages;
  GridControl sheet(1, 1, &owner);
  sheet.SetSheet(quillary::testing::SampleSheet(1, 4000));
  for (auto _ : state) {
    quillary::FieldEditor dialog(sheet, messages, &owner);
    dialog.show();
    QApplication::processEvents();  // the first paint
    benchmark::DoNotOptimize(dialog.fg->Cols());
  }
}
BENCHMARK(BM_OpenFieldEditorOn4000Fields)->Unit(benchmark::kMillisecond);

void BM_FieldEditorOkOn4000Fields(benchmark::State& state) {
  QWidget owner;
  FakeMessageBox messages;
  GridControl sheet(1, 1, &owner);
  sheet.SetSheet(quillary::testing::SampleSheet(1, 4000));
  for (auto _ : state) {
    state.PauseTiming();
    quillary::FieldEditor dialog(sheet, messages, &owner);
    state.ResumeTiming();
    dialog.Command1->click();
  }
}
BENCHMARK(BM_FieldEditorOkOn4000Fields)->Unit(benchmark::kMillisecond);

}  // namespace
