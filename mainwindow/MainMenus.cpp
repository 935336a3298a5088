// The main window's menus, toolbar and the command each of them starts.

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include "mainwindow/Icons.h"
#include "mainwindow/Main.h"
#include "sheet/CommandMessages.h"
#include "sheet/GridControl.h"
#include "sheet/Twips.h"

namespace quillary {

namespace {

struct ToolbarEntry {
  const char16_t* key;  // nullptr: a separator
  const char16_t* toolTip;
};

// Left to right; Copy, Cut and Paste have no tooltip.
constexpr ToolbarEntry kToolbarButtons[] = {
    {u"New", u"新規作成"}, {u"Open", u"開く"}, {u"Save", u"保存"}, {nullptr, nullptr},
    {u"Copy", u""},       {u"Cut", u""},      {u"Paste", u""},   {nullptr, nullptr},
    {u"Resize", u"グリッドのリサイズ"},       {nullptr, nullptr}, {u"Convert", u"変換"},
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

void Main::CreateMenus() {
  // Adds an item whose command runs through the guard.
  const auto item = [this](QMenu* menu, const QString& caption, const char* name, void (Main::*handler)(),
                           const QKeySequence& shortcut = QKeySequence()) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    // Window-wide shortcuts: the text boxes keep their own editing keys
    // (Ctrl+C, Ctrl+X ...) because they claim them before any shortcut.
    action->setShortcut(shortcut);
    ConnectGuarded(action, &QAction::triggered, [this, handler] { (this->*handler)(); });
    return action;
  };

  File = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  File->setObjectName(QStringLiteral("File"));
  New = item(File, QStringLiteral("新規作成(&N)"), "New", &Main::New_Click, QKeySequence(Qt::CTRL | Qt::Key_N));
  Open = item(File, QStringLiteral("開く(&O)"), "Open", &Main::Open_Click, QKeySequence(Qt::CTRL | Qt::Key_O));
  Save = item(File, QStringLiteral("保存(&S)"), "Save", &Main::Save_Click, QKeySequence(Qt::CTRL | Qt::Key_S));
  CreateEncodingMenu();
  bar1 = File->addSeparator();
  bar1->setObjectName(QStringLiteral("bar1"));
  ExitAll = item(File, QStringLiteral("終了(&X)"), "ExitAll", &Main::ExitAll_Click);

  Edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
  Edit->setObjectName(QStringLiteral("Edit"));
  Copy = item(Edit, QStringLiteral("コピー(&C)"), "Copy", &Main::Copy_Click, QKeySequence(Qt::CTRL | Qt::Key_C));
  Cut = item(Edit, QStringLiteral("切り取り(&X)"), "Cut", &Main::Cut_Click, QKeySequence(Qt::CTRL | Qt::Key_X));
  Paste = item(Edit, QStringLiteral("張り付け(&P)"), "Paste", &Main::Paste_Click, QKeySequence(Qt::CTRL | Qt::Key_P));

  EditSheet = menuBar()->addMenu(QStringLiteral("シートの編集(&W)"));
  EditSheet->setObjectName(QStringLiteral("EditSheet"));
  SheetResize = item(EditSheet, QStringLiteral("シートの大きさの変更(&C)"), "SheetResize", &Main::SheetResize_Click);
  FieldEdit = item(EditSheet, QStringLiteral("フィールド名の編集(&E)"), "FieldEdit", &Main::FieldEdit_Click);

  // Items of the menu bar itself: a click runs the command.
  Convert = menuBar()->addAction(QStringLiteral("変換(&R)"));
  Convert->setObjectName(QStringLiteral("Convert"));
  ConnectGuarded(Convert, &QAction::triggered, [this] { Convert_Click(); });
  Version = menuBar()->addAction(QStringLiteral("バージョン"));
  Version->setObjectName(QStringLiteral("Version"));
  ConnectGuarded(Version, &QAction::triggered, [this] { Version_Click(); });

  ContextField = new QMenu(QStringLiteral("シートの編集(&W)"), this);
  ContextField->setObjectName(QStringLiteral("ContextField"));
  EditField = item(ContextField, QStringLiteral("フィールド名の編集(&E)"), "EditField", &Main::EditField_Click);
  Resize = item(ContextField, QStringLiteral("シートの大きさの変更(&C)"), "Resize", &Main::Resize_Click);
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
    ConnectGuarded(action, &QAction::triggered, [this, encoding] { fileEncoding_ = encoding; });
  }
  // Open and New change the encoding too; the items follow when shown.
  connect(File, &QMenu::aboutToShow, this, [this] { ShowFileEncoding(); });
  connect(Encoding, &QMenu::aboutToShow, this, [this] { ShowFileEncoding(); });
  ShowFileEncoding();
}

void Main::ShowFileEncoding() {
  for (QAction* action : encodingItems_->actions())
    action->setChecked(action->data().toInt() == static_cast<int>(fileEncoding_));
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
  if (key == u"New") {
    New_Click();
  } else if (key == u"Open") {
    Open_Click();
  } else if (key == u"Save") {
    Save_Click();
  } else if (key == u"Copy") {
    Copy_Click();
  } else if (key == u"Cut") {
    Cut_Click();
  } else if (key == u"Paste") {
    Paste_Click();
  } else if (key == u"Resize") {
    Resize_Click();
  } else if (key == u"Convert") {
    Convert_Click();
  }
}

void Main::ShowPopup(QMenu& menu, const QPoint& globalPosition) { menu.exec(globalPosition); }

void Main::New_Click() { commands_->NewSheet(); }
void Main::Open_Click() { commands_->OpenSheet(); }
void Main::Save_Click() { commands_->SaveSheet(); }
void Main::Copy_Click() { CopyGrid(fg2->ColSel(), fg2->RowSel(), fg2->Col(), fg2->Row()); }
void Main::Cut_Click() { CutGrid(fg2->ColSel(), fg2->RowSel(), fg2->Col(), fg2->Row()); }
void Main::Paste_Click() { PastGrid(); }
void Main::SheetResize_Click() { commands_->ResizeSheet(); }
void Main::Resize_Click() { commands_->ResizeSheet(); }
void Main::FieldEdit_Click() { EditField_Click(); }
void Main::EditField_Click() { commands_->EditFieldNames(); }
void Main::Convert_Click() { commands_->ConvertSheet(); }

void Main::CopyGrid(int c1, int r1, int c2, int r2) { commands_->CopyRange(c1, r1, c2, r2); }
void Main::CutGrid(int c1, int r1, int c2, int r2) { commands_->CutRange(c1, r1, c2, r2); }
void Main::DelGrid(int c1, int r1, int c2, int r2) { commands_->DeleteRange(c1, r1, c2, r2); }
void Main::PastGrid() { commands_->PasteRange(); }

}  // namespace quillary
