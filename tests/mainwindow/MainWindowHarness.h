#pragma once
// A main window over fakes for the window's tests: its commands only record
// that they were started, pop-up menus and modal dialogs are recorded
// instead of shown, and nothing blocks.

#include <QtTest>

#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>
#include <memory>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

#include "fakes/FakeCommonDialogBackend.h"
#include "fakes/FakeDesktopOpener.h"
#include "fakes/FakeMessageBox.h"
#include "mainwindow/CellContentsBox.h"
#include "mainwindow/Main.h"
#include "mainwindow/MainCommands.h"
#include "sheet/grid/GridControl.h"
#include "support/Controls.h"

namespace quillary::testing {

// Writes one line per command started, e.g. "Open_Click".
class RecordingCommands : public MainCommands {
 public:
  explicit RecordingCommands(QStringList& log) : log_(log) {}

  void New_Click() override { Record("New_Click"); }
  void Open_Click() override { Record("Open_Click"); }
  void Save_Click() override { Record("Save_Click"); }
  void OpenNamed(const QString& fileName) override { Record(QStringLiteral("OpenNamed ") + fileName); }
  void Convert_Click() override { Record("Convert_Click"); }
  void ConvertAgain_Click() override { Record("ConvertAgain_Click"); }
  void Pages_Click() override { Record("Pages_Click"); }
  void SheetResize_Click() override { Record("SheetResize_Click"); }
  void FieldEdit_Click() override { Record("FieldEdit_Click"); }
  void CloseDialogs() override { Record("CloseDialogs"); }


  // The next command started throws this instead of recording; "memory"
  // throws std::bad_alloc, as running out of memory does.
  QString failWith;

 private:
  void Record(const QString& name) {
    if (failWith == u"memory") {
      failWith.clear();
      throw std::bad_alloc();
    }
    if (!failWith.isEmpty()) throw std::runtime_error(std::exchange(failWith, QString()).toStdString());
    log_ << name;
  }

  QStringList& log_;
};

class TestMain : public Main {
 public:
  using Main::Main;
  using Main::dropEvent;
  using Main::eventFilter;

  struct Popup {
    QMenu* menu;
    QPoint at;
  };

  void ShowModalDialog(QDialog& dialog) override { dialogs << dialog.windowTitle(); }

  // The window's controls and menu items, found by name.
  QWidget* Client() const { return &Find(*this, "Client"); }
  QToolBar* Toolbar1() const { return &Find<QToolBar>(*this, "Toolbar1"); }
  GridControl* fg2() const { return &Find<GridControl>(*this, "fg2"); }
  CellContentsBox* Text1() const { return &Find<CellContentsBox>(*this, "Text1"); }
  QLineEdit* txtEdit() const { return &Find<QLineEdit>(*this, "txtEdit"); }
  QMenu* File() const { return &Find<QMenu>(*this, "File"); }
  QMenu* Encoding() const { return &Find<QMenu>(*this, "Encoding"); }
  QMenu* Edit() const { return &Find<QMenu>(*this, "Edit"); }
  QMenu* EditSheet() const { return &Find<QMenu>(*this, "EditSheet"); }
  QMenu* ContextField() const { return &Find<QMenu>(*this, "ContextField"); }
  QAction* Item(const char* name) const { return &MenuItem(*this, name); }
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
    if (!Focus(window.Text1())) return false;
    window.Text1()->moveCursor(QTextCursor::End);
    QTest::keyClicks(window.Text1(), keys);
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
  GridControl& grid() const { return *window.fg2(); }
  QString Cell(int row, int col) const { return grid().TextMatrix(row, col); }
  bool Editing() const { return !window.txtEdit()->isHidden(); }
  // What the range commands leave: the clip record's range and the texts of
  // rows 1..3, columns 1..3, e.g. "clip 1 2 3 3 | a,,|b,,|,,".
  QString RangeState() const {
    const ClipRecord& r = window.clipRecord();
    QString state = u"clip %1 %2 %3 %4 |"_qs.arg(r.left).arg(r.top).arg(r.right).arg(r.bottom);
    for (int row = 1; row <= 3; ++row)
      state += u' ' + QStringList{Cell(row, 1), Cell(row, 2), Cell(row, 3)}.join(u',');
    return state;
  }
  // The commands started since the last call.
  QStringList Take() { return std::exchange(log, {}); }

  FakeMessageBox messageBox;
  FakeCommonDialogBackend backend;
  FakeDesktopOpener desktop;
  QStringList log;
  TestMain window{Services{messageBox, backend, &desktop}};
  RecordingCommands* commands = nullptr;
};

}  // namespace quillary::testing
