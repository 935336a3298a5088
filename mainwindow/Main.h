#pragma once
// The main window: menu bar, toolbar Toolbar1, the grid fg2 that shows the
// sheet, the cell-contents box Text1 under it and the overlay editor txtEdit
// laid over the current cell while it is edited. It creates the open file's
// SheetDocument first and hands it to the grid and to every command.
//
// It is wiring: every menu item, toolbar button, pop-up item and key of a
// command reaches the one function that does its work, on the object that
// does it (WindowCommands, SheetEditCommands, RangeClipboard, CellEditor).
// Its own handlers are the window's: start-up and layout, the keys and
// mouse buttons that reach the grid, the toolbar's dispatch and the exit.

#include <functional>
#include <memory>

#include <QMainWindow>
#include <QString>

#include "commondialog/ErrorGuard.h"
#include "commondialog/Services.h"

class QAction;
class QActionGroup;
class QDialog;
class QLineEdit;
class QMenu;
class QToolBar;

namespace quillary {

class C_CommonDialog;
class CellContentsBox;
class CellEditor;
class DesktopOpener;
class GridControl;
class PreviewPane;
class RangeClipboard;
class SettingsStore;
class SheetDocument;
class SheetEditCommands;
class StatusLine;
class WindowCommands;

class Main : public QMainWindow {
  Q_OBJECT

 public:
  // settings: where the last conversion of each CSV file is remembered
  // (none: a store of the window's own, for the run); it must outlive the
  // window.
  explicit Main(Services services, SettingsStore* settings = nullptr, QWidget* parent = nullptr);
  ~Main() override;

  const Services& services() const { return services_; }

  // Shows a modal dialog owned by the window and returns when it has closed.
  // Tests replace it so that no dialog blocks.
  virtual void ShowModalDialog(QDialog& dialog);

  // ---- what the commands work on ----
  SheetDocument& document() const { return *document_; }
  GridControl& sheetGrid() const { return *fg2; }
  CellEditor& cellEditor() const { return *editor_; }
  WindowCommands& commands() const { return *commands_; }
  RangeClipboard& rangeClipboard() const { return *clipboard_; }
  // The action of a command by its name (New, Open, ..., Convert): what its
  // menu item, toolbar button, pop-up item and keys trigger.
  QAction& Action(const char* name) const;

  // ---- start-up and layout ----
  void Form_Load();
  // Lays the controls out from the window's outer size.
  void Form_Resize();
  // The layout for an outer size of w x h twips.
  void LayOut(int w, int h);
  void Form_KeyDown(int keyCode, int shift);

  // Triggers the action of the button with this key; any other key does
  // nothing.
  void Toolbar1_ButtonClick(const QString& key);
  void ExitAll_Click();
  // Opens a file named from outside (the command line, a drop, the recent
  // files) as Open does, through the guard.
  void OpenNamed(const QString& fileName);

  // ---- the grid's keys and mouse buttons ----
  void fg2_KeyPress(int keyAscii);
  void fg2_KeyDown(int keyCode, int shift);
  void fg2_MouseDown(int button, int shift, int x, int y);

 signals:
  // The user chose the encoding the next Save writes.
  void FileEncodingChosen();

 protected:
  // Shows a pop-up menu at a point on the screen. Tests replace it.
  virtual void ShowPopup(QMenu& menu, const QPoint& globalPosition);

  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  // Files dropped on the text boxes open too, instead of typing their names.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  void CreateMenus();
  void CreateToolbar();
  void CreateEncodingMenu();
  // The 表示 menu and the preview it shows (PreviewDock.cpp).
  void CreatePreview();
  void Preview_Click();
  // Checks the item of the encoding the next Save writes.
  void ShowFileEncoding();
  void ConnectGrid();
  // The history's state shows in Undo and Redo, the sheet's in the status line.
  void ConnectHistory();
  // The status line shows the sheet's state once the current event is
  // handled (many changes, one update).
  void ScheduleStatus();
  void ShowStatus();

  // Runs a handler so that no exception leaves it.
  void Guarded(const std::function<void()>& handler);
  // Connects a signal to a handler run through Guarded.
  template <typename Sender, typename Signal, typename Handler>
  void ConnectGuarded(Sender* sender, Signal signal, Handler handler);

  Services services_;
  // The desktop's own when the services bring none.
  std::unique_ptr<DesktopOpener> ownDesktop_;
  // The open file; a child of the window, made before any control.
  SheetDocument* document_;
  std::unique_ptr<C_CommonDialog> FileDialog;

  // ---- controls, named as the handlers call them ----
  QWidget* Client;         // the area under the menu bar; holds everything below
  QToolBar* Toolbar1;      // the toolbar (its buttons trigger the actions)
  GridControl* fg2;        // the grid that shows the sheet
  CellContentsBox* Text1;  // the cell-contents box under the grid
  QLineEdit* txtEdit;      // the overlay editor over the current cell

  QMenu* File;
  QMenu* Encoding;  // 文字コード: one checkable item per encoding
  QActionGroup* encodingItems_ = nullptr;
  QMenu* Edit;          // also the data cells' pop-up
  QMenu* ContextField;  // the field-name row's pop-up, never in the menu bar
  StatusLine* status_;
  bool statusDue_ = false;

  CellEditor* editor_;  // a child of the window
  std::unique_ptr<RangeClipboard> clipboard_;
  std::unique_ptr<SheetEditCommands> sheetEdits_;
  std::unique_ptr<WindowCommands> commands_;
  PreviewPane* preview_ = nullptr;  // a window of its own, a child of this one
};

template <typename Sender, typename Signal, typename Handler>
void Main::ConnectGuarded(Sender* sender, Signal signal, Handler handler) {
  quillary::ConnectGuarded(services_.messageBox, sender, signal, this, handler);
}

}  // namespace quillary
