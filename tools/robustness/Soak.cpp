// quillary-soak [ACTIONS [SEED]]
// Drives the real main window, headless, with seeded random user actions:
// keys and characters, moves and selections, the range commands, resize,
// field names, New, Open, Save and Convert into a temporary folder. After
// each action the sheet must be within the cell limit, the grid must show
// the sheet, and no modal dialog may wait. Exits 1 on the first finding.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "SoakWindow.h"
#include "fakes/FakeCommonDialogBackend.h"
#include "mainwindow/CellContentsBox.h"
#include "support/Controls.h"

namespace quillary::robustness {
namespace {

struct Action {
  const char* name;
  int weight;
  std::function<void()> run;
};

class Soak {
 public:
  Soak(std::uint64_t seed, const QDir& dir)
      : in_(seed), messages_(in_), window_(Services{messages_, backend_}, in_, dir), dir_(dir) {}

  bool Start() {
    window_.show();
    QApplication::setActiveWindow(&window_);
    return QTest::qWaitForWindowActive(&window_);
  }

  // Runs one action and returns what is wrong afterwards (empty if nothing).
  QString Step() {
    int roll = in_.Below(totalWeight_);
    const Action* action = &actions_.front();
    for (const Action& a : actions_)
      if ((roll -= a.weight) < 0) {
        action = &a;
        break;
      }
    ++counts_[action->name];
    last_ = action->name;
    action->run();
    QApplication::processEvents();
    return Check();
  }

  const char* last() const { return last_; }
  long long largest() const { return largest_; }
  int messages() const { return messages_.shown; }
  const std::map<std::string, int>& counts() const { return counts_; }
  const SoakWindow& window() const { return window_; }

 private:
  GridControl& grid() { return window_.sheetGrid(); }
  QWidget* Focused() {
    QWidget* focus = QApplication::focusWidget();
    return focus ? focus : &window_.sheetGrid();
  }

  void Key() {
    using K = Qt::Key;
    // clang-format off
    static const std::vector<std::pair<K, Qt::KeyboardModifiers>> keys = {
        {K::Key_Return, {}},      {K::Key_Return, Qt::ControlModifier}, {K::Key_Tab, {}},
        {K::Key_Escape, {}},      {K::Key_Up, {}},    {K::Key_Down, {}},  {K::Key_Left, {}},
        {K::Key_Right, {}},       {K::Key_Right, Qt::ShiftModifier},    {K::Key_Down, Qt::ShiftModifier},
        {K::Key_Delete, {}},      {K::Key_Backspace, {}},               {K::Key_Home, {}},
        {K::Key_End, Qt::ControlModifier},    {K::Key_PageDown, {}},    {K::Key_C, Qt::ControlModifier},
        {K::Key_X, Qt::ControlModifier},      {K::Key_V, Qt::ControlModifier},
        {K::Key_P, Qt::ControlModifier},      {K::Key_J, Qt::ControlModifier},  {K::Key_R, {}}};
    // clang-format on
    const auto& [key, modifiers] = in_.Pick(keys);
    QTest::keyClick(Focused(), key, modifiers);
  }

  void Type() {
    static const std::vector<char> characters = {'a', 'Z', '1', '|', ',', '"', ' ', '<', '-'};
    QTest::keyClick(Focused(), in_.Pick(characters));
  }

  // Text as an input method commits it (key clicks carry ASCII only).
  void Commit() {
    QInputMethodEvent event;
    event.setCommitString(in_.OneIn(2) ? QStringLiteral("日本") : SomeText(in_));
    QApplication::sendEvent(Focused(), &event);
  }

  // Open and Save ask the file dialog; New and Open may ask to save first.
  void QueueFileAnswers(bool forOpen) {
    backend_.fileAnswers.clear();
    for (int i = 0; i < 2; ++i) {
      const int pick = in_.Below(10);
      if (pick < 2) {
        backend_.Cancel();
      } else if (pick == 2) {
        backend_.AcceptPath(dir_.filePath(QStringLiteral("no/such/folder.csv")));
      } else if (forOpen && i == 0 && pick < 6) {
        backend_.AcceptPath(GeneratedFile());
      } else {
        backend_.AcceptPath(dir_.filePath(QStringLiteral("sheet%1.csv").arg(in_.Below(3))));
      }
    }
  }

  QString GeneratedFile() {
    const QString file = dir_.filePath(QStringLiteral("generated.csv"));
    std::ofstream out(file.toStdString(), std::ios::binary);
    if (in_.OneIn(10)) {
      out << EncodeCodePage(in_.SheetAtLimit());
    } else {
      out << "a,b\r\n" << in_.CsvBytes();
    }
    return file;
  }

  QString Check() {
    const Sheet& sheet = grid().sheet();
    const int rows = sheet.Rows(), cols = sheet.Cols();
    const long long cells = sheet.CellCount();
    largest_ = std::max(largest_, cells);
    if (!FitsSheetLimits(rows, cols))
      return QStringLiteral("the sheet is %1 x %2, over the limits").arg(rows).arg(cols);
    if (grid().model()->rowCount() != rows - 1 || grid().model()->columnCount() != cols - 1 ||
        grid().horizontalHeader()->count() != cols - 1 || grid().verticalHeader()->count() != rows - 1)
      return QStringLiteral("the grid's model or headings do not match the %1 x %2 sheet").arg(rows).arg(cols);
    if (rows > 1 && cols > 1) {
      const bool inside = grid().Row() >= 1 && grid().Row() < rows && grid().Col() >= 1 && grid().Col() < cols &&
                          grid().RowSel() >= 1 && grid().RowSel() < rows && grid().ColSel() >= 1 &&
                          grid().ColSel() < cols;
      const QModelIndex current = grid().selectionModel()->currentIndex();
      if (!inside || current.row() != grid().Row() - 1 || current.column() != grid().Col() - 1)
        return QStringLiteral("the current cell or the selection lies outside the data cells");
    }
    if (!sheet.Text(0, 0).empty()) return QStringLiteral("the corner cell holds text");
    // The row labels and the cells the grid draws: all of them on a small
    // sheet, on a big one the last rows and a sample (a sheet may hold a
    // million records).
    const int firstLabel = rows <= 5000 ? 1 : rows - 1000;
    for (int r = firstLabel; r < rows; ++r)
      if (sheet.Text(r, 0) != RowLabel(r)) return QStringLiteral("row %1 is labelled wrongly").arg(r);
    const int samples = cells <= 2000 ? static_cast<int>(cells) : 300;
    for (int i = 0; i < samples; ++i) {
      const bool every = samples == cells;
      const int r = every ? i / cols : in_.Below(rows), c = every ? i % cols : in_.Below(cols);
      const QString shown =
          r == 0 || c == 0
              ? grid().model()->headerData(r == 0 ? c - 1 : r - 1, r == 0 ? Qt::Horizontal : Qt::Vertical).toString()
              : grid().model()->index(r - 1, c - 1).data().toString();
      if ((r > 0 || c > 0) && shown.toStdU16String() != sheet.Text(r, c))
        return QStringLiteral("cell (%1, %2) is drawn as \"%3\"").arg(r).arg(c).arg(shown);
    }
    if (!messages_.unexpected.isEmpty()) return messages_.unexpected.takeFirst();
    if (QApplication::activeModalWidget()) return QStringLiteral("a modal dialog is waiting");
    return {};
  }

  RandomInputs in_;
  RandomMessageBox messages_;
  testing::FakeCommonDialogBackend backend_;
  SoakWindow window_;
  QDir dir_;
  const char* last_ = "";
  long long largest_ = 0;
  std::map<std::string, int> counts_;
  // clang-format off
  const std::vector<Action> actions_ = {
      {"type a character", 20, [this] { Type(); }},
      {"press a key", 25, [this] { Key(); }},
      {"commit input-method text", 4, [this] { Commit(); }},
      {"move the current cell", 8, [this] { in_.OneIn(2) ? grid().SetRow(in_.Below(grid().Rows() + 3) - 1) : grid().SetCol(in_.Below(grid().Cols() + 3) - 1); }},
      {"extend the selection", 6, [this] { in_.OneIn(2) ? grid().SetRowSel(in_.Below(grid().Rows() + 1)) : grid().SetColSel(in_.Below(grid().Cols() + 1)); }},
      {"double-click", 3, [this] { emit grid().DblClick(); }},
      {"right-click", 2, [this] { emit grid().MouseDown(2, 0, in_.Below(4000), in_.Below(1500)); }},
      {"click the cell box", 3, [this] { QTest::mouseClick(testing::Find<CellContentsBox>(window_, "Text1").viewport(), Qt::LeftButton); }},
      {"copy, cut, paste or delete from the menus", 8, [this] {
         static const std::vector<QString> keys = {QStringLiteral("Copy"), QStringLiteral("Cut"), QStringLiteral("Paste")};
         in_.OneIn(4) ? window_.rangeClipboard().Delete_Click()
                      : window_.Toolbar1_ButtonClick(in_.Pick(keys));
       }},
      {"resize the sheet", 3, [this] { testing::MenuItem(window_, "Resize").trigger(); }},
      {"edit the field names", 2, [this] { testing::MenuItem(window_, "FieldEdit").trigger(); }},
      {"new", 2, [this] { QueueFileAnswers(false); testing::MenuItem(window_, "New").trigger(); }},
      {"save", 2, [this] { QueueFileAnswers(false); testing::MenuItem(window_, "Save").trigger(); }},
      {"open", 2, [this] { QueueFileAnswers(true); testing::MenuItem(window_, "Open").trigger(); }},
      {"convert", 1, [this] { testing::MenuItem(window_, "Convert").trigger(); }},
      {"about box", 1, [this] { testing::MenuItem(window_, "Version").trigger(); }},
      {"resize the window", 1, [this] { window_.resize(200 + in_.Below(900), 150 + in_.Below(700)); }}};
  // clang-format on
  const int totalWeight_ = [this] {
    int total = 0;
    for (const Action& a : actions_) total += a.weight;
    return total;
  }();
};

}  // namespace
}  // namespace quillary::robustness

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const int actions = argc > 1 ? std::atoi(argv[1]) : 10000;
  const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
  QTemporaryDir dir;
  quillary::robustness::Soak soak(seed, QDir(dir.path()));
  if (!dir.isValid() || !soak.Start()) {
    std::fprintf(stderr, "quillary-soak: cannot start the window\n");
    return 2;
  }
  // A dialog shown for real runs its own event loop: this notices and stops.
  // A long command's progress is modal too, but closes by itself: only one
  // that stays for minutes is a finding.
  QTimer watchdog;
  QElapsedTimer working;
  QObject::connect(&watchdog, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    const bool progress = qobject_cast<QProgressDialog*>(modal) != nullptr;
    if (!progress) working.invalidate();
    if (!modal) return;
    if (progress) {
      if (!working.isValid()) working.start();
      if (working.elapsed() < 180000) return;
    }
    std::printf("FINDING seed %llu: %s after \"%s\"\n", static_cast<unsigned long long>(seed),
                progress ? "the work never ends" : "a modal dialog blocks", soak.last());
    std::fflush(stdout);
    std::_Exit(1);
  });
  watchdog.start(500);
  for (int i = 0; i < actions; ++i) {
    const QString finding = soak.Step();
    if (finding.isEmpty()) continue;
    std::printf("FINDING seed %llu action %d (\"%s\"): %s\n", static_cast<unsigned long long>(seed), i, soak.last(),
                finding.toLocal8Bit().constData());
    return 1;
  }
  for (const auto& [name, count] : soak.counts()) std::printf("%8d  %s\n", count, name.c_str());
  std::printf(
      "%d actions from seed %llu: %d dialogs driven, %d message boxes, %d pop-ups, largest sheet %lld cells;"
      " no findings\n",
      actions, static_cast<unsigned long long>(seed), soak.window().dialogs, soak.messages(), soak.window().popups,
      soak.largest());
  return 0;
}
