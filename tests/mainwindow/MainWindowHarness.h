#pragma once
// A main window over fakes for the window's tests: its commands only record
// that they were started, pop-up menus and modal dialogs are recorded
// instead of shown, and nothing blocks.

#include <QtTest>

#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <initializer_list>
#include <memory>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

#include "fakes/FakeCommonDialogBackend.h"
#include "fakes/FakeMessageBox.h"
#include "mainwindow/CellContentsBox.h"
#include "mainwindow/Main.h"
#include "mainwindow/MainCommands.h"
#include "sheet/GridControl.h"

namespace quillary::testing {

// Writes one line per command started, e.g. "CopyRange 3 4 2 2".
class RecordingCommands : public MainCommands {
 public:
  explicit RecordingCommands(QStringList& log) : log_(log) {}

  void NewSheet() override { Record("NewSheet"); }
  void OpenSheet() override { Record("OpenSheet"); }
  void SaveSheet() override { Record("SaveSheet"); }
  void CopyRange(int c1, int r1, int c2, int r2) override { Record("CopyRange", {c1, r1, c2, r2}); }
  void CutRange(int c1, int r1, int c2, int r2) override { Record("CutRange", {c1, r1, c2, r2}); }
  void DeleteRange(int c1, int r1, int c2, int r2) override { Record("DeleteRange", {c1, r1, c2, r2}); }
  void PasteRange() override { Record("PasteRange"); }
  void ConvertSheet() override { Record("ConvertSheet"); }
  void ResizeSheet() override { Record("ResizeSheet"); }
  void EditFieldNames() override { Record("EditFieldNames"); }
  void CloseDialogs() override { Record("CloseDialogs"); }


  // The next command started throws this instead of recording; "memory"
  // throws std::bad_alloc, as running out of memory does.
  QString failWith;

 private:
  void Record(const char* name, std::initializer_list<int> args = {}) {
    if (failWith == u"memory") {
      failWith.clear();
      throw std::bad_alloc();
    }
    if (!failWith.isEmpty()) throw std::runtime_error(std::exchange(failWith, QString()).toStdString());
    QString line = QLatin1String(name);
    for (const int arg : args) line += u' ' + QString::number(arg);
    log_ << line;
  }

  QStringList& log_;
};

class TestMain : public Main {
 public:
  using Main::Main;

  struct Popup {
    QMenu* menu;
    QPoint at;
  };

  void ShowModalDialog(QDialog& dialog) override { dialogs << dialog.windowTitle(); }
  void ShowPopup(QMenu& menu, const QPoint& globalPosition) override { popups.push_back({&menu, globalPosition}); }

  QStringList dialogs;
  std::vector<Popup> popups;
};

struct MainWindowHarness {
  MainWindowHarness() {
    auto recording = std::make_unique<RecordingCommands>(log);
    commands = recording.get();
    window.SetCommands(std::move(recording));
  }

  // Shows the window and makes it the active one, so that focus changes
  // raise their events.
  bool ShowActive() {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return false;
    QApplication::setActiveWindow(&window);
    return QTest::qWaitForWindowActive(&window);
  }
  // Gives a control the focus and waits until it has it.
  static bool Focus(QWidget* w) {
    w->setFocus();
    return QTest::qWaitFor([w] { return w->hasFocus(); });
  }
  // The window shown and active, the grid focused on (row, col) holding text.
  bool FocusCell(int row, int col, const QString& text = QString()) {
    if (!ShowActive()) return false;
    grid().SetTextMatrix(row, col, text);
    Select(row, col, row, col);
    return Focus(&grid());
  }
  // Types at the end of the cell-contents box, which opens an edit there.
  bool TypeInBox(const QString& keys) {
    if (!Focus(window.Text1)) return false;
    window.Text1->moveCursor(QTextCursor::End);
    QTest::keyClicks(window.Text1, keys);
    return true;
  }
  // Back into the grid, which commits a pending edit.
  bool BackToGrid() { return Focus(&grid()) && !Editing(); }

  void Select(int row, int col, int rowSel, int colSel) {
    grid().SetRow(row);
    grid().SetCol(col);
    grid().SetRowSel(rowSel);
    grid().SetColSel(colSel);
  }
  GridControl& grid() const { return *window.fg2; }
  QString Cell(int row, int col) const { return grid().TextMatrix(row, col); }
  bool Editing() const { return !window.txtEdit->isHidden(); }
  // The commands started since the last call.
  QStringList Take() { return std::exchange(log, {}); }

  FakeMessageBox messageBox;
  FakeCommonDialogBackend backend;
  QStringList log;
  TestMain window{Services{messageBox, backend}};
  RecordingCommands* commands = nullptr;
};

}  // namespace quillary::testing
