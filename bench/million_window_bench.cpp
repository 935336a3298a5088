// The real main window over a million records of 8 fields (the file of
// million_bench, about 100 MB of UTF-8), offscreen unless QT_QPA_PLATFORM
// says otherwise. The sheet goes in as Open puts it: the document reset to
// the file's sheet, with the file's own array beside it. Each figure is one
// user action from the same starting place, with the events it raises
// handled and the window painted, the median of its repetitions:
//
// - on the first, the middle and the last record (at the last one each
//   goes up or back): a typed key (it opens the cell's editor), Ctrl+Enter
//   that commits the edit (Enter types a line break in the cell), an arrow,
//   PageDown, a wheel step, Shift+arrow, Shift+Ctrl+End and Ctrl+A;
// - Ctrl+End and Ctrl+Home;
// - 次を検索 from the first cell to a text only the last record holds;
// - Copy of every data cell to the system clipboard;
// - an edit, then the preview's refresh (a template that repeats over every
//   record; the preview makes only the page's start);
// - the field-name editor opened on a sheet of 16,384 fields;
// - Open of the file, from the command to the grid drawn with its sheet;
// - もう一度変換 of a template that repeats every field of every record.
//
// With the accessibility layer on, as for a screen reader (the counter
// `accessible` says whether it was), the figures include the platform's
// bridge sending each event to the reader and what the reader asks back.
// The offscreen platform has no bridge; xcb has one on a session bus:
//   dbus-run-session -- xvfb-run -a env QT_QPA_PLATFORM=xcb
//     QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 bench/million_window_bench

#include <benchmark/benchmark.h>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>
#include <QWindow>

#include "convert/dialog/Conv.h"
#include "convert/preview/PreviewPane.h"
#include "convert/preview/PreviewRefresh.h"
#include "dialogs/FindReplace.h"
#include "fakes/FakeCommonDialogBackend.h"
#include "fakes/FakeMessageBox.h"
#include "mainwindow/CellEditor.h"
#include "mainwindow/Main.h"
#include "mainwindow/WindowCommands.h"
#include "sheet/CsvDocument.h"
#include "sheet/document/SheetDocument.h"
#include "sheet/grid/GridControl.h"
#include "support/MillionCsv.h"
#include "support/TempDir.h"
#include "support/WidgetBenchMain.h"

using namespace quillary;
using namespace quillary::testing;

namespace {

constexpr int kFields = 8;
const QString kOnlyInTheLastRecord = QStringLiteral("最後のレコードだけにある文字");

// A modal dialog is shown and painted, answered by `answer` when one is set,
// then closed.
class BenchMain final : public Main {
 public:
  using Main::Main;
  void ShowModalDialog(QDialog& dialog) override {
    dialog.show();
    QApplication::processEvents();
    if (answer) answer(dialog);
  }
  std::function<void(QDialog&)> answer;
};

// A screen reader's part, where there is an accessibility bus: it asks the
// registry for the events a reader listens to, so that the platform's
// bridge sends them, and after each action reads the focused cell and the
// selection's counts (cells, whole records, whole fields) from the table's
// accessible interface.
class ScreenReader {
 public:
  ScreenReader() {
    const QDBusMessage address = QDBusConnection::sessionBus().call(
        QDBusMessage::createMethodCall("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress"));
    if (address.type() != QDBusMessage::ReplyMessage) return;
    bus_ = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(address.arguments().value(0).toString(), QStringLiteral("reader")));
    for (const char* event : {"object:", "focus:", "window:"})
      bus_->call(QDBusMessage::createMethodCall("org.a11y.atspi.Registry", "/org/a11y/atspi/registry",
                                                "org.a11y.atspi.Registry", "RegisterEvent")
                 << QString::fromLatin1(event));
  }
  ~ScreenReader() {
    if (bus_) QDBusConnection::disconnectFromBus(QStringLiteral("reader"));
  }
  static void Read(QWidget& grid) {
    if (!QAccessible::isActive()) return;
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&grid);
    if (QAccessibleInterface* cell = table->focusChild()) benchmark::DoNotOptimize(cell->text(QAccessible::Name));
    if (QAccessibleTableInterface* cells = table->tableInterface()) {
      benchmark::DoNotOptimize(cells->selectedCellCount());
      benchmark::DoNotOptimize(cells->selectedRowCount());
      benchmark::DoNotOptimize(cells->selectedColumnCount());
    }
  }

 private:
  std::unique_ptr<QDBusConnection> bus_;
};

// The window on the screen with a sheet put in as Open puts it.
struct Window {
  explicit Window(Sheet sheet, SheetArray array = SheetArray(), TextEncoding encoding = TextEncoding::Utf8) {
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed()) QApplication::processEvents();
    QApplication::setActiveWindow(&window);
    window.document().fileEncoding() = encoding;
    window.document().Reset(std::move(sheet));
    window.document().SetSheetArray(std::move(array), encoding);
    window.cellEditor().ShowCurrentCell();
    grid().SetFocus();
    Settle();
  }

  GridControl& grid() { return window.sheetGrid(); }
  // What the event raised is handled and the window drawn.
  static void Settle() { QApplication::processEvents(); }
  // The same, and what a screen reader asks then.
  void Answer() {
    Settle();
    ScreenReader::Read(grid());
  }

  void Place(int row) {
    grid().SetRow(row);
    grid().SetCol(1);
    Settle();
  }
  void Key(QWidget& target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(&target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(&target, &release);
  }
  void Wheel(int steps) {
    QWidget& viewport = *grid().viewport();
    const QPointF at(viewport.width() / 2.0, viewport.height() / 2.0);
    QWheelEvent wheel(at, viewport.mapToGlobal(at), QPoint(), QPoint(0, -120 * steps), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&viewport, &wheel);
  }
  QLineEdit& cellEditor() { return *window.findChild<QLineEdit*>(QStringLiteral("txtEdit")); }

  FakeMessageBox messageBox;
  FakeCommonDialogBackend backend;
  BenchMain window{Services{messageBox, backend}};
};

// The million-record window, made once for every benchmark that uses it.
std::unique_ptr<ScreenReader> reader;
std::unique_ptr<Window> million;

Window& Million() {
  if (!million) {
    reader = std::make_unique<ScreenReader>();
    LoadedCsv loaded = LoadCsvFile(MillionCsv());
    Sheet sheet = SheetFromFile(loaded);
    million = std::make_unique<Window>(std::move(sheet), std::move(loaded.array), loaded.encoding);
    // The bridge to the screen reader comes up over the session bus.
    QDeadlineTimer wait(qEnvironmentVariableIsSet("QT_LINUX_ACCESSIBILITY_ALWAYS_ON") ? 5000 : 0);
    while (!QAccessible::isActive() && !wait.hasExpired()) QApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  return *million;
}

// Each figure the median of single runs, in milliseconds.
template <int repetitions>
void MediansOf(benchmark::internal::Benchmark* figure) {
  figure->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(repetitions)->ReportAggregatesOnly(true);
}

enum class Action { Type, Commit, Move, Page, Wheel, Select, SelectToEnd, SelectAll };
constexpr std::array<const char*, 8> kActionNames = {"type",  "commit",      "arrow",          "page",
                                                     "wheel", "shift_arrow", "shift_ctrl_end", "ctrl_a"};
constexpr std::array<int, 3> kPlaces = {1, kMillionRecords / 2, kMillionRecords};

// Puts back what the action changed; what went wrong, if anything.
const char* Undo(Window& w, Action action, int row) {
  if (action == Action::Type) {
    if (w.cellEditor().isHidden()) return "the key opened no editor";
    w.Key(w.cellEditor(), Qt::Key_Escape);
  }
  if (action == Action::Commit) {
    if (w.grid().TextMatrix(row, 1) != QStringLiteral("a")) return "Ctrl+Enter committed nothing";
    w.window.document().Undo();
  }
  Window::Settle();
  return nullptr;
}

void BM_Key(benchmark::State& state) {
  const auto action = static_cast<Action>(state.range(0));
  const int row = kPlaces.at(static_cast<std::size_t>(state.range(1)));
  const bool up = row == kMillionRecords;
  Window& w = Million();
  state.SetLabel(kActionNames.at(static_cast<std::size_t>(state.range(0))));
  state.counters["accessible"] = QAccessible::isActive();
  for (auto _ : state) {
    state.PauseTiming();
    w.Place(row);
    if (action == Action::Commit) {
      w.Key(w.grid(), Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
      Window::Settle();
    }
    state.ResumeTiming();
    switch (action) {
      case Action::Type: w.Key(w.grid(), Qt::Key_A, Qt::NoModifier, QStringLiteral("a")); break;
      case Action::Commit: w.Key(w.cellEditor(), Qt::Key_Return, Qt::ControlModifier); break;
      case Action::Move: w.Key(w.grid(), up ? Qt::Key_Up : Qt::Key_Down); break;
      case Action::Page: w.Key(w.grid(), up ? Qt::Key_PageUp : Qt::Key_PageDown); break;
      case Action::Wheel: w.Wheel(up ? -1 : 1); break;
      case Action::Select: w.Key(w.grid(), up ? Qt::Key_Up : Qt::Key_Down, Qt::ShiftModifier); break;
      case Action::SelectToEnd:
        w.Key(w.grid(), up ? Qt::Key_Home : Qt::Key_End, Qt::ShiftModifier | Qt::ControlModifier);
        break;
      case Action::SelectAll: w.Key(w.grid(), Qt::Key_A, Qt::ControlModifier); break;
    }
    w.Answer();
    state.PauseTiming();
    if (const char* failure = Undo(w, action, row)) {
      state.SkipWithError(failure);
      break;
    }
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Key)
    ->ArgNames({"action", "first0_middle1_last2"})
    ->ArgsProduct({benchmark::CreateDenseRange(0, 7, 1), {0, 1, 2}})
    ->Apply(MediansOf<15>);

// Ctrl+End from the first cell, Ctrl+Home from the last.
void BM_JumpToTheEnd(benchmark::State& state) {
  const bool home = state.range(0) == 1;
  Window& w = Million();
  state.counters["accessible"] = QAccessible::isActive();
  for (auto _ : state) {
    state.PauseTiming();
    w.Place(home ? kMillionRecords : 1);
    state.ResumeTiming();
    w.Key(w.grid(), home ? Qt::Key_Home : Qt::Key_End, Qt::ControlModifier);
    w.Answer();
  }
  if (w.grid().Row() != (home ? 1 : kMillionRecords)) state.SkipWithError("the jump missed");
}
BENCHMARK(BM_JumpToTheEnd)->ArgName("end0_home1")->DenseRange(0, 1)->Apply(MediansOf<15>);

void BM_FindNextInTheLastRecord(benchmark::State& state) {
  Window& w = Million();
  w.grid().SetTextMatrix(kMillionRecords, kFields, kOnlyInTheLastRecord);
  w.window.commands().Find_Click();
  auto& find = *w.window.findChild<FindReplace*>();
  find.findChild<QLineEdit*>(QStringLiteral("FindText"))->setText(kOnlyInTheLastRecord);
  for (auto _ : state) {
    state.PauseTiming();
    w.Place(1);
    state.ResumeTiming();
    find.FindNext_Click();
    Window::Settle();
  }
  if (w.grid().Row() != kMillionRecords) state.SkipWithError("not found");
  find.hide();
  w.window.document().Undo();
}
BENCHMARK(BM_FindNextInTheLastRecord)->Apply(MediansOf<5>);

void BM_CopyEveryCell(benchmark::State& state) {
  Window& w = Million();
  for (auto _ : state) {
    state.PauseTiming();
    QApplication::clipboard()->clear();
    w.grid().selectAll();
    Window::Settle();
    state.ResumeTiming();
    w.window.Action("Copy").trigger();
    Window::Settle();
  }
  state.counters["clipboard_MUnits"] = QApplication::clipboard()->text().size() / 1e6;
  w.Place(1);
}
BENCHMARK(BM_CopyEveryCell)->Apply(MediansOf<3>);

// Every field of every record in a table row.
std::string Catalogue() {
  std::string row;
  for (const char* name : {"番号", "商品名", "分類", "価格", "在庫", "住所", "コード", "説明"})
    row += std::string("<td><!-- ") + name + " --></td>";
  return "<html><body><table>\r\n<!-- BeginRepeat * -->\r\n<tr>" + row +
         "</tr>\r\n<!-- EndRepeat -->\r\n</table></body></html>\r\n";
}

void BM_PreviewAfterAnEdit(benchmark::State& state) {
  Window& w = Million();
  const TempDir dir;
  auto& pane = *w.window.findChild<PreviewPane*>();
  pane.SetTemplateName(QString::fromStdString(dir.Write("catalogue.html", Catalogue()).string()));
  pane.ShowBeside();
  Window::Settle();
  int edits = 0;
  for (auto _ : state) {
    w.grid().SetTextMatrix(1, 1, QString::number(++edits));
    pane.refresh().RefreshNow();
    Window::Settle();
  }
  if (!pane.result() || !pane.result()->HasOutput() || pane.result()->expansion.summary.filled == 0) {
    state.SkipWithError("the preview shows no page");
  } else {
    state.counters["filled"] = static_cast<double>(pane.result()->expansion.summary.filled);
    state.counters["output_units"] = static_cast<double>(pane.result()->expansion.text.size());
  }
  pane.hide();
  while (w.window.document().CanUndo()) w.window.document().Undo();
}
BENCHMARK(BM_PreviewAfterAnEdit)->Apply(MediansOf<5>);

// A field-name row and one record of 16,384 fields.
void BM_FieldEditorAtTheFieldLimit(benchmark::State& state) {
  Sheet sheet(2, kMaxCols);
  LabelSheet(sheet);
  Window w(std::move(sheet));
  for (auto _ : state) w.window.commands().FieldEdit_Click();
}
BENCHMARK(BM_FieldEditorAtTheFieldLimit)->Apply(MediansOf<3>);

void BM_OpenToADrawnGrid(benchmark::State& state) {
  const QString file = QString::fromStdString(MillionCsv().string());
  for (auto _ : state) {
    state.PauseTiming();
    Window w{Sheet(2, 2)};
    state.ResumeTiming();
    w.backend.AcceptPath(file);
    w.window.commands().documents().Open_Click();
    w.grid().viewport()->repaint();
    Window::Settle();
    state.PauseTiming();
    if (w.grid().Rows() != kMillionRecords + 1 || !w.messageBox.calls.empty()) state.SkipWithError("Open refused");
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenToADrawnGrid)->Apply(MediansOf<3>);

// Convert through its dialog once; then the figure: もう一度変換, which
// converts the same pair again without asking.
void BM_ConvertEveryRecord(benchmark::State& state) {
  Window& w = Million();
  const TempDir dir;
  const QString templ = QString::fromStdString(dir.Write("catalogue.html", Catalogue()).string());
  const std::filesystem::path output = dir / "catalogue-out.html";
  w.window.answer = [&](QDialog& dialog) {
    auto& conv = static_cast<Conv&>(dialog);
    conv.Text1->setText(templ);
    conv.Text2->setText(QString::fromStdString(output.string()));
    conv.OKButton_Click();
  };
  w.window.commands().Convert_Click();
  w.window.answer = nullptr;
  for (auto _ : state) {
    w.window.commands().ConvertAgain_Click();
    Window::Settle();
  }
  std::error_code error;
  state.counters["output_MB"] = static_cast<double>(std::filesystem::file_size(output, error)) / 1e6;
  if (error || std::filesystem::file_size(output) < kMillionRecords) state.SkipWithError("Convert wrote too little");
  w.messageBox.calls.clear();
}
BENCHMARK(BM_ConvertEveryRecord)->Apply(MediansOf<3>);

}  // namespace

int main(int argc, char** argv) {
  return RunWidgetBenchmarks(argc, argv, [] {
    million.reset();
    reader.reset();
  });
}
