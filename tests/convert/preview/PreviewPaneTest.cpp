// The preview pane in the main window: its menu item and key, what makes it
// refresh and when (after the pause, only while shown), the template's
// choice and changes on disk, the reasons it shows, its marks and cuts, and
// 出力を開く writing only a file of its own.

#include <QtTest>

#include <sys/stat.h>

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBlock>

#include "convert/dialog/Conv.h"
#include "convert/preview/PreviewBrowserFile.h"
#include "convert/preview/PreviewPage.h"
#include "convert/preview/PreviewPane.h"
#include "convert/preview/PreviewRefresh.h"
#include "convert/preview/PreviewTextView.h"
#include "convert/preview/PreviewViews.h"
#include "mainwindow/MainWindowHarness.h"
#include "sheet/commands/CommandWindow.h"
#include "sheet/document/SheetDocument.h"
#include "support/TempDir.h"

using namespace quillary;
using namespace quillary::testing;
using namespace Qt::StringLiterals;

namespace {

const std::u16string kTemplate =
    u"<html><body>\r\n<!-- BeginRepeat * --><p><!-- name -->: <!-- price --></p>\r\n<!-- EndRepeat --></body></html>";

// The main window with a two-record sheet and the pane over a template.
struct PreviewWindow : MainWindowHarness {
  PreviewWindow() {
    grid().SetSheet(MakeSheet(3, 3, {u"name", u"price", u"りんご", u"120", u"梨", u"80"}));
    templ = dir.Write("list.html", EncodeText(kTemplate, TextEncoding::Utf8));
  }
  PreviewPane& pane() const { return Find<PreviewPane>(window, "PreviewPane"); }
  PreviewRefresh& refresh() const { return pane().refresh(); }
  // Shown, over the template, with its first refresh made.
  bool ShowWithTemplate() {
    pane().SetTemplateName(Q(templ));
    window.Item("Preview")->trigger();
    return pane().isVisible() && pane().result() && pane().result()->HasOutput();
  }
  QString Output() const { return QString::fromStdU16String(pane().result()->expansion.text); }
  // Waits out the pause; true when exactly one refresh followed.
  bool OneRefreshAfterThePause(int before) const {
    return QTest::qWaitFor([&] { return !refresh().Pending(); }) && refresh().Refreshes() == before + 1;
  }

  TempDir dir;
  std::filesystem::path templ;
};

QString Records(const QString& first, const QString& second = QString()) {
  QString text = u"<html><body>\r\n<p>"_s + first + u"</p>\r\n"_s;
  if (!second.isEmpty()) text += u"<p>"_s + second + u"</p>\r\n"_s;
  return text + u"</body></html>"_s;
}

}  // namespace

class PreviewPaneTest : public QObject {
  Q_OBJECT

 private slots:
  void theViewMenuShowsAndHidesThePaneBesideTheWindow() {
    PreviewWindow h;
    QVERIFY(h.ShowActive());
    QAction* item = h.window.Item("Preview");
    QVERIFY(!h.pane().isVisible());

    // A window of its own beside the main window.
    QTest::keyClick(&h.window, Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(h.pane().isVisible());
    QVERIFY(h.pane().isWindow());
    QVERIFY(item->isChecked());
    QVERIFY(h.window.findChild<QLabel*>(u"Notice"_s)->text().startsWith(u"グリッドの今のシートで表示しています"_s));
    item->trigger();
    QVERIFY(!h.pane().isVisible());
    QVERIFY(!item->isChecked());
    item->trigger();
    h.pane().close();
    QVERIFY(!item->isChecked());
    QCOMPARE(h.Take(), QStringList(3, u"Preview_Click"_s));
    // Closing the main window puts the pane away too.
    item->trigger();
    QVERIFY(h.window.close());
    QVERIFY(!h.pane().isVisible());
  }

  void everyKindOfSheetChangeRefreshesAfterThePause_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("output");
    QTest::newRow("a cell edit") << u"edit"_s << Records(u"みかん: 120"_s, u"梨: 80"_s);
    QTest::newRow("an undo") << u"undo"_s << Records(u"りんご: 120"_s, u"梨: 80"_s);
    QTest::newRow("a resize") << u"resize"_s << Records(u"りんご: 120"_s);
    QTest::newRow("a burst of edits: one refresh") << u"burst"_s << Records(u"りんご: 10"_s, u"梨: 80"_s);
  }

  void everyKindOfSheetChangeRefreshesAfterThePause() {
    QFETCH(QString, change);
    QFETCH(QString, output);
    PreviewWindow h;
    if (change == u"undo") h.grid().SetTextMatrix(1, 1, u"みかん"_s);
    QVERIFY(h.ShowWithTemplate());
    const int before = h.refresh().Refreshes();
    if (change == u"edit") h.grid().SetTextMatrix(1, 1, u"みかん"_s);
    if (change == u"undo") h.window.document().Undo();
    if (change == u"resize") h.grid().Resize(2, 3);
    for (int i = 1; change == u"burst" && i <= 10; ++i) {
      h.grid().SetTextMatrix(1, 2, QString::number(i));
      QCoreApplication::processEvents();
    }
    // Not at once: after the pause.
    QVERIFY(h.refresh().Pending());
    QCOMPARE(h.refresh().Refreshes(), before);
    QVERIFY(h.OneRefreshAfterThePause(before));
    QCOMPARE(h.Output(), output);
  }

  void nothingIsMadeWhileHidden() {
    PreviewWindow h;
    QVERIFY(h.ShowWithTemplate());
    h.grid().SetTextMatrix(1, 2, u"1"_s);
    h.pane().hide();  // a pending refresh waits too
    const int before = h.refresh().Refreshes();
    h.grid().SetTextMatrix(1, 2, u"2"_s);
    h.dir.Write("list.html", "<p><!-- price --></p>");
    h.pane().SetTemplateName(Q(h.templ));
    QVERIFY(!h.refresh().Pending());
    QCOMPARE(h.refresh().Refreshes(), before);
    // Shown again, it is made at once, up to date.
    h.window.Run("Preview");
    QCOMPARE(h.refresh().Refreshes(), before + 1);
    QCOMPARE(h.Output(), u"<p>2</p>"_s);
  }

  void aChangeOfTheTemplateOnDiskRefreshes_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("written in place") << u"in place"_s;
    QTest::newRow("replaced by a rename") << u"rename"_s;
    QTest::newRow("deleted, then written anew") << u"anew"_s;
    // As an editor saving by a rename does it (sed -i, say).
    QTest::newRow("a link replaced by a file") << u"over a link"_s;
    QTest::newRow("the file behind a link replaced by a rename") << u"behind a link"_s;
  }

  void aChangeOfTheTemplateOnDiskRefreshes() {
    QFETCH(QString, how);
    PreviewWindow h;
    const auto real = h.dir / "real" / "list.html";
    if (how.endsWith(u"a link")) {
      std::filesystem::create_directory(h.dir / "real");
      std::filesystem::rename(h.templ, real);
      std::filesystem::create_symlink(real, h.templ);
    }
    QVERIFY(h.ShowWithTemplate());
    for (const char* version : {"v2 <!-- name -->", "v3 <!-- name -->"}) {
      if (how == u"in place") h.dir.Write("list.html", version);
      if (how == u"rename" || how == u"over a link")
        std::filesystem::rename(h.dir.Write("list.html.new", version), h.templ);
      if (how == u"behind a link") std::filesystem::rename(h.dir.Write("real/list.html.new", version), real);
      if (how == u"anew") {
        std::filesystem::remove(h.templ);
        QTRY_VERIFY(h.pane().Problem->text().contains(u"ファイルが見つかりません。"_s));
        h.dir.Write("list.html", version);
      }
      // The second time shows the file is still watched after the first.
      QTRY_COMPARE(h.Output(), QString::fromLatin1(version).replace(u"<!-- name -->"_s, u"りんご"_s));
    }
  }

  void thePageLoadsOnlyFilesOfTheTemplatesFolderAndSaysWhatItRefused() {
    PreviewWindow h;
    const auto site = h.dir / "site";
    std::filesystem::create_directory(site);
    QCOMPARE(::mkfifo((site / "pipe.png").c_str(), 0600), 0);
    h.dir.Write("outside.png", "\x89PNG");
    // The picture a cell names is refused as well as those of the template.
    h.grid().SetTextMatrix(1, 1, u"/dev/zero"_s);
    h.dir.Write("site/page.html",
                "<img src=\"pipe.png\"><img src=\"../outside.png\"><img src=\"http://example.com/a.png\">"
                "<img src=\"<!-- name -->\">");
    h.pane().SetTemplateName(Q(site / "page.html"));
    h.window.Item("Preview")->trigger();
    QCOMPARE(h.pane().Views->Note->text().section(u'\n', 0, 0),
             u"画像やスタイルシートのうち 4 個は読み込みませんでした（定型ファイルのフォルダーの外 2、ネット上 1、"
             u"通常のファイルでない 1）。"_s);
    // Pages that say nothing of it.
    h.grid().SetTextMatrix(1, 1, u"<table cellpadding=2000000000><tr><td>x</table>"_s);
    h.dir.Write("site/page.html", "<!-- name -->");
    QTRY_COMPARE(h.pane().Views->Note->text().section(u'\n', 0, 0),
                 u"大きすぎる余白や文字の大きさなどを抑えて表示しています。"_s);
    h.pane().Views->Tabs->setCurrentWidget(h.pane().Views->OutputText);
    QVERIFY(!h.pane().Views->Note->text().contains(u"抑えて"_s));
  }

  // Why the file cannot be read: the template reader's tests.
  void aTemplateThatCannotBeUsedShowsWhyInsteadOfAPage() {
    PreviewWindow h;
    QVERIFY(h.ShowWithTemplate());
    QVERIFY(h.pane().Views->isVisible());
    QVERIFY(h.pane().OpenOutput->isEnabled());
    QVERIFY(!h.pane().Problem->isVisible());
    h.pane().SetTemplateName(Q(h.dir.Write("bad.html", "<p>\r\n\x80<!-- name --></p>")));
    QCOMPARE(h.pane().Problem->text(),
             u"定型ファイルには、文字コード CP932 として読めないバイトが 1 個あります"
             u"（最初は 2 行目、先頭から 6 バイト目）。\nこの定型ファイルでは変換できません。"_s);
    QVERIFY(!h.pane().Views->isVisible());
    QVERIFY(!h.pane().Summary->isVisible());
    QVERIFY(!h.pane().OpenOutput->isEnabled());
  }

  void theTemplateIsChosenOrTakenFromConvert() {
    PreviewWindow h;
    // Convert's last template, while the preview has none of its own.
    h.window.onModal = [&](QDialog& dialog) { static_cast<Conv&>(dialog).Text1->setText(Q(h.templ)); };
    h.window.Run("Convert");
    h.window.Run("Preview");
    QCOMPARE(h.pane().TemplateName(), Q(h.templ));
    QCOMPARE(h.Output(), Records(u"りんご: 120"_s, u"梨: 80"_s));
    // Each conversion's template is taken up until the user picks one.
    const auto converted = h.dir.Write("converted.txt", "<!-- name -->");
    h.pane().ConvertedWith(Q(converted));
    QCOMPARE(h.pane().TemplateName(), Q(converted));
    h.pane().ConvertedWith(Q(h.templ));
    QCOMPARE(h.pane().TemplateName(), Q(h.templ));
    // The file dialog starts beside it; a cancel keeps it.
    const auto other = h.dir.Write("other.txt", "<!-- price -->");
    h.backend.Cancel().AcceptPath(Q(other));
    h.pane().ChooseTemplate->click();
    QCOMPARE(h.pane().TemplateName(), Q(h.templ));
    h.pane().ChooseTemplate->click();
    QCOMPARE(h.pane().TemplateName(), Q(other));
    QCOMPARE(h.backend.fileRequests.at(0).initialDir, Q(h.dir.path()));
    QCOMPARE(h.backend.fileRequests.at(0).mode, FileDialogMode::Open);
    QCOMPARE(h.Output(), u"120"_s);
    // Not a page: shown as text, and counted under it.
    QCOMPARE(h.pane().Views->Page->toPlainText(), u"120"_s);
    QVERIFY(h.pane().Summary->text().startsWith(u"差し込み 1 か所"_s));
    h.window.Run("Convert");
    h.pane().hide();
    h.pane().show();
    h.pane().ConvertedWith(Q(converted));
    QCOMPARE(h.pane().TemplateName(), Q(other));
  }

  void openOutputWritesOnlyAFileOfItsOwn() {
    auto h = std::make_unique<PreviewWindow>();
    QVERIFY(h->ShowWithTemplate());
    const auto listing = [&] {
      QStringList names;
      for (const auto& entry : std::filesystem::directory_iterator(h->dir.path()))
        names << QString::fromStdString(entry.path().filename().string());
      return names;
    };
    const QStringList before = listing();
    h->pane().OpenOutput->click();
    const QString file = h->pane().browserFile().fileName();
    QCOMPARE(h->desktop.opened, QStringList{file});
    QVERIFY(file.endsWith(u"/list.html"_s));
    QVERIFY(!file.startsWith(Q(h->dir.path())));
    QCOMPARE(ReadBytes(file.toStdString()), h->pane().result()->bytes);
    QCOMPARE(listing(), before);
    // A desktop that cannot open it is told of.
    h->desktop.opens = false;
    h->pane().OpenOutput->click();
    QCOMPARE(h->messageBox.TakePrompts(), QStringList{u"プレビューをブラウザーで開けませんでした。\n"_s + file});
    // Only its user may enter the folder, which goes with the program.
    QCOMPARE(QFileInfo(QFileInfo(file).absolutePath()).permissions() & (QFile::ReadOther | QFile::ReadGroup),
             QFile::Permissions());
    h.reset();
    QVERIFY(!QFileInfo::exists(QFileInfo(file).absolutePath()));
  }

  // The page of the current record follows the current cell; the field
  // row shows the first record's; an opted-in template says it escapes.
  void thePageOfTheCurrentRecordFollowsTheCell() {
    PreviewWindow h;
    h.grid().SetTextMatrix(2, 1, u"梨&柿"_s);
    h.templ = h.dir.Write("item.html", "<!-- EscapeValues --><p><!-- name -->: <!-- price --></p>");
    QVERIFY(h.ShowWithTemplate());
    const auto& summary = *h.window.findChild<QLabel*>(u"Summary"_s);
    QVERIFY(summary.text().contains(u"値をエスケープ"_s));
    h.grid().SetRow(2);
    h.pane().ShowRecordPage(true);
    QCOMPARE(h.pane().ShownRecord(), 2);
    QCOMPARE(h.Output(), u"<p>梨&amp;柿: 80</p>"_s);
    QVERIFY(summary.text().startsWith(u"レコード 2 のページ"_s));
    const int before = h.refresh().Refreshes();
    h.grid().SetRow(0);
    QVERIFY(h.OneRefreshAfterThePause(before));
    QCOMPARE(h.Output(), u"<p>りんご: 120</p>"_s);
    // The whole page again, from the second record's cell: the first record fills it.
    h.grid().SetRow(2);
    h.pane().ShowRecordPage(false);
    QCOMPARE(h.pane().ShownRecord(), 0);
    QCOMPARE(h.Output(), u"<p>りんご: 120</p>"_s);
  }

  void theTextViewMarksTheValuesLineByLine() {
    PreviewWindow h;
    h.grid().SetTextMatrix(2, 2, QString());  // 梨 has no price
    QVERIFY(h.ShowWithTemplate());
    QVERIFY(h.pane().Views->Unknown->isHidden());
    h.dir.Write("list.html", EncodeText(kTemplate + u"<!-- price --><!-- prise -->", TextEncoding::Utf8));
    QTRY_VERIFY(h.Output().endsWith(u"</html><!-- price --><!-- prise -->"_s));
    h.pane().Views->Tabs->setCurrentWidget(h.pane().Views->OutputText);
    QTextDocument& document = *h.pane().Views->OutputText->document();
    // The CR LF line ends do not shift the marks: each block's marked runs.
    const auto runs = [&](int blockNumber) {
      QStringList marked;
      const QTextBlock block = document.findBlockByNumber(blockNumber);
      for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
        const QColor colour = range.format.background().color();
        const QString kind = colour == PreviewTextView::ValueColor()      ? u"value "_s
                             : colour == PreviewTextView::UnfilledColor() ? u"unfilled "_s
                             : colour == PreviewTextView::UnknownColor()  ? u"no field "_s
                                                                          : u"? "_s;
        marked << kind + block.text().mid(range.start, range.length);
      }
      return marked;
    };
    QCOMPARE(runs(0), QStringList());
    QCOMPARE(runs(1), (QStringList{u"value りんご"_s, u"value 120"_s}));
    QCOMPARE(runs(2), QStringList{u"value 梨"_s});
    QCOMPARE(runs(3), (QStringList{u"unfilled <!-- price -->"_s, u"no field <!-- prise -->"_s}));
    QVERIFY(h.pane().Views->Note->text().contains(u"紫はどのフィールド名でもない差し込み"_s));
    // Listed above the tabs, for the page hides them.
    QVERIFY(h.pane().Views->Unknown->isVisible());
    QCOMPARE(h.pane().Views->Unknown->text(), u"どのフィールド名でもない差し込み（名前の誤り？）: prise"_s);
  }

  void aLongOutputShowsItsStartAndSaysSo() {
    PreviewWindow h;
    h.pane().SetLimits({60, 40, 30});
    QVERIFY(h.ShowWithTemplate());
    QVERIFY(!h.pane().result()->expansion.cut);
    // The page ends after the last tag before the limit.
    QCOMPARE(h.pane().Views->Page->toPlainText().trimmed(), u"りんご: 120"_s);
    QCOMPARE(h.pane().Views->Note->text().section(u'\n', 0, 0),
             u"長いため、先頭の約 30 文字だけを表示しています（全体は 59 文字）。"
             u"全体は「出力を開く」でブラウザーに表示できます。"_s);
    h.pane().Views->Tabs->setCurrentWidget(h.pane().Views->OutputText);
    QVERIFY(h.pane().Views->Note->text().startsWith(u"長いため、先頭の約 40 文字だけを表示しています"_s));
    // Past the output limit it stops inside the value; the counts are of
    // what it made.
    h.grid().SetTextMatrix(2, 1, QString(40, u'長'));
    QTRY_VERIFY(h.pane().result()->expansion.cut);
    QVERIFY(h.pane().Views->Note->text().startsWith(u"出力が 60 文字を超えるため"_s));
    QVERIFY2(h.pane().Summary->text().startsWith(u"差し込み 3 か所"_s), qPrintable(h.pane().Summary->text()));
  }
};

QTEST_MAIN(PreviewPaneTest)
#include "PreviewPaneTest.moc"
