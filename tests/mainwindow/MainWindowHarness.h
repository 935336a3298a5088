#pragma once
// A main window over fakes for the window's tests: the actions it triggers
// are logged, pop-up menus and modal dialogs are recorded instead of shown,
// and nothing blocks.

#include <QtTest>

#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <memory>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

#include "fakes/FakeCommonDialogBackend.h"
#include "fakes/FakeDesktopOpener.h"
#include "fakes/FakeMessageBox.h"
#include "mainwindow/CellContentsBox.h"
#include "mainwindow/CellEditor.h"
#include "mainwindow/Main.h"
#include "mainwindow/RangeClipboard.h"
#include "mainwindow/WindowCommands.h"
#include "sheet/document/SheetDocument.h"
#include "sheet/grid/GridControl.h"
#include "support/Controls.h"

namespace quillary::testing {

class TestMain : public Main {
 public:
  using Main::dropEvent;
  using Main::eventFilter;
  using Main::Main;

  struct Popup {
    QMenu* menu;
    QPoint at;
  };

  void ShowModalDialog(QDialog& dialog) override {
    dialogs << dialog.windowTitle();
    if (onModal) onModal(dialog);
  }
  // What the user does in a modal dialog before it closes (nothing: closed at once).
  std::function<void(QDialog&)> onModal;

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

  // The commands as the user starts them: through their actions.
  void Run(const char* action) { Action(action).trigger(); }
  void CopyGrid(int c1, int r1, int c2, int r2) { rangeClipboard().CopyGrid(c1, r1, c2, r2); }
  void CommitCellEdit() { cellEditor().CommitCellEdit(); }
  bool CheckModify() const { return document().CheckModify(); }
  // What the status line shows after a conversion, as the commands report it.
  void ShowConversionDone(const ConversionDone& done) { emit commands().Converted(done); }
  void ShowPagesDone(const PagesDone& done) { emit commands().PagesWritten(done); }
  QList<QToolButton*> ToolbarButtons() const { return Toolbar1()->findChildren<QToolButton*>(); }

  QStringList dialogs;
  std::vector<Popup> popups;
};

struct MainWindowHarness {
  // Logs "<action>_Click" for every action triggered, once it has run.
  explicit MainWindowHarness(SettingsStore* settings = nullptr) : settingsStore(settings) {
    for (QAction* action : window.findChildren<QAction*>()) {
      if (action->objectName().isEmpty() || action->isSeparator()) continue;
      QObject::connect(action, &QAction::triggered, action,
                       [this, action] { log << action->objectName() + QStringLiteral("_Click"); });
    }
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
  // The commands started since the last call.
  QStringList Take() { return std::exchange(log, {}); }

  FakeMessageBox messageBox;
  FakeCommonDialogBackend backend;
  FakeDesktopOpener desktop;
  QStringList log;
  SettingsStore* settingsStore;
  TestMain window{Services{messageBox, backend, &desktop}, settingsStore};
};

}  // namespace quillary::testing
