#pragma once
// The main window: menu bar, toolbar, the grid fg2 that shows the sheet, the
// cell-contents box Text1 under it and the overlay editor txtEdit laid over
// the current cell while it is edited. It owns SheetArray, the saved sheet
// image and the file dialog object for the whole run.
//
// The commands that live in their own classes are reached through
// MainCommands (SetCommands); the window itself does the layout, the menus,
// the grid's keys and pop-ups and the in-cell editing.

#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

#include <QMainWindow>
#include <QString>

#include "mainwindow/MainCommands.h"
#include "mainwindow/Services.h"
#include "platform/TextEncoding.h"
#include "sheet/Sheet.h"
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
class GridControl;

class Main : public QMainWindow {
  Q_OBJECT

 public:
  explicit Main(Services services, QWidget* parent = nullptr);
  ~Main() override;

  // Until set, every command does nothing.
  void SetCommands(std::unique_ptr<MainCommands> commands);
  MainCommands& commands() { return *commands_; }
  Services services() const { return services_; }

  // Shows a modal dialog owned by the window and returns when it has closed.
  // Tests replace it so that no dialog blocks.
  virtual void ShowModalDialog(QDialog& dialog);

  // ---- the window's state ----
  quillary::SheetArray& sheetArray() { return sheetArray_; }
  SheetImage& savedImage() { return savedImage_; }
  // The encoding the next Save writes (the 文字コード menu shows and sets it).
  TextEncoding& fileEncoding() { return fileEncoding_; }
  // The encoding of the file SheetArray was last opened from or saved to.
  TextEncoding& sheetArrayEncoding() { return sheetArrayEncoding_; }
  C_CommonDialog& fileDialog() { return *FileDialog; }

  // The flat cell index row * Cols + col, 16-bit as the files count it.
  int Fgi(int row, int col) const;
  // True when the grid differs from the saved sheet image.
  bool CheckModify() const;
  void TakeSavedImage();

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
  void ExitAll_Click();
  void Copy_Click();
  void Cut_Click();
  void Paste_Click();
  void SheetResize_Click();
  void FieldEdit_Click();
  void Convert_Click();
  void Version_Click();
  void EditField_Click();
  void Resize_Click();
  // Runs the handler of the button with this key; any other key does nothing.
  void Toolbar1_ButtonClick(const QString& key);

  // ---- range operations (the selection as ColSel, RowSel, Col, Row) ----
  void CopyGrid(int c1, int r1, int c2, int r2);
  void CutGrid(int c1, int r1, int c2, int r2);
  void DelGrid(int c1, int r1, int c2, int r2);
  void PastGrid();

  // ---- grid input ----
  void fg2_KeyPress(int keyAscii);
  // An input-method commit: an edit that starts with the whole text.
  void fg2_KeyPressText(const QString& text);
  void fg2_KeyDown(int keyCode, int shift);
  void fg2_MouseDown(int button, int shift, int x, int y);

  // ---- in-cell editing ----
  void EditGridCell(GridControl& grid, QLineEdit& edit, int keyAscii);
  // True when the key was one of the editor's own (Tab, Esc, Up, Down) and
  // is used up.
  bool EditKeyCode(GridControl& grid, QLineEdit& edit, int keyCode, int shift);
  void GridClick(GridControl& grid, CellContentsBox& box);
  void PlaceOverlayEditor();
  // Lays the editor over the current cell and gives it the focus.
  void ShowOverlayEditor(QLineEdit& edit);
  void CommitCellEdit();
  // An edit is pending exactly while the overlay editor is shown.
  bool EditPending() const;
  // Shows a cell's stored text in the cell-contents box (markers become line
  // breaks through the mirror), as entering a cell does.
  void SetText1Text(const SharedText& cellText);
  // What a commit writes: the editor's text and the rest of a long cell that
  // the editors do not hold.
  std::u16string EditedCellText() const;

  bool txtEdit_KeyDown(int keyCode, int shift);
  // True when the character was handled here instead of being typed.
  bool txtEdit_KeyPress(int keyAscii);
  void txtEdit_Change();
  void Text1_Change();
  void Text1_GotFocus();
  void fg2_DblClick();
  void fg2_EnterCell();
  void fg2_RowColChange();
  void fg2_GotFocus();
  void fg2_LeaveCell();
  void fg2_Scroll();

  int EditAnchorRow() const { return editAnchorRow_; }
  int EditAnchorCol() const { return editAnchorCol_; }

  // ---- controls, named as the handlers call them ----
  QWidget* Client;  // the area under the menu bar; holds everything below
  QToolBar* Toolbar1;
  GridControl* fg2;
  CellContentsBox* Text1;
  QLineEdit* txtEdit;

  QMenu* File;
  QAction* New;
  QAction* Open;
  QAction* Save;
  QMenu* Encoding;  // 文字コード: one checkable item per encoding
  QAction* bar1;
  QAction* ExitAll;
  QMenu* Edit;
  QAction* Copy;
  QAction* Cut;
  QAction* Paste;
  QMenu* EditSheet;
  QAction* SheetResize;
  QAction* FieldEdit;
  QAction* Convert;
  QAction* Version;
  QMenu* ContextField;  // pop-up only, never in the menu bar
  QAction* EditField;
  QAction* Resize;

  // The toolbar's buttons in order, separators left out.
  const std::vector<QToolButton*>& ToolbarButtons() const { return toolbarButtons_; }

 protected:
  // Shows a pop-up menu at a point on the screen. Tests replace it.
  virtual void ShowPopup(QMenu& menu, const QPoint& globalPosition);

  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  void CreateMenus();
  void CreateToolbar();
  void CreateEncodingMenu();
  // Checks the item of the encoding the next Save writes.
  void ShowFileEncoding();
  void ConnectGrid();
  void ConnectEditors();

  // Runs a handler so that no exception leaves it.
  void Guarded(const std::function<void()>& handler);
  // Connects a signal to a handler run through Guarded.
  template <typename Sender, typename Signal, typename Handler>
  void ConnectGuarded(Sender* sender, Signal signal, Handler handler);

  // The editor's and the box's texts as the program sets them; a text equal
  // to the one held changes nothing.
  void SetEditorText(QLineEdit& edit, const QString& text);
  // The start of a cell's text that the editors hold (all of an ordinary
  // one); the rest is held aside until the commit.
  QString EditedStart(const SharedText& cellText);
  // No rest: the editors hold all of what will be committed.
  void HoldNoRest(qsizetype total);
  void SetBoxText(CellContentsBox& box, const QString& text);
  void OnEditorTextChanged();
  void OnBoxTextChanged();

  // Hides the overlay editor without handing its focus to the next control
  // in the tab order.
  void HideOverlayEditor(QLineEdit& edit);
  // Focus to the grid, which commits a pending edit; the commit is done here
  // when the focus change did not reach the grid (an inactive window).
  // letEventsRun: pending events are processed first (Up and Down).
  void FocusGridAndCommit(bool letEventsRun = false);
  // Moves the current cell by one step if it stays on the sheet.
  void StepColumnRight();

  Services services_;
  std::unique_ptr<MainCommands> commands_;
  quillary::SheetArray sheetArray_;
  SheetImage savedImage_;
  TextEncoding fileEncoding_ = TextEncoding::Cp932;
  TextEncoding sheetArrayEncoding_ = TextEncoding::Cp932;
  QActionGroup* encodingItems_ = nullptr;
  std::unique_ptr<C_CommonDialog> FileDialog;
  std::vector<QToolButton*> toolbarButtons_;

  // The part of a long cell beyond what the editors hold: the cell's text
  // as it was, and where that part begins.
  SharedText heldCell_;
  qsizetype heldFrom_ = 0;
  int editAnchorRow_ = 0;
  int editAnchorCol_ = 0;
  // Set while the program itself changes an editor's or the box's text.
  bool settingText_ = false;
  // The box the user is typing in while its change is mirrored; the mirror
  // never writes into it, so its caret stays where the user put it.
  QObject* typingIn_ = nullptr;
};

template <typename Sender, typename Signal, typename Handler>
void Main::ConnectGuarded(Sender* sender, Signal signal, Handler handler) {
  connect(sender, signal, this, [this, handler](const auto&... args) {
    Guarded([&] {
      if constexpr (std::is_invocable_v<Handler, decltype(args)...>)
        handler(args...);
      else
        handler();
    });
  });
}

}  // namespace quillary
