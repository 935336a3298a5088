// The main window's menus, toolbar and the command each of them starts.

#include <functional>
#include <type_traits>

#include <QAction>
#include <QActionGroup>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include "commondialog/DesktopOpener.h"
#include "convert/preview/PreviewPane.h"
#include "mainwindow/CellEditor.h"
#include "mainwindow/Icons.h"
#include "mainwindow/Main.h"
#include "mainwindow/RangeClipboard.h"
#include "mainwindow/SheetEditCommands.h"
#include "mainwindow/StatusLine.h"
#include "mainwindow/WindowCommands.h"
#include "sheet/commands/CommandMessages.h"
#include "sheet/document/SheetDocument.h"
#include "sheet/grid/GridControl.h"
#include "sheet/grid/Twips.h"

namespace quillary {

namespace {

struct ToolbarEntry {
  const char16_t* key;  // nullptr: a separator; else the name of the action it triggers
  const char16_t* toolTip;
};

// Left to right; Copy, Cut and Paste have no tooltip.
constexpr ToolbarEntry kToolbarButtons[] = {
    {u"New", u"新規作成"}, {u"Open", u"開く"},    {u"Save", u"保存"},
    {nullptr, nullptr},    {u"Copy", u""},        {u"Cut", u""},
    {u"Paste", u""},       {nullptr, nullptr},    {u"Resize", u"グリッドのリサイズ"},
    {nullptr, nullptr},    {u"Convert", u"変換"},
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
  const auto item = [this](QMenu* menu, const QString& caption, const char* name, std::function<void()> command,
                           const QList<QKeySequence>& shortcuts = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(shortcuts);
    ConnectGuarded(action, &QAction::triggered, std::move(command));
    return action;
  };
  // The objects that do the work; each command reaches one function of one.
  WindowCommands* commands = commands_.get();
  DocumentCommands* documents = &commands->documents();
  RangeClipboard* clipboard = clipboard_.get();
  SheetEditCommands* edits = sheetEdits_.get();
  const auto call = [](auto* object, void (std::remove_pointer_t<decltype(object)>::*function)()) {
    return [object, function] { (object->*function)(); };
  };
  const auto ctrl = [](Qt::Key key) { return QList<QKeySequence>{QKeySequence(Qt::CTRL | key)}; };

  File = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  File->setObjectName(QStringLiteral("File"));
  item(File, QStringLiteral("新規作成(&N)"), "New", call(commands, &WindowCommands::New_Click), ctrl(Qt::Key_N));
  item(File, QStringLiteral("開く(&O)"), "Open", call(documents, &DocumentCommands::Open_Click), ctrl(Qt::Key_O));
  item(File, QStringLiteral("保存(&S)"), "Save", call(documents, &DocumentCommands::Save_Click), ctrl(Qt::Key_S));
  CreateEncodingMenu();
  item(File, QStringLiteral("もう一度変換(&A)"), "ConvertAgain", call(commands, &WindowCommands::ConvertAgain_Click),
       {QKeySequence(Qt::SHIFT | Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R)});
  // Beside もう一度変換 rather than in the bar, which keeps ヘルプ in sight at
  // the window's first width; Ctrl with Convert's F5.
  item(File, QStringLiteral("レコードごとに変換(&G)..."), "Pages", call(commands, &WindowCommands::Pages_Click),
       {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G), QKeySequence(Qt::CTRL | Qt::Key_F5)})
      ->setToolTip(QStringLiteral("レコード 1 件ごとに 1 ファイルを書き出します"));
  File->addSeparator()->setObjectName(QStringLiteral("bar1"));
  item(File, QStringLiteral("終了(&X)"), "ExitAll", call(this, &Main::ExitAll_Click));

  Edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
  Edit->setObjectName(QStringLiteral("Edit"));
  // Undo and Redo first, where every editing program has them; then the
  // three range items in their order.
  item(Edit, QStringLiteral("元に戻す(&U)"), "Undo", call(edits, &SheetEditCommands::Undo_Click), ctrl(Qt::Key_Z));
  item(Edit, QStringLiteral("やり直し(&R)"), "Redo", call(edits, &SheetEditCommands::Redo_Click),
       {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  Edit->addSeparator();
  item(Edit, QStringLiteral("コピー(&C)"), "Copy", call(clipboard, &RangeClipboard::Copy_Click), ctrl(Qt::Key_C));
  item(Edit, QStringLiteral("切り取り(&X)"), "Cut", call(clipboard, &RangeClipboard::Cut_Click), ctrl(Qt::Key_X));
  item(Edit, QStringLiteral("張り付け(&P)"), "Paste", call(clipboard, &RangeClipboard::Paste_Click), ctrl(Qt::Key_P));
  // Never the access keys C, X, P of the range items (nor U, R).
  Edit->addSeparator();
  item(Edit, QStringLiteral("行の挿入(&I)"), "InsertRows", call(edits, &SheetEditCommands::InsertRows_Click),
       {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus)});
  item(Edit, QStringLiteral("行の削除(&D)"), "DeleteRows", call(edits, &SheetEditCommands::DeleteRows_Click),
       ctrl(Qt::Key_Minus));
  item(Edit, QStringLiteral("列の挿入(&J)"), "InsertCols", call(edits, &SheetEditCommands::InsertCols_Click),
       {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Plus)});
  item(Edit, QStringLiteral("列の削除(&K)"), "DeleteCols", call(edits, &SheetEditCommands::DeleteCols_Click),
       {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Minus)});
  Edit->addSeparator();
  item(Edit, QStringLiteral("昇順で並べ替え(&A)"), "SortAscending",
       call(edits, &SheetEditCommands::SortAscending_Click));
  item(Edit, QStringLiteral("降順で並べ替え(&S)"), "SortDescending",
       call(edits, &SheetEditCommands::SortDescending_Click));
  Edit->addSeparator();
  item(Edit, QStringLiteral("外部から張り付け(&V)"), "PasteExternal",
       call(clipboard, &RangeClipboard::PasteExternal_Click), {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V)});
  item(Edit, QStringLiteral("検索(&F)"), "Find", call(commands, &WindowCommands::Find_Click), ctrl(Qt::Key_F));
  item(Edit, QStringLiteral("置換(&H)"), "Replace", call(commands, &WindowCommands::Replace_Click), ctrl(Qt::Key_H));

  QMenu* editSheet = menuBar()->addMenu(QStringLiteral("シートの編集(&W)"));
  editSheet->setObjectName(QStringLiteral("EditSheet"));
  item(editSheet, QStringLiteral("シートの大きさの変更(&C)"), "SheetResize",
       call(commands, &WindowCommands::SheetResize_Click));
  item(editSheet, QStringLiteral("フィールド名の編集(&E)"), "FieldEdit",
       call(commands, &WindowCommands::FieldEdit_Click));

  // Items of the menu bar itself: a click runs the command.
  QAction* convert = menuBar()->addAction(QStringLiteral("変換(&R)"));
  convert->setObjectName(QStringLiteral("Convert"));
  // From anywhere in the window; R alone where no control takes it.
  convert->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_R), QKeySequence(Qt::Key_F5)});
  ConnectGuarded(convert, &QAction::triggered, call(commands, &WindowCommands::Convert_Click));
  QAction* version = menuBar()->addAction(QStringLiteral("バージョン"));
  version->setObjectName(QStringLiteral("Version"));
  ConnectGuarded(version, &QAction::triggered, call(commands, &WindowCommands::Version_Click));

  QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
  help->setObjectName(QStringLiteral("Help"));
  item(help, QStringLiteral("使い方(&H)"), "Guide", call(commands, &WindowCommands::Guide_Click),
       {QKeySequence(Qt::Key_F1)});

  ContextField = new QMenu(QStringLiteral("シートの編集(&W)"), this);
  ContextField->setObjectName(QStringLiteral("ContextField"));
  item(ContextField, QStringLiteral("フィールド名の編集(&E)"), "EditField",
       call(commands, &WindowCommands::FieldEdit_Click));
  item(ContextField, QStringLiteral("シートの大きさの変更(&C)"), "Resize",
       call(commands, &WindowCommands::SheetResize_Click));
}

void Main::ConnectHistory() {
  SheetDocument& sheet = *document_;
  QAction& undo = Action("Undo");
  QAction& redo = Action("Redo");
  undo.setEnabled(sheet.CanUndo());
  redo.setEnabled(sheet.CanRedo());
  connect(&sheet, &SheetDocument::CanUndoChanged, &undo, &QAction::setEnabled);
  connect(&sheet, &SheetDocument::CanRedoChanged, &redo, &QAction::setEnabled);
  const auto schedule = [this] { ScheduleStatus(); };
  connect(&sheet, &SheetDocument::CellsChanged, this, schedule);
  connect(&sheet, &SheetDocument::Reshaped, this, schedule);
  connect(&sheet, &SheetDocument::StateChanged, this, schedule);
  // A conversion's report was about the sheet that went.
  connect(&sheet, &SheetDocument::Replaced, status_, &StatusLine::PutAwayConversion);
  ConnectGuarded(status_, &StatusLine::ConvertAgainClicked, [this] { Action("ConvertAgain").trigger(); });
  connect(commands_.get(), &WindowCommands::Converted, this, [this](const ConversionDone& done) {
    status_->ShowConversion(done);
    preview_->ConvertedWith(done.templateName);
  });
  connect(commands_.get(), &WindowCommands::PagesWritten, status_, &StatusLine::ShowPages);
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
      document_->ChangeEncoding(encoding);
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
    action->setChecked(action->data().toInt() == static_cast<int>(document_->fileEncoding()));
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
    ConnectGuarded(button, &QToolButton::clicked, [this, key] { Toolbar1_ButtonClick(key); });
  }
}

void Main::Toolbar1_ButtonClick(const QString& key) {
  for (const ToolbarEntry& entry : kToolbarButtons)
    if (entry.key && key == Text(entry.key)) return Action(key.toLatin1().constData()).trigger();
}

QAction& Main::Action(const char* name) const {
  auto* action = findChild<QAction*>(QString::fromLatin1(name));
  Q_ASSERT(action);
  return *action;
}

void Main::ShowPopup(QMenu& menu, const QPoint& globalPosition) { menu.exec(globalPosition); }

}  // namespace quillary
