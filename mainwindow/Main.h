#pragma once
// The main window: menu bar, toolbar Toolbar1, the grid fg2 that shows the
// sheet, the cell-contents box Text1 under it and the overlay editor txtEdit
// laid over the current cell while it is edited. It owns SheetArray, the
// clip record and the file dialog object for the whole run; the sheet
// itself is the grid's document, which keeps the history of Undo and Redo.
//
// Its handlers are the ones the menus, toolbar, pop-ups and keys call; each
// hands the work to the object that does it: the in-cell editor, the range
// clipboard, the sheet document, or (through MainCommands) the commands
// that open files and dialogs.

#include <functional>
#include <memory>
#include <vector>

#include <QMainWindow>
#include <QString>

#include "commondialog/ErrorGuard.h"
#include "mainwindow/MainCommands.h"
#include "mainwindow/RangeClipboard.h"
#include "mainwindow/Services.h"
#include "platform/TextEncoding.h"
#include "sheet/SheetArray.h"

class QAction;
class QActionGroup;
class QDialog;
class QLineEdit;
class QMenu;
class QToolBar;
class QToolButton;

namespace quillary {

class C_CommonDialog;
class CellContentsBox;
class CellEditor;
class StatusLine;
class DesktopOpener;
struct ConversionDone;
struct PagesDone;
class GridControl;
class SheetDocument;
class SheetEditCommands;
class FindReplace;
class PreviewPane;

class Main : public QMainWindow {
  Q_OBJECT

 public:
  explicit Main(Services services, QWidget* parent = nullptr);
  ~Main() override;

  // Until set, the commands behind the seam do nothing.
  void SetCommands(std::unique_ptr<MainCommands> commands);
  Services services() const { return services_; }

  // Shows a modal dialog owned by the window and returns when it has closed.
  // Tests replace it so that no dialog blocks.
  virtual void ShowModalDialog(QDialog& dialog);

  // ---- what the commands work on ----
  GridControl& sheetGrid() const { return *fg2; }
  SheetDocument& document() const;
  CellEditor& cellEditor() const { return *editor_; }
  quillary::SheetArray& sheetArray() { return sheetArray_; }
  // The encoding the next Save writes (the 文字コード menu shows and sets it).
  TextEncoding& fileEncoding();
  // The encoding of the file SheetArray was last opened from or saved to.
  TextEncoding& sheetArrayEncoding() { return sheetArrayEncoding_; }
  C_CommonDialog& fileDialog() { return *FileDialog; }
  const ClipRecord& clipRecord() const { return clipboard_->record(); }

  // The flat cell index row * Cols + col, 16-bit as the files count it.
  int Fgi(int row, int col) const;
  // True when the sheet differs from the one last opened or saved.
  bool CheckModify() const;

  // ---- start-up and layout ----
  void Form_Load();
  // Lays the controls out from the window's outer size.
  void Form_Resize();
  // The layout for an outer size of w x h twips.
  void LayOut(int w, int h);
  void Form_KeyDown(int keyCode, int shift);

  // ---- menus and toolbar ----
  void New_Click();
  void Open_Click();
  void Save_Click();
  // Opens a file named from outside (the command line, a drop) as Open does.
  void OpenNamed(const QString& fileName);
  void ExitAll_Click();
  void Copy_Click();
  void Cut_Click();
  void Paste_Click();
  // A pending cell edit is committed first, so Undo takes it back too.
  void Undo_Click();
  void Redo_Click();
  // Rows and columns of the selection, the records' order, a paste of
  // another program's cells, and the find bar.
  void InsertRows_Click();
  void DeleteRows_Click();
  void InsertCols_Click();
  void DeleteCols_Click();
  void SortAscending_Click();
  void SortDescending_Click();
  void PasteExternal_Click();
  void Find_Click();
  void Replace_Click();
  void SheetResize_Click();
  void FieldEdit_Click();
  void Convert_Click();
  // Converts with the last conversion's template and output, no dialog.
  void ConvertAgain_Click();
  void Pages_Click();
  // Shows or hides the live preview beside the window.
  void Preview_Click();
  void Version_Click();
  // Opens the installed user guide with the desktop's default application.
  void Help_Click();
  void EditField_Click();
  void Resize_Click();
  // The status line tells what a conversion wrote.
  void ShowConversionDone(const ConversionDone& done);
  void ShowPagesDone(const PagesDone& done);
  // The status line shows the sheet's state once the current event is
  // handled (many changes, one update).
  void ScheduleStatus();
  // Runs the handler of the button with this key; any other key does nothing.
  void Toolbar1_ButtonClick(const QString& key);

  // ---- range operations (the selection as ColSel, RowSel, Col, Row) ----
  void CopyGrid(int c1, int r1, int c2, int r2);
  void CutGrid(int c1, int r1, int c2, int r2);
  void DelGrid(int c1, int r1, int c2, int r2);
  void PastGrid();

  // ---- the grid's events ----
  void fg2_KeyPress(int keyAscii);
  // An input-method commit: an edit that starts with the whole text.
  void fg2_KeyPressText(const QString& text);
  void fg2_KeyDown(int keyCode, int shift);
  void fg2_MouseDown(int button, int shift, int x, int y);
  void fg2_DblClick();
  void fg2_EnterCell();
  void fg2_RowColChange();
  void fg2_GotFocus();
  void fg2_LeaveCell();
  void fg2_Scroll();
  // Writes a pending overlay edit into the current cell.
  void CommitCellEdit();

  // The toolbar's buttons in order, separators left out.
  const std::vector<QToolButton*>& ToolbarButtons() const { return toolbarButtons_; }

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
  void CreateEditMenu();
  void CreateToolbar();
  void CreateEncodingMenu();
  // The 表示 menu and the preview it shows (PreviewDock.cpp).
  void CreatePreview();
  // Checks the item of the encoding the next Save writes.
  void ShowFileEncoding();
  void ConnectGrid();
  // The find and replace window, made the first time it is asked for.
  FindReplace& FindWindow();
  // The history's state shows in Undo and Redo, the sheet's in the status line.
  void ConnectHistory();
  void ShowStatus();
  // Runs Undo or Redo and selects the cells it changed.
  void StepThroughHistory(const std::function<void()>& step);

  // Runs a handler so that no exception leaves it.
  void Guarded(const std::function<void()>& handler);
  // Connects a signal to a handler run through Guarded.
  template <typename Sender, typename Signal, typename Handler>
  void ConnectGuarded(Sender* sender, Signal signal, Handler handler);

  Services services_;
  std::unique_ptr<MainCommands> commands_;
  quillary::SheetArray sheetArray_;
  TextEncoding sheetArrayEncoding_ = TextEncoding::Cp932;
  std::unique_ptr<C_CommonDialog> FileDialog;
  // The desktop's own when the services bring none.
  std::unique_ptr<DesktopOpener> ownDesktop_;

  // ---- controls, named as the handlers call them ----
  QWidget* Client;  // the area under the menu bar; holds everything below
  QToolBar* Toolbar1;
  GridControl* fg2;
  CellContentsBox* Text1;
  QLineEdit* txtEdit;
  std::vector<QToolButton*> toolbarButtons_;

  QMenu* File;
  QMenu* Encoding;  // 文字コード: one checkable item per encoding
  QActionGroup* encodingItems_ = nullptr;
  QMenu* Edit;  // also the data cells' pop-up
  QAction* Undo;
  QAction* Redo;
  QMenu* ContextField;  // the field-name row's pop-up, never in the menu bar
  StatusLine* status_;
  bool statusDue_ = false;

  CellEditor* editor_;  // a child of the window
  std::unique_ptr<RangeClipboard> clipboard_;
  std::unique_ptr<SheetEditCommands> sheetEdits_;
  FindReplace* findReplace_ = nullptr;  // a child of the window once shown
  PreviewPane* preview_ = nullptr;      // a window of its own, a child of this one
};

template <typename Sender, typename Signal, typename Handler>
void Main::ConnectGuarded(Sender* sender, Signal signal, Handler handler) {
  quillary::ConnectGuarded(services_.messageBox, sender, signal, this, handler);
}

}  // namespace quillary
