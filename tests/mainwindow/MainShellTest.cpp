// The main window's shell: start-up, menus, toolbar, layout, ending the
// program, the about box, and failures inside handlers.

#include <QtTest>

#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>

#include "commondialog/C_CommonDialog.h"
#include "mainwindow/CellContentsBox.h"
#include "mainwindow/Fonts.h"
#include "mainwindow/VersionForm.h"
#include "MainWindowHarness.h"
#include "sheet/GridControl.h"
#include "sheet/Twips.h"

using namespace quillary;
using namespace quillary::testing;

namespace {

// A length as the screen can show it: whole pixels, read back in twips.
int OnScreenX(int twips, const QWidget* widget) { return PixelsToTwipsX(TwipsToPixelsX(twips, widget), widget); }
int OnScreenY(int twips, const QWidget* widget) { return PixelsToTwipsY(TwipsToPixelsY(twips, widget), widget); }

QKeySequence Ctrl(Qt::Key key) { return QKeySequence(Qt::CTRL | key); }

struct MenuItem {
  QString caption;
  QKeySequence shortcut;
};

std::vector<MenuItem> ItemsOf(const QMenu& menu) {
  std::vector<MenuItem> items;
  for (const QAction* action : menu.actions())
    items.push_back({action->isSeparator() ? QStringLiteral("-") : action->text(), action->shortcut()});
  return items;
}

void CompareItems(const QMenu& menu, const std::vector<MenuItem>& expected) {
  const std::vector<MenuItem> items = ItemsOf(menu);
  QCOMPARE(items.size(), expected.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    QCOMPARE(items[i].caption, expected[i].caption);
    QCOMPARE(items[i].shortcut, expected[i].shortcut);
  }
}

}  // namespace

class MainShellTest : public QObject {
  Q_OBJECT

 private slots:
  void startsWithTheInitialSheet();
  void menusHaveTheirCaptionsAndShortcuts();
  void menuItemsStartTheirCommands();
  void shortcutsReachTheCommands();
  void toolbarButtonsInOrderWithKeysAndTooltips();
  void toolbarButtonsRunTheMenuHandlers();
  void layoutFollowsTheOuterSize();
  void endingAsksNothingAndClosesTheDialogs();
  void aboutBoxShowsNameAndVersion();
  void fontsReachJapaneseGlyphs();
  void failuresInsideHandlersBecomeMessages();
};

void MainShellTest::startsWithTheInitialSheet() {
  MainWindowHarness h;
  TestMain& w = h.window;
  QCOMPARE(w.windowTitle(), QStringLiteral("Quillary"));
  GridControl& fg2 = *w.fg2;
  QCOMPARE(fg2.Rows(), 11);
  QCOMPARE(fg2.Cols(), 6);
  QCOMPARE(fg2.FixedRows(), 1);
  QCOMPARE(fg2.FixedCols(), 1);
  QCOMPARE(fg2.TextMatrix(0, 0), QString());
  for (int r = 1; r < 11; ++r) QCOMPARE(fg2.TextMatrix(r, 0), QString::number(r));
  for (int c = 1; c < 6; ++c) {
    QCOMPARE(fg2.TextMatrix(0, c), QStringLiteral("フィールド ") + QString::number(c));
    QCOMPARE(fg2.ColWidth(c), OnScreenX(2000, &w));
    QCOMPARE(fg2.ColAlignment(c), GridControl::Alignment::LeftTop);
    for (int r = 1; r < 11; ++r) QVERIFY(fg2.TextMatrix(r, c).isEmpty());
  }
  QCOMPARE(fg2.ColAlignment(0), GridControl::Alignment::CenterTop);
  for (int r = 0; r < 11; ++r) QCOMPARE(fg2.RowHeight(r), OnScreenY(250, &w));
  QCOMPARE(w.Fgi(10, 5), 65);

  QCOMPARE(w.sheetArray().Fields(), 41);
  QCOMPARE(w.sheetArray().Rows(), 41);
  for (int f = 0; f < 41; ++f)
    for (int r = 0; r < 41; ++r) QVERIFY(!w.sheetArray().HasValue(f, r));

  QVERIFY(!w.CheckModify());
  fg2.SetTextMatrix(3, 2, QStringLiteral("x"));
  QVERIFY(w.CheckModify());
  fg2.SetTextMatrix(3, 2, QString());
  QVERIFY(!w.CheckModify());

  QVERIFY(w.txtEdit->isHidden());
  QVERIFY(w.Text1->Text().isEmpty());
  QCOMPARE(w.fileDialog().hwndOwner(), static_cast<std::int32_t>(w.winId()));

  QVERIFY(h.ShowActive());
  // The client area under the menu bar, toolbar included.
  QCOMPARE(w.Client->size(), QSize(TwipsToPixelsX(7800, &w), TwipsToPixelsY(5205, &w)));
  QCOMPARE(w.fg2->pos(), QPoint(TwipsToPixelsX(30, &w), TwipsToPixelsY(420, &w)));
  QCOMPARE(w.Toolbar1->geometry(), QRect(0, 0, w.Client->width(), TwipsToPixelsY(420, &w)));
  // Nothing is being edited when the window opens.
  QVERIFY(w.txtEdit->isHidden());
  QVERIFY(h.log.isEmpty());
}

void MainShellTest::menusHaveTheirCaptionsAndShortcuts() {
  MainWindowHarness h;
  TestMain& w = h.window;
  const QList<QAction*> bar = w.menuBar()->actions();
  QCOMPARE(bar.size(), 5);
  QCOMPARE(bar[0]->menu(), w.File);
  QCOMPARE(bar[1]->menu(), w.Edit);
  QCOMPARE(bar[2]->menu(), w.EditSheet);
  QCOMPARE(bar[3], w.Convert);
  QCOMPARE(bar[4], w.Version);
  QCOMPARE(w.File->title(), QStringLiteral("ファイル(&F)"));
  QCOMPARE(w.Edit->title(), QStringLiteral("編集(&E)"));
  QCOMPARE(w.EditSheet->title(), QStringLiteral("シートの編集(&W)"));
  QCOMPARE(w.Convert->text(), QStringLiteral("変換(&R)"));
  QVERIFY(!w.Convert->menu());
  QCOMPARE(w.Version->text(), QStringLiteral("バージョン"));
  QVERIFY(!w.Version->menu());

  CompareItems(*w.File, {{QStringLiteral("新規作成(&N)"), Ctrl(Qt::Key_N)},
                         {QStringLiteral("開く(&O)"), Ctrl(Qt::Key_O)},
                         {QStringLiteral("保存(&S)"), Ctrl(Qt::Key_S)},
                         {QStringLiteral("-"), {}},
                         {QStringLiteral("終了(&X)"), {}}});
  // Paste is Ctrl+P, not Ctrl+V.
  CompareItems(*w.Edit, {{QStringLiteral("コピー(&C)"), Ctrl(Qt::Key_C)},
                         {QStringLiteral("切り取り(&X)"), Ctrl(Qt::Key_X)},
                         {QStringLiteral("張り付け(&P)"), Ctrl(Qt::Key_P)}});
  CompareItems(*w.EditSheet, {{QStringLiteral("シートの大きさの変更(&C)"), {}},
                              {QStringLiteral("フィールド名の編集(&E)"), {}}});

  // The field-name row's pop-up is never part of the menu bar.
  QCOMPARE(w.ContextField->title(), QStringLiteral("シートの編集(&W)"));
  for (const QAction* action : bar) QVERIFY(action->menu() != w.ContextField);
  CompareItems(*w.ContextField, {{QStringLiteral("フィールド名の編集(&E)"), {}},
                                 {QStringLiteral("シートの大きさの変更(&C)"), {}}});
  QCOMPARE(w.ContextField->actions()[0], w.EditField);
  QCOMPARE(w.ContextField->actions()[1], w.Resize);
}

void MainShellTest::menuItemsStartTheirCommands() {
  MainWindowHarness h;
  TestMain& w = h.window;
  w.fg2->SetRow(2);
  w.fg2->SetCol(3);
  w.fg2->SetRowSel(4);
  w.fg2->SetColSel(1);
  const QString selection = h.SelectionArgs();

  const std::vector<std::pair<QAction*, QString>> items = {
      {w.New, QStringLiteral("NewSheet")},
      {w.Open, QStringLiteral("OpenSheet")},
      {w.Save, QStringLiteral("SaveSheet")},
      {w.Copy, QStringLiteral("CopyRange ") + selection},
      {w.Cut, QStringLiteral("CutRange ") + selection},
      {w.Paste, QStringLiteral("PasteRange")},
      {w.SheetResize, QStringLiteral("ResizeSheet")},
      {w.FieldEdit, QStringLiteral("EditFieldNames")},
      {w.Convert, QStringLiteral("ConvertSheet")},
      {w.EditField, QStringLiteral("EditFieldNames")},
      {w.Resize, QStringLiteral("ResizeSheet")},
  };
  for (const auto& [action, command] : items) {
    h.log.clear();
    action->trigger();
    QCOMPARE(h.log, QStringList{command});
  }
  QCOMPARE(selection, QStringLiteral("1 4 3 2"));

  h.log.clear();
  w.Version->trigger();
  QVERIFY(h.log.isEmpty());
  QCOMPARE(w.dialogs, QStringList{QStringLiteral("バージョン情報")});
}

void MainShellTest::shortcutsReachTheCommands() {
  MainWindowHarness h;
  TestMain& w = h.window;
  QVERIFY(h.ShowActive());
  w.fg2->setFocus();
  QTRY_VERIFY(w.fg2->hasFocus());

  const std::vector<std::pair<Qt::Key, QString>> keys = {
      {Qt::Key_N, QStringLiteral("NewSheet")},
      {Qt::Key_O, QStringLiteral("OpenSheet")},
      {Qt::Key_S, QStringLiteral("SaveSheet")},
      {Qt::Key_P, QStringLiteral("PasteRange")},
  };
  for (const auto& [key, command] : keys) {
    h.log.clear();
    QTest::keyClick(w.fg2, key, Qt::ControlModifier);
    QCOMPARE(h.log, QStringList{command});
    QVERIFY(w.txtEdit->isHidden());
  }
}

void MainShellTest::toolbarButtonsInOrderWithKeysAndTooltips() {
  MainWindowHarness h;
  TestMain& w = h.window;
  const QList<QAction*> items = w.Toolbar1->actions();
  QCOMPARE(items.size(), 11);
  const QStringList expected{QStringLiteral("New"),  QStringLiteral("Open"), QStringLiteral("Save"),
                             QStringLiteral("-"),    QStringLiteral("Copy"), QStringLiteral("Cut"),
                             QStringLiteral("Paste"), QStringLiteral("-"),   QStringLiteral("Resize"),
                             QStringLiteral("-"),    QStringLiteral("Convert")};
  const QStringList tooltips{QStringLiteral("新規作成"), QStringLiteral("開く"), QStringLiteral("保存"),
                             QString(), QString(), QString(), QString(), QString(),
                             QStringLiteral("グリッドのリサイズ"), QString(), QStringLiteral("変換")};
  for (int i = 0; i < items.size(); ++i) {
    if (expected[i] == u"-") {
      QVERIFY(items[i]->isSeparator());
      continue;
    }
    auto* button = qobject_cast<QToolButton*>(w.Toolbar1->widgetForAction(items[i]));
    QVERIFY(button);
    QCOMPARE(button->property("key").toString(), expected[i]);
    QCOMPARE(button->toolTip(), tooltips[i]);
    QVERIFY(!button->icon().isNull());
    QCOMPARE(button->focusPolicy(), Qt::NoFocus);
  }
  QCOMPARE(w.ToolbarButtons().size(), std::size_t{8});
}

void MainShellTest::toolbarButtonsRunTheMenuHandlers() {
  MainWindowHarness h;
  TestMain& w = h.window;
  QVERIFY(h.ShowActive());
  const QString selection = h.SelectionArgs();
  const QStringList commands{QStringLiteral("NewSheet"),
                             QStringLiteral("OpenSheet"),
                             QStringLiteral("SaveSheet"),
                             QStringLiteral("CopyRange ") + selection,
                             QStringLiteral("CutRange ") + selection,
                             QStringLiteral("PasteRange"),
                             QStringLiteral("ResizeSheet"),
                             QStringLiteral("ConvertSheet")};
  for (std::size_t i = 0; i < w.ToolbarButtons().size(); ++i) {
    h.log.clear();
    QTest::mouseClick(w.ToolbarButtons()[i], Qt::LeftButton);
    QCOMPARE(h.log, QStringList{commands[static_cast<qsizetype>(i)]});
  }

  // Keys are compared exactly; anything else does nothing.
  h.log.clear();
  for (const QString& key : {QStringLiteral("new"), QStringLiteral("Convert "), QString(),
                             QStringLiteral("Delete"), QStringLiteral("EditField")})
    w.Toolbar1_ButtonClick(key);
  QVERIFY(h.log.isEmpty());
  QVERIFY(h.messageBox.calls.empty());
}

void MainShellTest::layoutFollowsTheOuterSize() {
  MainWindowHarness h;
  TestMain& w = h.window;
  const auto x = [&w](int twips) { return TwipsToPixelsX(twips, &w); };
  const auto y = [&w](int twips) { return TwipsToPixelsY(twips, &w); };

  w.LayOut(9000, 6000);
  QCOMPARE(w.fg2->geometry(), QRect(x(30), y(420), x(8820), y(3400)));
  QCOMPARE(w.Text1->geometry(), QRect(x(30), y(3880), x(8820), y(1395)));
  // The grid ends 60 twips above the box.
  QCOMPARE(w.fg2->geometry().bottom() + 1 + y(60), w.Text1->y());

  // Lower than 2600: the grid keeps its height, the box follows the bottom.
  w.LayOut(6000, 2599);
  QCOMPARE(w.fg2->geometry(), QRect(x(30), y(420), x(5820), y(3400)));
  QCOMPARE(w.Text1->geometry(), QRect(x(30), y(479), x(5820), y(1395)));
  w.LayOut(6000, 2600);
  QCOMPARE(w.fg2->height(), 0);

  // Narrower than the margins: nothing becomes negative.
  w.LayOut(120, 3000);
  QCOMPARE(w.fg2->width(), 0);
  QCOMPARE(w.Text1->width(), 0);

  // A real resize lays the window out from its outer size.
  QVERIFY(h.ShowActive());
  w.resize(x(10500), y(7500));
  QTRY_COMPARE(w.size(), QSize(x(10500), y(7500)));
  QTRY_COMPARE(w.fg2->width(), x(PixelsToTwipsX(w.frameGeometry().width(), &w) - 180));
  QCOMPARE(w.Text1->y(), y(PixelsToTwipsY(w.frameGeometry().height(), &w) - 2120));
  QCOMPARE(w.Toolbar1->width(), w.Client->width());
}

void MainShellTest::endingAsksNothingAndClosesTheDialogs() {
  {
    MainWindowHarness h;
    QVERIFY(h.ShowActive());
    h.window.fg2->SetTextMatrix(1, 1, QStringLiteral("unsaved"));
    QVERIFY(h.window.CheckModify());
    h.window.ExitAll->trigger();
    QVERIFY(!h.window.isVisible());
    QVERIFY(h.messageBox.calls.empty());
    QCOMPARE(h.log, QStringList{QStringLiteral("CloseDialogs")});
  }
  {
    MainWindowHarness h;
    QVERIFY(h.ShowActive());
    h.window.fg2->SetTextMatrix(1, 1, QStringLiteral("unsaved"));
    QVERIFY(h.window.close());
    QVERIFY(h.messageBox.calls.empty());
    QCOMPARE(h.log, QStringList{QStringLiteral("CloseDialogs")});
  }
}

void MainShellTest::aboutBoxShowsNameAndVersion() {
  MainWindowHarness h;
  VersionForm form(&h.window);
  QCOMPARE(form.windowTitle(), QStringLiteral("バージョン情報"));
  QVERIFY(form.isModal());
  QCOMPARE(form.minimumSize(), form.maximumSize());
  QVERIFY(!(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
  QVERIFY(!form.Image1->pixmap().isNull());

  QCOMPARE(form.Label1->text(), QStringLiteral("Quillary"));
  QCOMPARE(form.Label1->font().families().value(0), QStringLiteral("Times New Roman"));
  QCOMPARE(form.Label1->font().pointSizeF(), 14.25);
  QCOMPARE(form.Label2->text(), QStringLiteral("beta 0.9.0.3"));
  QCOMPARE(form.Label2->font().families().value(0), QStringLiteral("ＭＳ Ｐゴシック"));
  QCOMPARE(form.Label2->font().pointSizeF(), 9.0);

  // The etched separator: grey over white, touching.
  QCOMPARE(form.Line1[0]->palette().color(QPalette::Window), QColor(0x80, 0x80, 0x80));
  QCOMPARE(form.Line1[1]->palette().color(QPalette::Window), QColor(Qt::white));
  QCOMPARE(form.Line1[1]->y(), form.Line1[0]->geometry().bottom() + 1);

  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  QCOMPARE(form.Command1->text(), QStringLiteral("OK"));
  QTest::mouseClick(form.Command1, Qt::LeftButton);
  QVERIFY(form.isHidden());
  QCOMPARE(form.result(), int(QDialog::Accepted));
}

void MainShellTest::fontsReachJapaneseGlyphs() {
  MainWindowHarness h;
  // The designed faces are named first; an installed face that has the
  // Japanese glyphs answers for them.
  QCOMPARE(h.window.fg2->font().families().value(0), QStringLiteral("ＭＳ Ｐゴシック"));
  for (const QFont& font : {h.window.fg2->font(), h.window.txtEdit->font(), GothicFont(9)}) {
    const QString family = QFontInfo(font).family();
    QVERIFY2(QFontMetrics(font).inFont(QChar(u'フ')) && QFontMetrics(font).inFont(QChar(u'編')),
             qPrintable(family));
  }
  const QFontInfo serif(ProgramNameFont());
  QVERIFY2(!serif.family().contains(QStringLiteral("Gothic")), qPrintable(serif.family()));
}

void MainShellTest::failuresInsideHandlersBecomeMessages() {
  MainWindowHarness h;
  TestMain& w = h.window;
  h.commands->failWith = QStringLiteral("disk on fire");
  w.New->trigger();
  QCOMPARE(h.messageBox.calls.size(), std::size_t{1});
  const auto& call = h.messageBox.calls[0];
  QCOMPARE(call.prompt, QStringLiteral("予期しないエラーが発生しました。\ndisk on fire"));
  QCOMPARE(call.buttons, MsgButtons::Ok);
  QCOMPARE(call.icon, MsgIcon::Error);
  QCOMPARE(call.title, QStringLiteral("Quillary"));

  // From the grid's keys and the toolbar alike; the window goes on working.
  h.commands->failWith = QStringLiteral("copy failed");
  emit w.fg2->KeyPress(3);
  h.commands->failWith = QStringLiteral("convert failed");
  w.ToolbarButtons().back()->click();
  QCOMPARE(h.messageBox.calls.size(), std::size_t{3});
  QVERIFY(h.messageBox.calls[2].prompt.endsWith(QStringLiteral("convert failed")));
  w.Open->trigger();
  QCOMPARE(h.log, QStringList{QStringLiteral("OpenSheet")});
}

QTEST_MAIN(MainShellTest)
#include "MainShellTest.moc"
