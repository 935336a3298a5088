// The main window's menus, toolbar and the command each of them starts.

#include <optional>

#include <QAction>
#include <QItemSelectionModel>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include "commondialog/DesktopOpener.h"
#include "commondialog/UserGuide.h"
#include "dialogs/FindReplace.h"
#include "mainwindow/CellEditor.h"
#include "mainwindow/Icons.h"
#include "mainwindow/Main.h"
#include "mainwindow/SheetEditCommands.h"
#include "mainwindow/StatusLine.h"
#include "sheet/commands/CommandMessages.h"
#include "sheet/document/SheetDocument.h"
#include "sheet/grid/GridControl.h"
#include "sheet/grid/Twips.h"

namespace quillary {

namespace {

struct ToolbarEntry {
  const char16_t* key;  // nullptr: a separator
  const char16_t* toolTip;
  void (Main::*handler)();
};

// Left to right; Copy, Cut and Paste have no tooltip.
constexpr ToolbarEntry kToolbarButtons[] = {
    {u"New", u"新規作成", &Main::New_Click},
    {u"Open", u"開く", &Main::Open_Click},
    {u"Save", u"保存", &Main::Save_Click},
    {nullptr, nullptr, nullptr},
    {u"Copy", u"", &Main::Copy_Click},
    {u"Cut", u"", &Main::Cut_Click},
    {u"Paste", u"", &Main::Paste_Click},
    {nullptr, nullptr, nullptr},
    {u"Resize", u"グリッドのリサイズ", &Main::Resize_Click},
    {nullptr, nullptr, nullptr},
    {u"Convert", u"変換", &Main::Convert_Click},
};

QString Text(const char16_t* text) { return QString::fromUtf16(text); }

struct EncodingEntry {
  TextEncoding encoding;
  const char* name;  // the item's object name
};

constexpr EncodingEntry kEncodingItems[] = {
    {TextEncoding::Cp932, "EncodingCp932"},
    {TextEncoding::Utf8, "EncodingUtf8"},
    {TextEncoding::Utf8WithBom, "EncodingUtf8WithBom"},
};

}  // namespace

// Adds an item whose command runs through the guard. Window-wide shortcuts:
// the text boxes keep their own editing keys (Ctrl+C, Ctrl+Z ...) because
// they claim them before any shortcut.
void Main::CreateMenus() {
  const auto item = [this](QMenu* menu, const QString& caption, const char* name, void (Main::*handler)(),
                           const QList<QKeySequence>& shortcuts = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(shortcuts);
    ConnectGuarded(action, &QAction::triggered, [this, handler] { (this->*handler)(); });
    return action;
  };
  const auto ctrl = [](Qt::Key key) { return QList<QKeySequence>{QKeySequence(Qt::CTRL | key)}; };

  File = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  File->setObjectName(QStringLiteral("File"));
  item(File, QStringLiteral("新規作成(&N)"), "New", &Main::New_Click, ctrl(Qt::Key_N));
  item(File, QStringLiteral("開く(&O)"), "Open", &Main::Open_Click, ctrl(Qt::Key_O));
  item(File, QStringLiteral("保存(&S)"), "Save", &Main::Save_Click, ctrl(Qt::Key_S));
  CreateEncodingMenu();
  item(File, QStringLiteral("もう一度変換(&A)"), "ConvertAgain", &Main::ConvertAgain_Click,
       {QKeySequence(Qt::SHIFT | Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R)});
  // Beside もう一度変換 rather than in the bar, which keeps ヘルプ in sight at
  // the window's first width; Ctrl with Convert's F5.
  item(File, QStringLiteral("レコードごとに変換(&G)..."), "Pages", &Main::Pages_Click,
       {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G), QKeySequence(Qt::CTRL | Qt::Key_F5)})
      ->setToolTip(QStringLiteral("レコード 1 件ごとに 1 ファイルを書き出します"));
  File->addSeparator()->setObjectName(QStringLiteral("bar1"));
  item(File, QStringLiteral("終了(&X)"), "ExitAll", &Main::ExitAll_Click);

  Edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
  Edit->setObjectName(QStringLiteral("Edit"));
  // Undo and Redo first, where every editing program has them; then the
  // three range items in their order.
  Undo = item(Edit, QStringLiteral("元に戻す(&U)"), "Undo", &Main::Undo_Click, ctrl(Qt::Key_Z));
  Redo = item(Edit, QStringLiteral("やり直し(&R)"), "Redo", &Main::Redo_Click,
              {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  Edit->addSeparator();
  item(Edit, QStringLiteral("コピー(&C)"), "Copy", &Main::Copy_Click, ctrl(Qt::Key_C));
  item(Edit, QStringLiteral("切り取り(&X)"), "Cut", &Main::Cut_Click, ctrl(Qt::Key_X));
  item(Edit, QStringLiteral("張り付け(&P)"), "Paste", &Main::Paste_Click, ctrl(Qt::Key_P));
  // Never the access keys C, X, P of the range items (nor U, R).
  Edit->addSeparator();
  item(Edit, QStringLiteral("行の挿入(&I)"), "InsertRows", &Main::InsertRows_Click,
       {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus)});
  item(Edit, QStringLiteral("行の削除(&D)"), "DeleteRows", &Main::DeleteRows_Click, ctrl(Qt::Key_Minus));
  item(Edit, QStringLiteral("列の挿入(&J)"), "InsertCols", &Main::InsertCols_Click,
       {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Plus)});
  item(Edit, QStringLiteral("列の削除(&K)"), "DeleteCols", &Main::DeleteCols_Click,
       {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Minus)});
  Edit->addSeparator();
  item(Edit, QStringLiteral("昇順で並べ替え(&A)"), "SortAscending", &Main::SortAscending_Click);
  item(Edit, QStringLiteral("降順で並べ替え(&S)"), "SortDescending", &Main::SortDescending_Click);
  Edit->addSeparator();
  item(Edit, QStringLiteral("外部から張り付け(&V)"), "PasteExternal", &Main::PasteExternal_Click,
       {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V)});
  item(Edit, QStringLiteral("検索(&F)"), "Find", &Main::Find_Click, ctrl(Qt::Key_F));
  item(Edit, QStringLiteral("置換(&H)"), "Replace", &Main::Replace_Click, ctrl(Qt::Key_H));

  QMenu* editSheet = menuBar()->addMenu(QStringLiteral("シートの編集(&W)"));
  editSheet->setObjectName(QStringLiteral("EditSheet"));
  item(editSheet, QStringLiteral("シートの大きさの変更(&C)"), "SheetResize", &Main::SheetResize_Click);
  item(editSheet, QStringLiteral("フィールド名の編集(&E)"), "FieldEdit", &Main::FieldEdit_Click);

  // Items of the menu bar itself: a click runs the command.
  QAction* convert = menuBar()->addAction(QStringLiteral("変換(&R)"));
  convert->setObjectName(QStringLiteral("Convert"));
  // From anywhere in the window; R alone where no control takes it.
  convert->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_R), QKeySequence(Qt::Key_F5)});
  ConnectGuarded(convert, &QAction::triggered, [this] { Convert_Click(); });
  QAction* version = menuBar()->addAction(QStringLiteral("バージョン"));
  version->setObjectName(QStringLiteral("Version"));
  ConnectGuarded(version, &QAction::triggered, [this] { Version_Click(); });

  QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
  help->setObjectName(QStringLiteral("Help"));
  item(help, QStringLiteral("使い方(&H)"), "Guide", &Main::Help_Click, {QKeySequence(Qt::Key_F1)});

  ContextField = new QMenu(QStringLiteral("シートの編集(&W)"), this);
  ContextField->setObjectName(QStringLiteral("ContextField"));
  item(ContextField, QStringLiteral("フィールド名の編集(&E)"), "EditField", &Main::EditField_Click);
  item(ContextField, QStringLiteral("シートの大きさの変更(&C)"), "Resize", &Main::Resize_Click);
}

void Main::ConnectHistory() {
  SheetDocument& sheet = document();
  Undo->setEnabled(sheet.CanUndo());
  Redo->setEnabled(sheet.CanRedo());
  connect(&sheet, &SheetDocument::CanUndoChanged, Undo, &QAction::setEnabled);
  connect(&sheet, &SheetDocument::CanRedoChanged, Redo, &QAction::setEnabled);
  const auto schedule = [this] { ScheduleStatus(); };
  connect(&sheet, &SheetDocument::CellsChanged, this, schedule);
  connect(&sheet, &SheetDocument::Reshaped, this, schedule);
  connect(&sheet, &SheetDocument::StateChanged, this, schedule);
  // A conversion's report was about the sheet that went.
  connect(&sheet, &SheetDocument::Replaced, status_, &StatusLine::PutAwayConversion);
  ConnectGuarded(status_, &StatusLine::ConvertAgainClicked, [this] { ConvertAgain_Click(); });
  connect(fg2, &GridControl::RowColChange, this, schedule);
  connect(fg2->selectionModel(), &QItemSelectionModel::selectionChanged, this, schedule);
  ScheduleStatus();
}

void Main::CreateEncodingMenu() {
  Encoding = File->addMenu(QStringLiteral("文字コード(&E)"));
  Encoding->setObjectName(QStringLiteral("Encoding"));
  encodingItems_ = new QActionGroup(Encoding);
  for (const EncodingEntry& entry : kEncodingItems) {
    QAction* action = Encoding->addAction(EncodingLabel(entry.encoding));
    action->setObjectName(QString::fromLatin1(entry.name));
    action->setCheckable(true);
    action->setData(static_cast<int>(entry.encoding));
    encodingItems_->addAction(action);
    const TextEncoding encoding = entry.encoding;
    ConnectGuarded(action, &QAction::triggered, [this, encoding] {
      // A change of the file like any other: it asks to be saved, and Undo
      // takes it back.
      document().ChangeEncoding(encoding);
      emit FileEncodingChosen();
    });
  }
  // Open and New change the encoding too; the items follow when shown.
  connect(File, &QMenu::aboutToShow, this, [this] { ShowFileEncoding(); });
  connect(Encoding, &QMenu::aboutToShow, this, [this] { ShowFileEncoding(); });
  ShowFileEncoding();
}

void Main::ShowFileEncoding() {
  for (QAction* action : encodingItems_->actions())
    action->setChecked(action->data().toInt() == static_cast<int>(document().fileEncoding()));
}

void Main::CreateToolbar() {
  Toolbar1->setMovable(false);
  Toolbar1->setFloatable(false);
  const int iconSize = TwipsToPixelsY(300, this);
  Toolbar1->setIconSize(QSize(iconSize, iconSize));
  for (const ToolbarEntry& entry : kToolbarButtons) {
    if (!entry.key) {
      Toolbar1->addSeparator();
      continue;
    }
    const QString key = Text(entry.key);
    auto* button = new QToolButton(Toolbar1);
    button->setObjectName(key);
    button->setProperty("key", key);
    button->setIcon(ToolbarIcon(key));
    button->setToolTip(Text(entry.toolTip));
    button->setAccessibleName(key);
    button->setAutoRaise(true);
    // A click leaves the focus where the user works.
    button->setFocusPolicy(Qt::NoFocus);
    Toolbar1->addWidget(button);
    toolbarButtons_.push_back(button);
    ConnectGuarded(button, &QToolButton::clicked, [this, key] { Toolbar1_ButtonClick(key); });
  }
}

void Main::Toolbar1_ButtonClick(const QString& key) {
  for (const ToolbarEntry& entry : kToolbarButtons)
    if (entry.key && key == Text(entry.key)) return (this->*entry.handler)();
}

void Main::ShowPopup(QMenu& menu, const QPoint& globalPosition) { menu.exec(globalPosition); }

void Main::New_Click() { commands_->New_Click(); }
void Main::Open_Click() { commands_->Open_Click(); }
void Main::Save_Click() { commands_->Save_Click(); }
void Main::OpenNamed(const QString& fileName) { commands_->OpenNamed(fileName); }
void Main::Convert_Click() { commands_->Convert_Click(); }
void Main::ConvertAgain_Click() { commands_->ConvertAgain_Click(); }
void Main::Pages_Click() { commands_->Pages_Click(); }
void Main::SheetResize_Click() { commands_->SheetResize_Click(); }
void Main::Resize_Click() { commands_->SheetResize_Click(); }
void Main::FieldEdit_Click() { commands_->FieldEdit_Click(); }
void Main::EditField_Click() { commands_->FieldEdit_Click(); }

void Main::Copy_Click() { CopyGrid(fg2->ColSel(), fg2->RowSel(), fg2->Col(), fg2->Row()); }
void Main::Cut_Click() { CutGrid(fg2->ColSel(), fg2->RowSel(), fg2->Col(), fg2->Row()); }
void Main::Paste_Click() { PastGrid(); }

void Main::Undo_Click() {
  editor_->CommitCellEdit();
  StepThroughHistory([this] { document().Undo(); });
}

void Main::Redo_Click() {
  editor_->CommitCellEdit();
  StepThroughHistory([this] { document().Redo(); });
}

void Main::StepThroughHistory(const std::function<void()>& step) {
  // The cells taken back or brought again become the selection, so the user
  // sees what changed; a change of size keeps the selection as it is.
  std::optional<QRect> changed;
  const QMetaObject::Connection watch =
      connect(&document(), &SheetDocument::CellsChanged, this, [&](int top, int left, int bottom, int right) {
        const QRect cells(QPoint(left, top), QPoint(right, bottom));
        changed = changed ? changed->united(cells) : cells;
      });
  step();
  disconnect(watch);
  if (changed) {
    fg2->SetRow(changed->top());
    fg2->SetCol(changed->left());
    fg2->SetRowSel(changed->bottom());
    fg2->SetColSel(changed->right());
  }
  editor_->ShowCurrentCell();
}

void Main::InsertRows_Click() { sheetEdits_->InsertRows_Click(); }
void Main::DeleteRows_Click() { sheetEdits_->DeleteRows_Click(); }
void Main::InsertCols_Click() { sheetEdits_->InsertCols_Click(); }
void Main::DeleteCols_Click() { sheetEdits_->DeleteCols_Click(); }
void Main::SortAscending_Click() { sheetEdits_->SortAscending_Click(); }
void Main::SortDescending_Click() { sheetEdits_->SortDescending_Click(); }

void Main::Help_Click() {
  const QString guide = UserGuidePath();
  if (!services_.desktop->OpenFile(guide))
    ShowRefusal(services_.messageBox, QStringLiteral("使い方を開けませんでした。\n") + guide);
}

FindReplace& Main::FindWindow() {
  if (!findReplace_) findReplace_ = new FindReplace(*fg2, *editor_, services_.messageBox, this);
  return *findReplace_;
}

void Main::Find_Click() { FindWindow().ShowForFind(); }
void Main::Replace_Click() { FindWindow().ShowForReplace(); }

void Main::PasteExternal_Click() {
  editor_->CommitCellEdit();
  clipboard_->PasteTabText();
  editor_->ShowCurrentCell();
}

void Main::CopyGrid(int c1, int r1, int c2, int r2) { clipboard_->CopyGrid(c1, r1, c2, r2); }
void Main::CutGrid(int c1, int r1, int c2, int r2) { clipboard_->CutGrid(c1, r1, c2, r2); }
void Main::DelGrid(int c1, int r1, int c2, int r2) { clipboard_->DelGrid(c1, r1, c2, r2); }
void Main::PastGrid() { clipboard_->PastGrid(); }

}  // namespace quillary
