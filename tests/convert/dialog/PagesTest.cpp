// レコードごとに変換: its dialog's plan as the user types, the question
// about files replaced, the writing with its progress and cancel, and the
// report, with the message box, the file dialog and the user scripted.

#include <QtTest>

#include <QLabel>
#include <QLineEdit>

#include "convert/dialog/PagesCommand.h"
#include "convert/dialog/PagesDialog.h"
#include "platform/TextEncoding.h"
#include "sheet/commands/CommandWindow.h"
#include "support/TempDir.h"

using namespace quillary;
using namespace quillary::testing;
using namespace Qt::StringLiterals;

namespace {

using User = std::function<void(PagesDialog&)>;

User Fill(const QString& templateName, const QString& folder, const QString& pattern, bool pressOK = true) {
  return [=](PagesDialog& dialog) {
    dialog.TemplateBox->setText(templateName);
    dialog.FolderBox->setText(folder);
    dialog.PatternBox->setText(pattern);
    if (pressOK) dialog.OKButton_Click();
  };
}

// The main window's side of the command; `user` acts on the shown dialog,
// `cancelAt` cancels the writing when that many pages are made.
struct PagesWindow : CommandWindow {
  User user;
  std::size_t cancelAt = 0;
  std::vector<std::size_t> progress;
  PagesCommand pages{document,
                     *this,
                     commands,
                     services,
                     nullptr,
                     [this](PagesDialog& dialog) {
                       dialog.show();
                       if (user) user(dialog);
                     },
                     [this](QWidget*, std::size_t) {
                       return [this](std::size_t made, std::size_t) {
                         progress.push_back(made);
                         return made != cancelAt;
                       };
                     }};
  // Products A, B, C, fields code and name, as last saved.
  void LoadProducts(std::u16string lastName = u"c&d") {
    Load(MakeSheet(4, 3, {u"code", u"name", u"A", u"a<b>", u"B", u"b", u"C", lastName}));
    SetSheetArray(SheetArray::FromSheet(fg2.sheet()));
  }
};

}  // namespace

class PagesTest : public QObject {
  Q_OBJECT

 private slots:
  // What the dialog says before anything is written, as the user types.
  void thePlanShowsAsTheUserTypes_data() {
    QTest::addColumn<QString>("templateFile");  // under the folder; empty: none
    QTest::addColumn<QString>("folder");        // under the temporary folder
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("shown");
    const QString t = u"t.html"_s;
    QTest::newRow("no template") << QString() << u"."_s << u"p"_s << u"定型ファイル名を入力してください"_s;
    QTest::newRow("no folder") << t << u"missing"_s << u"<!-- code -->"_s << u"出力先フォルダーが見つかりません"_s;
    QTest::newRow("no pattern") << t << u"."_s << QString()
                                << u"ファイル名を入力してください（例: item-<!-- 商品コード -->.html）"_s;
    QTest::newRow("one name for all") << t << u"."_s << u"same.html"_s
                                      << u"レコード 1、2、3、4 のファイル名が同じ「same.html」になります。"_s;
    QTest::newRow("an empty name") << t << u"."_s << u"<!-- code -->"_s << u"レコード 4 のファイル名が空になります。"_s;
    QTest::newRow("names made safe, one replaced")
        << t << u"."_s << u"<!-- code -->/<!-- name -->.html"_s
        << u"4 個のファイルを書き出します（うち 1 個は既存のファイルを置き換え）: A_a<b>.html、B_b.html、C_c&d.html、…"_s;
  }

  void thePlanShowsAsTheUserTypes() {
    QFETCH(QString, templateFile);
    QFETCH(QString, folder);
    QFETCH(QString, pattern);
    QFETCH(QString, shown);
    TempDir dir;
    dir.Write("t.html", "<!-- name -->");
    dir.Write("B_b.html", "old");
    PagesWindow window;
    window.SetSheetArray(
        SheetArray::FromSheet(MakeSheet(6, 3, {u"code", u"name", u"A", u"a<b>", u"B", u"b", u"C", u"c&d", u"", u"d"})));
    window.user = [&](PagesDialog& dialog) {
      Fill(templateFile.isEmpty() ? QString() : Q(dir / templateFile.toStdString()), Q(dir / folder.toStdString()),
           pattern, false)(dialog);
      QTRY_COMPARE(dialog.PlanText->text(), shown);  // a moment after the last key
      dialog.reject();
    };
    QVERIFY(!window.pages.Pages_Click());
    QVERIFY(window.messageBox.calls.empty());
  }

  // A changed sheet is offered a Save first (as Convert offers it); here
  // No: the sheet as last saved is written, into the folder browsed to.
  void writesEveryPageAfterOneQuestionAndReports() {
    TempDir dir;
    const auto templ = dir.Write("item.html", "<!-- EscapeValues --><p><!-- name --></p>");
    dir.Write("B.html", "old B");
    dir.Write("C.html", "old C");
    PagesWindow window;
    window.LoadProducts();
    window.pendingEdit = u"edited"_s;  // still in the editor: it counts
    window.fg2.SetRow(1);
    window.fg2.SetCol(2);
    window.backend.AcceptPath(Q(dir.path()));
    // No to the save; to the replacing, No keeps the dialog open and writes
    // nothing, Yes writes.
    window.messageBox.Answer(MsgResult::No).Answer(MsgResult::No).Answer(MsgResult::Yes);
    window.user = [&](PagesDialog& dialog) {
      dialog.BrowseFolder_Click();
      Fill(Q(templ), dialog.FolderName(), u"<!-- code -->.html"_s)(dialog);
      QVERIFY(dialog.isVisible());
      QVERIFY(dialog.EscapeNotice->isVisibleTo(&dialog));
      QCOMPARE(ReadBytes(dir / "B.html"), std::string("old B"));
      dialog.OKButton_Click();
    };
    const auto done = window.pages.Pages_Click();
    const QString question =
        u"出力先フォルダーには同じ名前のファイルがすでにあります: 「B.html」ほか 1 個\n置き換えますか？"_s;
    const QStringList prompts = window.messageBox.TakePrompts();
    QCOMPARE(prompts.mid(1), QStringList({question, question}));
    QVERIFY(prompts[0].startsWith(u"シートが変更されています。"_s));
    QVERIFY(done);
    QCOMPARE(window.backend.fileRequests.at(0).flags & kPickFolderFlag, kPickFolderFlag);
    QCOMPARE(ReadBytes(dir / "A.html"), std::string("<p>a&lt;b&gt;</p>"));
    QCOMPARE(ReadBytes(dir / "C.html"), std::string("<p>c&amp;d</p>"));
    QCOMPARE(window.progress.back(), std::size_t{3});
    QCOMPARE(PagesStatusText(*done), u"レコードごとに変換しました（最後に保存したシートで）: 3 個のファイル → "_s +
                                         Q(dir.path()) + u"（差し込み 3 か所）　置き換え 2 個　値をエスケープ"_s);
    // The names stay for the next run.
    window.user = [&](PagesDialog& dialog) {
      QCOMPARE(dialog.Pattern(), u"<!-- code -->.html"_s);
      dialog.reject();
    };
    QVERIFY(!window.pages.Pages_Click());
  }

  // Cancelled part-way, or a page that cannot be made: the folder as it was.
  void nothingIsWrittenUnlessEveryPageIs_data() {
    QTest::addColumn<std::size_t>("cancelAt");
    QTest::addColumn<QString>("lastName");
    QTest::addColumn<QString>("message");  // empty: none
    QTest::newRow("cancelled at the second page") << std::size_t{2} << u"c"_s << QString();
    QTest::newRow("a character CP932 lacks in a text page")
        << std::size_t{0} << u"雪だるま☃"_s
        << u"レコード 3 のページを作れませんでした。\n%1/C.txt\n出力ファイルに書き込めない文字が含まれています。\n"
           u"「☃」（U+2603）\n出力は定型ファイルと同じ文字コード（CP932）で書き出します。"
           u"定型ファイルを UTF-8 で保存すると、出力も UTF-8 になります。\nフォルダーは書き出す前のままです。"_s;
  }

  void nothingIsWrittenUnlessEveryPageIs() {
    QFETCH(std::size_t, cancelAt);
    QFETCH(QString, lastName);
    QFETCH(QString, message);
    TempDir dir;
    const auto templ = dir.Write("item.txt", "<!-- name -->");
    dir.Write("A.txt", "old A");
    PagesWindow window;
    window.LoadProducts(lastName.toStdU16String());
    window.cancelAt = cancelAt;
    window.user = Fill(Q(templ), Q(dir.path()), u"<!-- code -->.txt"_s);
    QVERIFY(!window.pages.Pages_Click());
    QStringList prompts{u"出力先フォルダーには同じ名前のファイルがすでにあります: 「A.txt」\n置き換えますか？"_s};
    if (!message.isEmpty()) prompts << message.arg(Q(dir.path()));
    QCOMPARE(window.messageBox.TakePrompts(), prompts);
    QCOMPARE(ReadBytes(dir / "A.txt"), std::string("old A"));
    QVERIFY(!std::filesystem::exists(dir / "B.txt"));
  }
};

QTEST_MAIN(PagesTest)
#include "PagesTest.moc"
