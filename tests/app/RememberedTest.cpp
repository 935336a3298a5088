// What the program remembers between runs: the settings file read back,
// damaged or unwritable; the recent files in the File menu; a conversion
// made again after a restart; the main window's and the preview's places.

#include <QtTest>

#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QToolButton>

#include "app/ProgramMemory.h"
#include "app/RecentFilesMenu.h"
#include "convert/preview/PreviewPane.h"
#include "mainwindow/MainWindowHarness.h"
#include "mainwindow/SettingsStore.h"
#include "sheet/document/SheetDocument.h"
#include "support/TempDir.h"

using namespace quillary;
using namespace quillary::testing;
using namespace Qt::StringLiterals;

namespace {

QString Q(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

QStringList Paths(int from, int to) {
  QStringList paths;
  for (int i = from; i <= to; ++i) paths << u"/data/%1.csv"_s.arg(i);
  return paths;
}

}  // namespace

class RememberedTest : public QObject {
  Q_OBJECT

 private slots:
  void settingsAreReadBackWithinTheirLimits() {
    TempDir dir;
    const QString file = Q(dir / "settings.ini");
    {
      SettingsStore store(file);
      QStringList recent;
      for (const QString& path : Paths(1, 12)) recent = WithRecentFile(recent, path);
      recent = WithRecentFile(recent, u"/data/5.csv"_s);  // again: to the front, once
      store.SetRecentFiles(recent);
      for (const QString& csv : Paths(1, kConversionsKept + 2))
        store.SetLastConversion(csv, {csv + u".html"_s, csv + u".out"_s, 1000, 20});
      store.SetLastConversion(u"/data/3.csv"_s, {u"/t/new.html"_s, u"/t/new.out"_s, 5, 6});
      store.SetMainWindowPosition({40, 50});
      store.SetPreviewPlacement({600, 50, 400, 700});
    }
    const SettingsStore store(file);
    // The ten most recent, newest first; 1 and 2 fell off the end.
    QCOMPARE(store.RecentFiles(),
             (QStringList{u"/data/5.csv"_s, u"/data/12.csv"_s, u"/data/11.csv"_s, u"/data/10.csv"_s, u"/data/9.csv"_s,
                          u"/data/8.csv"_s, u"/data/7.csv"_s, u"/data/6.csv"_s, u"/data/4.csv"_s, u"/data/3.csv"_s}));
    QCOMPARE(store.LastConversion(u"/data/3.csv"_s), (ConversionPair{u"/t/new.html"_s, u"/t/new.out"_s, 5, 6}));
    QCOMPARE(store.LastConversion(u"/data/52.csv"_s),
             (ConversionPair{u"/data/52.csv.html"_s, u"/data/52.csv.out"_s, 1000, 20}));
    // The oldest beyond the limit are forgotten.
    QVERIFY(!store.LastConversion(u"/data/1.csv"_s));
    QVERIFY(!store.LastConversion(u"/data/none.csv"_s));
    QCOMPARE(store.MainWindowPosition(), std::optional<QPoint>(QPoint(40, 50)));
    QCOMPARE(store.PreviewPlacement(), std::optional<QRect>(QRect(600, 50, 400, 700)));
  }

  void aDamagedOrUnwritableFileNeverStopsTheProgram_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("folder");
    static constexpr char garbage[] = "\xff\xfe\0[[[=\n\x01\x02==\n[Conversions]\nsize=x";
    QTest::newRow("garbage") << QByteArray(garbage, sizeof garbage - 1) << false;
    QTest::newRow("wrong kinds of values")
        << QByteArray(
               "[RecentFiles]\nfiles=relative.csv, , /ok.csv\n[MainWindow]\nposition=here\n"
               "[Preview]\nplacement=@Rect(0 0 -5 -5)\n[Conversions]\nsize=999999999\n"
               "1\\csv=/a.csv\n1\\template=t.html\n1\\output=/o.html\n2\\csv=/b.csv\n2\\template=/t.html\n"
               "2\\output=/o.html\n2\\outputModified=soon\n")
        << false;
    QTest::newRow("a folder where the file should be") << QByteArray() << true;
  }

  void aDamagedOrUnwritableFileNeverStopsTheProgram() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, folder);
    TempDir dir;
    const auto file = dir / "settings.ini";
    if (folder)
      std::filesystem::create_directory(file);
    else
      dir.Write("settings.ini", std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    SettingsStore store(Q(file));
    // Only what makes sense is read.
    for (const QString& path : store.RecentFiles()) QVERIFY2(path.startsWith(u'/'), qPrintable(path));
    QVERIFY(!store.MainWindowPosition());
    QVERIFY(!store.PreviewPlacement());
    QVERIFY(!store.LastConversion(u"/a.csv"_s));
    if (const auto pair = store.LastConversion(u"/b.csv"_s)) QCOMPARE(pair->outputModified, -1);
    // Changes hold for the run whether or not they reach the file.
    store.SetRecentFiles({u"/x.csv"_s});
    store.SetLastConversion(u"/x.csv"_s, {u"/x.html"_s, u"/x.out"_s});
    QCOMPARE(store.RecentFiles(), QStringList{u"/x.csv"_s});
    QCOMPARE(store.LastConversion(u"/x.csv"_s)->templateName, u"/x.html"_s);
  }

  void theRecentFilesMenuListsOpensAndForgets() {
    TempDir dir;
    SettingsStore store(Q(dir / "settings.ini"));
    MainWindowHarness h;
    ProgramMemory memory(h.window, store);
    QMenu* menu = memory.recentFiles().menu();
    // In the File menu, before its last separator.
    const QList<QAction*> fileItems = h.window.File()->actions();
    const auto at = std::find(fileItems.begin(), fileItems.end(), menu->menuAction());
    QVERIFY(at != fileItems.end() && (*(at + 1))->objectName() == u"bar1"_s);
    const QString a = Q(dir.Write("a.csv", "x\n1\n")), b = Q(dir.Write("b.csv", "x\n1\n"));
    // Files opened or saved under a name come first, once each.
    for (const QString& file : {a, b, a}) h.window.document().SetFileName(file);
    QCOMPARE(store.RecentFiles(), (QStringList{a, b}));
    emit menu->aboutToShow();
    QCOMPARE(menu->actions().first()->text(), u"&1 a.csv　（%1）"_s.arg(Q(dir.path())));
    memory.recentFiles().OpenRecent_Click(1);
    QCOMPARE(h.window.document().fileName(), b);
    // One that has gone is taken off the list, with a note.
    std::filesystem::remove(b.toStdString());
    memory.recentFiles().OpenRecent_Click(0);
    QCOMPARE(h.messageBox.TakePrompts(),
             QStringList{u"ファイルが見つかりません。最近使ったファイルの一覧から外しました。\n"_s + b});
    QCOMPARE(store.RecentFiles(), QStringList{a});
    QCOMPARE(h.window.document().fileName(), b);
    memory.recentFiles().Clear_Click();
    emit menu->aboutToShow();
    QVERIFY(store.RecentFiles().isEmpty() && !menu->actions().first()->isEnabled());
  }

  void placesAreKeptAndTakenBack() {
    TempDir dir;
    SettingsStore store(Q(dir / "settings.ini"));
    {
      MainWindowHarness h;
      ProgramMemory memory(h.window, store);
      h.window.move(30, 40);
      h.window.findChild<PreviewPane*>()->SetPlacement({300, 60, 420, 500});
      memory.KeepPlaces();
    }
    MainWindowHarness h;
    ProgramMemory memory(h.window, store);
    memory.RestorePlaces();
    QCOMPARE(h.window.pos(), QPoint(30, 40));
    QCOMPARE(h.window.findChild<PreviewPane*>()->Placement(), std::optional<QRect>(QRect(300, 60, 420, 500)));
    // A place on no screen is left alone.
    store.SetMainWindowPosition({-30000, -30000});
    MainWindowHarness other;
    ProgramMemory otherMemory(other.window, store);
    const QPoint before = other.window.pos();
    otherMemory.RestorePlaces();
    QCOMPARE(other.window.pos(), before);
  }

  // After a restart, the CSV file's last conversion is made again at once.
  void convertAgainAfterARestart() {
    TempDir dir;
    SettingsStore store(Q(dir / "settings.ini"));
    const QString csv = Q(dir.Write("list.csv", "name\r\napple\r\n"));
    const QString templ = Q(dir.Write("t.html", "<p><!-- name --></p><!-- nmae -->"));
    const QString out = Q(dir.Write("out.html", "old"));
    store.SetLastConversion(csv, StampedPair(templ, out));
    MainWindowHarness h(&store);
    h.window.OpenNamed(csv);
    QCOMPARE(h.window.document().fileName(), csv);
    h.window.Run("ConvertAgain");
    QVERIFY(h.window.dialogs.isEmpty());
    QCOMPARE(h.messageBox.calls.size(), std::size_t{0});
    QCOMPARE(ReadBytes(dir / "out.html"), std::string("<p>apple</p><!-- nmae -->"));
    // The report names the misspelt one first; it is put away by New.
    auto& report = Find<QLabel>(h.window, "ConversionMessage");
    QCOMPARE(report.text(), u"差し込めなかった所 1（nmae）　out.html（差し込み 1）"_s);
    QVERIFY(report.toolTip().contains(out));
    // The pair is stamped anew: again, no question.
    h.window.Run("ConvertAgain");
    QVERIFY(h.messageBox.calls.empty());
    h.window.Run("New");
    QVERIFY(report.text().isEmpty() && !Find<QToolButton>(h.window, "OpenOutput").isVisible());
    // A new sheet has no pair yet: Convert's dialog opens.
    h.window.Run("ConvertAgain");
    QCOMPARE(h.window.dialogs, QStringList{u"変換"_s});
  }
};

QTEST_MAIN(RememberedTest)
#include "RememberedTest.moc"
