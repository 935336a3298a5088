// The main window's shell: start-up and layout, menus and toolbar with what
// they start, ending the program, the about box and fonts, failures inside
// handlers, and the program's own commands wired to the window.

#include <QtTest>

#include <QMimeData>

#include <QStatusBar>

#include <QClipboard>
#include <QDir>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>

#include "MainWindowHarness.h"
#include "convert/dialog/Conv.h"
#include "convert/dialog/ConvertCommand.h"
#include "convert/dialog/PagesCommand.h"
#include "mainwindow/Fonts.h"
#include "mainwindow/VersionForm.h"
#include "sheet/document/SheetDocument.h"
#include "sheet/grid/KeyCodes.h"
#include "sheet/grid/Twips.h"
#include "support/TempDir.h"

using namespace quillary;
using namespace quillary::testing;
using namespace Qt::StringLiterals;

class MainShellTest : public QObject {
  Q_OBJECT

 private slots:
  void startsWithTheInitialSheetAndLaysItOut() {
    MainWindowHarness h;
    TestMain& w = h.window;
    GridControl& g = h.grid();
    const auto x = [&w](int twips) { return TwipsToPixelsX(twips, &w); };
    const auto y = [&w](int twips) { return TwipsToPixelsY(twips, &w); };
    QCOMPARE(w.windowTitle(), u"Quillary"_s);
    QVERIFY(g.sheet() == MakeInitialSheet());
    QVERIFY(w.document().sheetArray() == MakeInitialSheetArray());
    // Lengths as the screen can show them: whole pixels, read back in twips.
    QCOMPARE(g.ColWidth(5), PixelsToTwipsX(x(2000), &w));
    QVERIFY(!w.CheckModify());  // the saved image is the initial sheet
    // The designed faces are named first; an installed face that has the
    // Japanese glyphs answers for them.
    QCOMPARE(g.font().family(), u"ＭＳ Ｐゴシック"_s);
    for (const QFont& font : {g.font(), w.txtEdit()->font(), GothicFont(9)}) {
      const QFontMetrics metrics(font);
      QVERIFY2(metrics.inFont(QChar(u'フ')) && metrics.inFont(QChar(u'編')), qPrintable(QFontInfo(font).family()));
    }

    // In order: below 2600 the grid keeps the height it had while the box
    // follows the bottom; too narrow, nothing becomes negative.
    const auto rect = [&](int l, int t, int width, int height) { return QRect(x(l), y(t), x(width), y(height)); };
    const struct {
      int w, h;
      QRect grid, box;
    } sizes[] = {
        {9000, 6000, rect(30, 420, 8820, 3400), rect(30, 3880, 8820, 1395)},
        {6000, 2599, rect(30, 420, 5820, 3400), rect(30, 479, 5820, 1395)},
        {6000, 2600, rect(30, 420, 5820, 0), rect(30, 480, 5820, 1395)},
        {120, 3000, rect(30, 420, 0, 400), rect(30, 880, 0, 1395)},
    };
    for (const auto& size : sizes) {
      w.LayOut(size.w, size.h);
      QCOMPARE((QList<QRect>{w.fg2()->geometry(), w.Text1()->geometry()}), (QList<QRect>{size.grid, size.box}));
    }

    QVERIFY(h.ShowActive());
    // The client area under the menu bar holds the toolbar and the rest.
    QCOMPARE(w.Client()->size(), QSize(x(7800), y(5205)));
    QCOMPARE(w.Toolbar1()->geometry(), QRect(0, 0, w.Client()->width(), y(420)));
    QCOMPARE(g.pos(), QPoint(x(30), y(420)));
    // Nothing is being edited or started when the window opens.
    QVERIFY(!h.Editing() && w.Text1()->Text().isEmpty() && h.log.isEmpty());
    // A real resize lays the window out from its outer size.
    w.resize(x(10500), y(7500));
    QTRY_COMPARE(w.size(), QSize(x(10500), y(7500)));
    QTRY_COMPARE(w.fg2()->width(), x(PixelsToTwipsX(w.frameGeometry().width(), &w) - 180));
    QCOMPARE(w.Text1()->y(), y(PixelsToTwipsY(w.frameGeometry().height(), &w) - 2120));
    QCOMPARE(w.Toolbar1()->width(), w.Client()->width());
  }

  // The items no key or button reaches run for real over the fakes: their
  // dialogs open over the window (もう一度変換 with nothing to repeat is
  // Convert), the guide with the desktop.
  void menuItemsOpenTheirDialogs() {
    MainWindowHarness h;
    TestMain& w = h.window;
    for (const char* name : {"SheetResize", "FieldEdit", "ConvertAgain", "Pages", "EditField", "Resize", "Version"})
      w.Run(name);
    QCOMPARE(w.dialogs, (QStringList{u"シートのリサイズ"_s, u"フィールド名の編集"_s, u"変換"_s, u"レコードごとに変換"_s,
                                     u"フィールド名の編集"_s, u"シートのリサイズ"_s, u"バージョン情報"_s}));
    w.Run("Guide");
    QCOMPARE(h.desktop.opened.size(), 1);
    QVERIFY(h.desktop.opened[0].endsWith(u"guide.html"_s));
    // A toolbar key is compared exactly: anything but a button's own does
    // nothing.
    h.log.clear();
    for (const QString& key : {u"new"_s, u"Convert "_s, QString(), u"Delete"_s, u"EditField"_s})
      w.Toolbar1_ButtonClick(key);
    QVERIFY(h.log.isEmpty());
    QVERIFY(h.messageBox.calls.empty());
  }

  // Every route to a command, once: the toolbar's buttons, the keys (which
  // the menus' shortcuts may take first) and the grid's own character
  // codes. The range commands take the selection as it is (ColSel, RowSel,
  // Col, Row), here made from the bottom-right corner; no route opens the
  // cell editor.
  void everyRouteReachesItsCommand_data() {
    QTest::addColumn<QString>("route");  // "button <key>", "key <keys>" or "char <code>"
    QTest::addColumn<QStringList>("started");
    QTest::addColumn<QStringList>("rows");  // the texts of rows 1..3 afterwards
    QTest::addColumn<QList<int>>("clip");   // the clip record's left, top, right, bottom
    const QStringList kept{u"a,b,c"_s, u"d,e,f"_s, u"g,h,i"_s}, emptied{u"a,b,c"_s, u",,f"_s, u",,i"_s};
    const QStringList blank(3, u",,"_s), rowsAway{u"a,b,c"_s, u",,"_s, u",,"_s};  // New; rows 2 and 3 moved
    const QList<int> range{1, 2, 2, 3}, none{0, 0, 0, 0};
    const auto row = [](const QString& route, const QStringList& started, const QStringList& rows,
                        const QList<int>& clip) {
      QTest::newRow(qPrintable(route)) << route << started << rows << clip;
    };
    row(u"button New"_s, {u"New_Click"_s}, blank, none);
    for (const char* button : {"Open", "Save", "Resize", "Convert"})
      row(u"button "_s + QLatin1String(button), {QLatin1String(button) + u"_Click"_s}, kept, none);
    row(u"button Copy"_s, {u"Copy_Click"_s}, kept, range);
    row(u"button Cut"_s, {u"Cut_Click"_s}, emptied, range);
    row(u"button Paste"_s, {u"Paste_Click"_s}, kept, none);
    const std::pair<const char*, const char*> keys[] = {
        {"Ctrl+O", "Open"},
        {"Ctrl+S", "Save"},
        {"Ctrl+P", "Paste"},
        {"Ctrl+Shift+V", "PasteExternal"},
        {"Ctrl+F", "Find"},
        {"Ctrl+H", "Replace"},
        {"Ctrl+R", "Convert"},
        {"F5", "Convert"},
        {"Alt+R", "Convert"},
        {"Shift+F5", "ConvertAgain"},
        {"Ctrl+Shift+R", "ConvertAgain"},
        {"Ctrl+Shift+G", "Pages"},
        {"Ctrl+F5", "Pages"},
        {"F1", "Guide"},
    };
    for (const auto& [key, action] : keys)
      row(u"key "_s + QLatin1String(key), {QLatin1String(action) + u"_Click"_s}, kept, none);
    row(u"key Ctrl+N"_s, {u"New_Click"_s}, blank, none);
    row(u"key Ctrl++"_s, {u"InsertRows_Click"_s}, rowsAway, none);
    row(u"key Ctrl+-"_s, {u"DeleteRows_Click"_s}, rowsAway, none);
    row(u"key Ctrl+C"_s, {u"Copy_Click"_s}, kept, range);
    row(u"key Ctrl+X"_s, {u"Cut_Click"_s}, emptied, range);
    row(u"key Ctrl+V"_s, {}, kept, none);
    // Delete whatever the Shift state says; undo and redo with nothing to do.
    for (const char* key : {"Del", "Shift+Del", "Ctrl+Del", "Alt+Del"})
      row(u"key "_s + QLatin1String(key), {}, emptied, none);
    for (const char* key : {"Ctrl+Z", "Ctrl+Y"}) row(u"key "_s + QLatin1String(key), {}, kept, none);
    row(u"char %1"_s.arg(kCharCtrlC), {}, kept, range);
    row(u"char %1"_s.arg(kCharCtrlX), {}, emptied, range);
    row(u"char %1"_s.arg(kCharCtrlV), {}, kept, none);
    row(u"char %1"_s.arg(kCharCtrlR), {}, kept, none);
  }

  void everyRouteReachesItsCommand() {
    QFETCH(QString, route);
    QFETCH(QStringList, started);
    QFETCH(QStringList, rows);
    QFETCH(QList<int>, clip);
    QGuiApplication::clipboard()->clear();
    MainWindowHarness h;
    TestMain& w = h.window;
    Sheet sheet = MakeInitialSheet();
    const char16_t* texts[] = {u"a", u"b", u"c", u"d", u"e", u"f", u"g", u"h", u"i"};
    for (int i = 0; i < 9; ++i) sheet.SetText(1 + i / 3, 1 + i % 3, texts[i]);
    w.fg2()->SetSheet(sheet);
    QVERIFY(h.ShowActive());
    QVERIFY(h.Focus(w.fg2()));
    h.Select(3, 2, 2, 1);
    const QString kind = route.section(u' ', 0, 0), what = route.section(u' ', 1);
    if (kind == u"button") {
      for (QToolButton* button : w.ToolbarButtons())
        if (button->property("key").toString() == what) QTest::mouseClick(button, Qt::LeftButton);
    } else if (kind == u"key") {
      const QKeyCombination key = QKeySequence(what)[0];
      QTest::keyClick(w.fg2(), key.key(), key.keyboardModifiers());
    } else {
      emit w.fg2()->KeyPress(what.toInt());
    }
    QCOMPARE(h.Take(), started);
    QVERIFY(!h.Editing());
    QStringList shown;
    for (int r = 1; r <= 3; ++r) shown << QStringList{h.Cell(r, 1), h.Cell(r, 2), h.Cell(r, 3)}.join(u',');
    QCOMPARE(shown, rows);
    const ClipRecord& record = w.rangeClipboard().record();
    QCOMPARE((QList<int>{record.left, record.top, record.right, record.bottom}), clip);
  }

  void encodingMenuShowsAndSetsTheEncodingOfTheNextSave() {
    MainWindowHarness h;
    TestMain& w = h.window;
    const QList<QAction*> items = w.Encoding()->actions();
    // A change made by a command shows when the menu opens.
    w.document().fileEncoding() = TextEncoding::Utf8;
    emit w.File()->aboutToShow();
    QVERIFY(items[1]->isChecked());
    QVERIFY(!items[0]->isChecked());
    w.document().fileEncoding() = TextEncoding::Cp932;
    // Choosing an item is a change of the file: it counts as modified until
    // Undo takes it back.
    items[2]->trigger();
    QCOMPARE(w.document().fileEncoding(), TextEncoding::Utf8WithBom);
    QVERIFY(w.CheckModify());
    w.Run("Undo");
    QCOMPARE(w.document().fileEncoding(), TextEncoding::Cp932);
    QVERIFY(!w.CheckModify());
  }

  // The question itself: the document commands' tests.
  void endingAsksAboutUnsavedChanges() {
    for (const bool fromTheMenu : {true, false}) {
      MainWindowHarness p;
      TestMain& w = p.window;
      const auto end = [&] { fromTheMenu ? w.Item("ExitAll")->trigger() : void(w.close()); };
      // Unmodified: ends at once.
      QVERIFY(p.ShowActive());
      end();
      QVERIFY(!w.isVisible());
      QVERIFY(p.messageBox.calls.empty());
      // Cancel keeps the window; No ends.
      QVERIFY(p.ShowActive());
      p.grid().SetTextMatrix(2, 2, u"new"_s);
      p.messageBox.Answer(MsgResult::Cancel).Answer(MsgResult::No);
      end();
      QVERIFY(w.isVisible());
      end();
      QVERIFY(!w.isVisible());
      QCOMPARE(p.messageBox.calls.size(), std::size_t{2});
    }
  }

  void aConversionIsReportedInTheStatusLine() {
    MainWindowHarness h;
    TestMain& w = h.window;
    QVERIFY(h.ShowActive());
    auto& status = Find<QStatusBar>(w, "StatusLine");
    // The sheet's state, kept up to date after each change.
    auto& state = Find<QLabel>(w, "SheetState");
    QTRY_COMPARE(state.text(), u"（ファイルなし）　CP932　1 行 1 列"_s);
    h.grid().SetTextMatrix(2, 2, u"x"_s);
    h.Select(2, 2, 3, 4);
    w.document().SetFileName(u"/tmp/商品.csv"_s);
    QTRY_COMPARE(state.text(), u"商品.csv　CP932　変更あり　2 行 2 列（2 × 3 を選択）"_s);
    w.Run("Undo");
    QTRY_VERIFY(!state.text().contains(u"変更あり"_s));
    const int boxBottom = w.Text1()->geometry().bottom();
    ConversionDone done{u"/tmp/list.html"_s, u"/tmp/out.html"_s, {}, false};
    done.summary.filled = 3;
    w.ShowConversionDone(done);
    QVERIFY(status.isVisible());
    auto& message = Find<QLabel>(w, "ConversionMessage");
    QCOMPARE(message.text(), ConversionReportText(done));
    QCOMPARE(message.toolTip(), ConversionStatusText(done));
    // The report has the whole line until it is put away.
    QVERIFY(!state.isVisible());
    // It sits under the box, which stays whole, as high as it was or higher.
    QVERIFY(w.Text1()->geometry().bottom() < w.Client()->height() && w.Text1()->geometry().bottom() <= boxBottom);
    QVERIFY(w.Client()->geometry().bottom() < status.geometry().top());
    auto& open = Find<QToolButton>(w, "OpenOutput");
    open.click();
    QCOMPARE(h.desktop.opened, QStringList{u"/tmp/out.html"_s});
    h.desktop.opens = false;
    open.click();
    QCOMPARE(h.messageBox.TakePrompts(), QStringList{u"出力ファイルを開けませんでした。\n/tmp/out.html"_s});
    h.Take();
    Find<QToolButton>(w, "ConvertAgain").click();
    QCOMPARE(h.Take(), QStringList{u"ConvertAgain_Click"_s});
    // A problem and where the output went fit whole at the default width.
    done.outputName = u"/home/user/作業/out_sort.html"_s;
    done.summary = {14, {{u"価額", 1}}, {{u"在庫数", 1}}};
    w.ShowConversionDone(done);
    QVERIFY(message.text().startsWith(u"差し込めなかった所 2（在庫数、価額）"_s));
    QTRY_VERIFY2(message.fontMetrics().horizontalAdvance(message.text()) <= message.contentsRect().width(),
                 qPrintable(QString::number(message.contentsRect().width())));
    // A cell move keeps it; Esc in the grid and the close mark put it away
    // (a new sheet: the remembered conversion's test), and the sheet's
    // state, kept up to date, comes back.
    h.Select(3, 1, 3, 1);
    QTest::qWait(0);
    QVERIFY(message.isVisible());
    const std::function<void()> putAway[] = {
        [&] { QTest::keyClick(&h.grid(), Qt::Key_Escape); },
        [&] { Find<QToolButton>(w, "CloseReport").click(); },
    };
    for (const auto& away : putAway) {
      w.ShowConversionDone(done);
      away();
      QVERIFY(message.text().isEmpty());
      QVERIFY(!open.isVisible());
      QVERIFY(state.text().startsWith(u"商品.csv　CP932"_s));
    }
    // Pages per record: the button opens their folder.
    w.ShowPagesDone(PagesDone{u"/tmp/pages"_s, 2, 0, {}, false});
    QCOMPARE(open.text(), u"フォルダーを開く"_s);
    h.desktop.opens = true;
    open.click();
    QCOMPARE(h.desktop.opened.back(), u"/tmp/pages"_s);
  }

  // Without a drag in progress the application delivers no drop, so the
  // handlers are called as the drop would call them.
  void aFileDroppedOnTheWindowOrItsBoxesOpens() {
    MainWindowHarness h;
    TestMain& w = h.window;
    TempDir dir;
    const QString a = QString::fromStdString(dir.Write("a.csv", "name\nx\n").string());
    QMimeData file;
    file.setUrls({QUrl::fromLocalFile(a)});
    QMimeData text;
    text.setText(u"typed"_s);
    const auto drop = [](const QMimeData& data) {
      return QDropEvent(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    };
    // Opened once the drop has ended.
    const auto opened = [&] { return w.document().fileName() == a; };
    QDropEvent onWindow = drop(file);
    w.dropEvent(&onWindow);
    QTRY_VERIFY(opened());
    for (QObject* box : {static_cast<QObject*>(w.Text1()->viewport()), static_cast<QObject*>(w.txtEdit())}) {
      w.document().SetFileName(QString());
      QDropEvent onBox = drop(file);
      QVERIFY(w.eventFilter(box, &onBox));
      QTRY_VERIFY(opened());
      // Text dropped on a box is still typed there, not opened.
      QDropEvent typed = drop(text);
      QVERIFY(!w.eventFilter(box, &typed));
    }
    // Several files: the first opens, the others are named as not opened.
    w.document().SetFileName(QString());
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(u"/tmp/b.csv"_s)});
    QDropEvent both = drop(files);
    w.dropEvent(&both);
    QTRY_VERIFY(opened());
    QCOMPARE(h.messageBox.TakePrompts(),
             QStringList{u"一度に開けるファイルは 1 つだけです。次のファイルは開きませんでした:\n/tmp/b.csv"_s});
  }

  void failuresInsideHandlersBecomeMessages() {
    MainWindowHarness h;
    TestMain& w = h.window;
    // A command that fails, from a menu item, the toolbar and a key alike,
    // becomes a message; the window goes on working.
    const auto failing = [&w](const char* name, std::function<void()> failure) {
      QAction& action = w.Action(name);
      action.disconnect();
      ConnectGuarded(w.services().messageBox, &action, &QAction::triggered, &w, failure);
    };
    failing("New", [] { throw std::runtime_error("disk on fire"); });
    failing("Save", [] { throw std::bad_alloc(); });
    w.Item("New")->trigger();
    w.Item("Save")->trigger();
    QCOMPARE(h.messageBox.TakePrompts(), (QStringList{u"予期しないエラーが発生しました。\ndisk on fire"_s,
                                                      u"メモリが足りないため、この操作を中止しました。\n"
                                                      u"シートとファイルは元のままです。"_s}));
  }

  // The commands themselves: the document commands' tests.
  void programCommandsWorkOnTheWindow() {
    MainWindowHarness p;
    TestMain& w = p.window;
    GridControl& g = p.grid();
    // Open, through the window's own file dialog.
    p.backend.AcceptPath(QDir(qEnvironmentVariable("QUILLARY_SOURCE_DIR")).filePath(u"examples/sample.csv"_s));
    p.Select(2, 2, 2, 2);
    w.Item("Open")->trigger();
    QVERIFY(p.messageBox.calls.empty());
    QCOMPARE(p.backend.fileRequests.at(0).owner, static_cast<std::int32_t>(w.winId()));
    QCOMPARE(g.TextMatrix(0, 1), u"商品名"_s);
    QCOMPARE(w.Text1()->Text(), g.Text());  // the box shows the new sheet's current cell

    // New keeps what was copied.
    g.SetTextMatrix(2, 2, u"carried"_s);
    emit g.KeyPress(kCharCtrlC);
    p.messageBox.Answer(MsgResult::No);
    w.Item("New")->trigger();
    QVERIFY(p.Cell(2, 2).isEmpty());
    p.Select(3, 3, 3, 3);
    w.Item("Paste")->trigger();
    QCOMPARE(p.Cell(3, 3), u"carried"_s);

    // Convert stays loaded between runs and goes with the window.
    p.messageBox.Answer(MsgResult::No).Answer(MsgResult::No);
    w.Run("Convert");
    w.Run("Convert");
    QCOMPARE(w.findChildren<Conv*>().size(), 1);
    p.messageBox.Answer(MsgResult::No);
    w.close();
    QVERIFY(w.findChildren<Conv*>().isEmpty());
  }
};

QTEST_MAIN(MainShellTest)
#include "MainShellTest.moc"
