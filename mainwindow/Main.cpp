#include "mainwindow/Main.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QResizeEvent>
#include <QTimer>
#include <QToolBar>

#include "commondialog/C_CommonDialog.h"
#include "commondialog/DesktopOpener.h"
#include "commondialog/ErrorGuard.h"
#include "convert/preview/PreviewPane.h"
#include "mainwindow/CellContentsBox.h"
#include "mainwindow/CellEditor.h"
#include "mainwindow/Fonts.h"
#include "mainwindow/Icons.h"
#include "mainwindow/RangeClipboard.h"
#include "mainwindow/SheetEditCommands.h"
#include "mainwindow/StatusLine.h"
#include "mainwindow/WindowCommands.h"
#include "sheet/document/SheetDocument.h"
#include "sheet/grid/GridControl.h"
#include "sheet/grid/KeyCodes.h"
#include "sheet/grid/Twips.h"

namespace quillary {

namespace {

// Placement in twips: the grid sits under the toolbar, 30 from the left.
constexpr int kToolbarHeight = 420;
constexpr int kGridLeft = 30;
constexpr int kGridTop = 420;
constexpr int kText1Left = 30;
constexpr int kText1Height = 1395;
constexpr int kClientWidth = 7800;
constexpr int kClientHeight = 5205;

// The initial sheet's geometry in twips.
constexpr int kDataColumnWidth = 2000;
constexpr int kRowHeight = 250;

}  // namespace

Main::Main(Services services, SettingsStore* settings, QWidget* parent)
    : QMainWindow(parent), services_(services), document_(new SheetDocument(this)) {
  setWindowTitle(QStringLiteral("Quillary"));
  setWindowIcon(ProgramIcon());
  if (!services_.desktop) {
    ownDesktop_ = std::make_unique<QtDesktopOpener>();
    services_.desktop = ownDesktop_.get();
  }
  FileDialog = std::make_unique<C_CommonDialog>(services_.dialogBackend);
  CreateControls();
  commands_ = std::make_unique<WindowCommands>(*document_, *fg2, *editor_, *FileDialog, services_, settings, this,
                                               [this](QDialog& dialog) { ShowModalDialog(dialog); });
  CreateMenus();
  CreateToolbar();
  ConnectGrid();
  ConnectHistory();
  Form_Load();
  // The client area under the menu bar, and the status line under it.
  resize(TwipsToPixelsX(kClientWidth, this),
         TwipsToPixelsY(kClientHeight, this) + menuBar()->sizeHint().height() + status_->minimumHeight());
  Form_Resize();
  CreatePreview();
}

Main::~Main() {
  // Whatever observes the document goes before it, and no event of a
  // control may reach a handler from here on: the dialogs, the editor, the
  // preview, then the controls.
  commands_.reset();
  delete editor_;
  delete preview_;
  Text1->viewport()->removeEventFilter(this);
  txtEdit->removeEventFilter(this);
  fg2->disconnect(this);
  document_->disconnect(this);
  delete Client;
}

void Main::ShowModalDialog(QDialog& dialog) { dialog.exec(); }

void Main::CreateControls() {
  Client = new QWidget(this);
  Client->setObjectName(QStringLiteral("Client"));
  setCentralWidget(Client);

  Toolbar1 = new QToolBar(Client);
  Toolbar1->setObjectName(QStringLiteral("Toolbar1"));

  // Created in the tab order: Text1, fg2, txtEdit.
  Text1 = new CellContentsBox(Client);
  Text1->setObjectName(QStringLiteral("Text1"));

  fg2 = new GridControl(*document_, 1, 1, Client);
  fg2->setObjectName(QStringLiteral("fg2"));
  fg2->setFont(GothicFont());

  txtEdit = new QLineEdit(Client);
  txtEdit->setObjectName(QStringLiteral("txtEdit"));
  txtEdit->setFont(GothicFont());
  // A cell may hold far more than a line edit's default 32,767 characters.
  txtEdit->setMaxLength(std::numeric_limits<int>::max());
  txtEdit->setFrame(false);
  txtEdit->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid #202020; padding: 0px; }"));
  txtEdit->hide();
  txtEdit->raise();

  setTabOrder(Text1, fg2);
  setTabOrder(fg2, txtEdit);

  status_ = new StatusLine(*services_.desktop, services_.messageBox, this);
  setStatusBar(status_);

  editor_ = new CellEditor(*fg2, *txtEdit, *Text1, services_.messageBox, this);
  setAcceptDrops(true);
  for (QWidget* box : {static_cast<QWidget*>(Text1->viewport()), static_cast<QWidget*>(txtEdit)})
    box->installEventFilter(this);
  clipboard_ = std::make_unique<RangeClipboard>(*fg2, *editor_, services_.messageBox);
  sheetEdits_ = std::make_unique<SheetEditCommands>(*fg2, *editor_, services_.messageBox);
}

void Main::Form_Load() {
  fg2->move(TwipsToPixelsX(kGridLeft, this), TwipsToPixelsY(kGridTop, this));
  Text1->move(TwipsToPixelsX(kText1Left, this), Text1->y());
  Text1->resize(Text1->width(), TwipsToPixelsY(kText1Height, this));

  // The initial sheet: 11 x 6, labelled, data cells empty.
  fg2->SetSheet(MakeInitialSheet());
  for (int col = fg2->FixedCols(); col < fg2->Cols(); ++col) {
    fg2->SetColWidth(col, kDataColumnWidth);
    fg2->SetColAlignment(col, GridControl::Alignment::LeftTop);
  }
  fg2->SetColAlignment(0, GridControl::Alignment::CenterTop);
  for (int row = 0; row < fg2->Rows(); ++row) fg2->SetRowHeight(row, kRowHeight);

  editor_->fg2_RowColChange();
  editor_->PlaceOverlayEditor();

  FileDialog->SetHwndOwner(static_cast<std::int32_t>(winId()));
  fg2->setFocus();
}

void Main::Form_Resize() {
  const QRect frame = frameGeometry();
  const int w = PixelsToTwipsX(frame.width(), this);
  const int h = PixelsToTwipsY(frame.height(), this);
  LayOut(w, h);
  // The status line sits in the band under the box; where the band is
  // narrower, the grid and the box move up by what it lacks.
  if (!status_->isVisible()) return;
  const int lacking = Text1->geometry().bottom() + 1 - Client->height();
  if (lacking > 0) LayOut(w, h - PixelsToTwipsY(lacking, this));
}

void Main::ScheduleStatus() {
  if (std::exchange(statusDue_, true)) return;
  QTimer::singleShot(0, this, [this] {
    statusDue_ = false;
    Guarded([this] { ShowStatus(); });
  });
}

void Main::ShowStatus() {
  const GridSelection s = fg2->Selection();
  status_->ShowSheet({document_->fileName(), document_->fileEncoding(), document_->CheckModify(), s.row, s.col,
                      s.Bottom() - s.Top() + 1, s.Right() - s.Left() + 1});
}

void Main::LayOut(int w, int h) {
  Toolbar1->setGeometry(0, 0, Client->width(), TwipsToPixelsY(kToolbarHeight, this));
  const int width = std::max(0, TwipsToPixelsX(w - 180, this));
  const int gridHeight = h >= 2600 ? TwipsToPixelsY(h - 2600, this) : fg2->height();
  fg2->resize(width, gridHeight);
  Text1->setGeometry(Text1->x(), TwipsToPixelsY(h - 2120, this), width, TwipsToPixelsY(kText1Height, this));
}

void Main::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  Guarded([this] { Form_Resize(); });
}

void Main::closeEvent(QCloseEvent* event) {
  // Unsaved changes are asked about as New and Open ask; anything going
  // wrong while asking keeps the window, and with it the sheet.
  bool mayClose = false;
  Guarded([&] { mayClose = commands_->MayClose(); });
  if (!mayClose) {
    event->ignore();
    return;
  }
  // The Convert dialog goes with the window.
  Guarded([this] { commands_->CloseDialogs(); });
  event->accept();
}

void Main::ExitAll_Click() {
  if (close()) QCoreApplication::quit();
}

void Main::keyPressEvent(QKeyEvent* event) {
  // Only keys that no control took arrive here; the editing controls never
  // hand a key on to the window, whatever they did with it.
  QWidget* focus = QApplication::focusWidget();
  const bool fromEditingControl =
      focus && (focus == Text1 || focus == txtEdit || focus == fg2 || fg2->isAncestorOf(focus));
  if (fromEditingControl) {
    event->accept();
    return;
  }
  const int keyCode = KeyCodeOf(*event);
  const int shift = ShiftStateOf(event->modifiers());
  Guarded([&] { Form_KeyDown(keyCode, shift); });
  event->accept();
}

void Main::Form_KeyDown(int keyCode, int /*shift*/) {
  if (keyCode == kKeyR) Action("Convert").trigger();
}

void Main::OpenNamed(const QString& fileName) {
  Guarded([&] { commands_->documents().OpenNamed(fileName); });
}

void Main::Guarded(const std::function<void()>& handler) { RunGuarded(services_.messageBox, handler); }

}  // namespace quillary
