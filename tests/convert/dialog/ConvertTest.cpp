// The Convert dialog and Convert_Click, with the file dialog and the message
// box answered by script and the user's actions on the shown dialog scripted.

#include <QtTest>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstdlib>

#include <sys/stat.h>

#include "convert/dialog/Conv.h"
#include "convert/dialog/ConvertAgain.h"
#include "convert/dialog/ConvertWindow.h"
#include "support/TempDir.h"

using namespace quillary;
using namespace quillary::testing;
using namespace Qt::StringLiterals;

namespace {

std::filesystem::path Examples() {
  const char* dir = std::getenv("QUILLARY_SOURCE_DIR");
  return std::filesystem::path(dir ? dir : QUILLARY_SOURCE_DIR_FALLBACK) / "examples";
}

}  // namespace

class ConvertTest : public QObject {
  Q_OBJECT

 private slots:
  // Tab goes OK, Cancel, template name, its "...", output name, its "...".
  void tabOrderAndBrowseButtons() {
    TempDir dir;
    const QString templ = Q(dir.Write("template.html", "x"));
    ConvertWindow window;
    Conv& conv = window.Dialog();
    const QList<QWidget*> order{conv.OKButton, conv.CancelButton, conv.Text1, conv.Command1, conv.Text2, conv.Command2};
    for (int i = 0; i < order.size(); ++i) {
      QWidget* next = order[i]->nextInFocusChain();
      while (!(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
      QCOMPARE(next, order[(i + 1) % order.size()]);
    }
    // A template that does not exist and a cancel leave the first choice.
    window.backend.AcceptPath(templ).AcceptPath(Q(dir / "missing.html")).Cancel();
    for (int i = 0; i < 3; ++i) conv.Command1_Click();
    QCOMPARE(conv.Text1->text(), templ);
    // The output may be a new file; a name too long for the dialog is refused.
    window.backend.AcceptPath(Q(dir / "new.html")).Cancel().AcceptPath(QString(300, u'n'));
    for (int i = 0; i < 3; ++i) conv.Command2_Click();
    QCOMPARE(conv.Text2->text(), Q(dir / "new.html"));
    QCOMPARE(window.messageBox.TakePrompts(), QStringList{QStringLiteral("ファイル名が長すぎます。")});
    const auto& asked = window.backend.fileRequests;
    QCOMPARE(asked.size(), std::size_t{6});
    for (std::size_t i = 0; i < asked.size(); ++i)
      QCOMPARE(asked[i].mode, i < 3 ? FileDialogMode::Open : FileDialogMode::Save);
  }

  void okChecksInOrderAndNamesAreEmptyAtEveryOpening() {
    TempDir dir;
    const QString templ = Q(dir.Write("template.html", "plain"));
    const QString out = Q(dir / "out.html");
    const QString noTemplate = QStringLiteral("定型ファイルが存在しません");
    const struct {
      QString templateName, outputName, message;
    } refusals[] = {
        {QString(), out, QStringLiteral("定型ファイル名を入力してください")},
        {Q(dir / "missing.html"), QString(), noTemplate},
        {Q(dir.path()), out, noTemplate},
        {templ + QStringLiteral(" "), out, noTemplate},  // never trimmed
        {templ, QString(), QStringLiteral("出力ファイル名を入力してください")},
    };
    ConvertWindow window;
    Conv& conv = window.Dialog();
    for (const auto& r : refusals) {
      TypeNames(r.templateName, r.outputName)(conv);
      QCOMPARE(window.messageBox.TakePrompts(), QStringList{r.message});
      QVERIFY(conv.isVisible());
      QCOMPARE((QStringList{conv.TemplateName(), conv.OutputName()}), (QStringList{r.templateName, r.outputName}));
    }
    // An existing output, here the template itself, needs Yes (the default);
    // No keeps the dialog open with both names.
    window.messageBox.Answer(MsgResult::No).Answer(MsgResult::Yes);
    TypeNames(templ, templ)(conv);
    QVERIFY(conv.isVisible());
    QCOMPARE((QStringList{conv.TemplateName(), conv.OutputName()}), (QStringList{templ, templ}));
    conv.OKButton_Click();
    QVERIFY(!conv.isVisible());
    QCOMPARE(conv.result(), QDialog::Accepted);
    const QString question = QStringLiteral("出力ファイルはすでに存在します\n置き換えますか？");
    QCOMPARE(window.messageBox.calls[0].buttons, MsgButtons::YesNo);
    QCOMPARE(window.messageBox.TakePrompts(), QStringList({question, question}));

    // After a conversion, Cancel (as the close box) or one name only, the next
    // opening starts with both names empty and nothing more is written.
    const QString never = Q(dir / "never.txt");
    const User runs[] = {
        TypeNames(templ, Q(dir / "out.txt")),
        [&](Conv& c) {
          TypeNames(templ, never, false)(c);
          c.CancelButton->click();
        },
        TypeNames(templ, QString(), false),
        {},
    };
    window.namesAtOpening.clear();
    for (const User& run : runs) {
      window.user = run;
      window.convert.Convert_Click();
      QCOMPARE(window.convert.dialog(), &conv);  // kept loaded between runs
    }
    QCOMPARE(window.namesAtOpening, QList<QStringList>(std::size(runs), QStringList{QString(), QString()}));
    QCOMPARE(ReadBytes(dir / "out.txt"), std::string("plain"));
    QVERIFY(!std::filesystem::exists(never.toStdString()));
    QVERIFY(window.messageBox.calls.empty());
    window.convert.CloseDialog();
    QVERIFY(!window.convert.dialog());
  }

  // A failure is told and nothing is written: a template gone after the
  // dialog found it or that does not decode, an output that cannot be
  // written or hold a character, an output past the limit.
  void failuresAreToldAndNothingIsWritten() {
    TempDir dir;
    ConvertWindow window;
    const auto templ = dir / "t.txt";
    const auto pipe = dir / "pipe";
    QCOMPARE(::mkfifo(pipe.c_str(), 0600), 0);
    const struct {
      const char* name;
      std::string templateBytes;  // empty: removed once the dialog found it
      std::u16string cell;
      std::filesystem::path output;
      QString message;
    } failures[] = {
        {"template gone",
         {},
         u"ok",
         dir / "out1.txt",
         QStringLiteral("定型ファイルを読み込めませんでした。\n") + Q(templ) +
             QStringLiteral("\nファイルが見つかりません。")},
        {"template undecodable", "<p>\r\n\x80<!-- name --></p>", u"ok", dir / "out2.txt",
         QStringLiteral("定型ファイルには、文字コード CP932 として読めないバイトが 1 個あります"
                        "（最初は 2 行目、先頭から 6 バイト目）。\n変換しませんでした。")},
        {"a pipe", "<!-- name -->", u"ok", pipe,
         QStringLiteral("ファイルに書き込めませんでした。\n") + Q(pipe) +
             QStringLiteral("\n通常のファイルではありません（デバイスやパイプなどには書き出せません）。")},
        {"a character CP932 lacks", "<!-- name -->", u"雪だるま☃", dir / "out4.txt",
         QStringLiteral("出力ファイルに書き込めない文字が含まれています。\n「☃」（U+2603）\n"
                        "出力は定型ファイルと同じ文字コード（CP932）で書き出します。"
                        "定型ファイルを UTF-8 で保存すると、出力も UTF-8 になります。")},
    };
    for (const auto& c : failures) {
      window.Load(MakeSheet(2, 2, {u"name", c.cell}));  // nothing unsaved to ask about
      window.SetSheetArray(SheetArray::FromSheet(window.fg2.sheet()));
      window.user = [&](Conv& conv) {
        TypeNames(Q(templ), Q(c.output))(conv);
        if (c.templateBytes.empty()) std::filesystem::remove(templ);
      };
      dir.Write("t.txt", c.templateBytes.empty() ? "<!-- name -->" : c.templateBytes);
      QVERIFY2(!window.convert.Convert_Click(), c.name);
      QCOMPARE(window.messageBox.TakePrompts(), QStringList{c.message});
      QVERIFY2(!std::filesystem::is_regular_file(c.output), c.name);  // the pipe still a pipe
    }
    window.convert.SetOutputLimit(1);
    window.user = TypeNames(Q(dir.Write("t.txt", "<!-- name -->")), Q(dir / "out5.txt"));
    window.convert.Convert_Click();
    QCOMPARE(window.messageBox.TakePrompts(), QStringList{QStringLiteral("出力が大きすぎます。")});
    QVERIFY(!std::filesystem::exists(dir / "out5.txt"));
  }

  // A sheet changed since its last Save (here also widened): Yes saves it
  // (to its own file, else through the file dialog) and converts what was
  // saved, No converts the older sheet and says so, Cancel does nothing, and
  // a cancelled Save converts nothing. Convert again and per-record pages
  // ask through the same function.
  void aChangedSheetIsOfferedASaveFirst_data() {
    QTest::addColumn<QList<MsgResult>>("answers");
    QTest::addColumn<bool>("saveAccepted");
    QTest::addColumn<bool>("ownFile");    // the sheet has a file: no file dialog
    QTest::addColumn<QString>("output");  // empty: nothing written
    QTest::newRow("yes") << QList<MsgResult>{MsgResult::Yes} << true << false << u"edited"_s;
    QTest::newRow("yes, to its own file") << QList<MsgResult>{MsgResult::Yes} << true << true << u"edited"_s;
    QTest::newRow("no") << QList<MsgResult>{MsgResult::No} << false << false << u"r1"_s;
    QTest::newRow("cancel") << QList<MsgResult>{MsgResult::Cancel} << false << false << QString();
    QTest::newRow("yes, then the save is cancelled") << QList<MsgResult>{MsgResult::Yes} << false << false << QString();
  }

  void aChangedSheetIsOfferedASaveFirst() {
    QFETCH(QList<MsgResult>, answers);
    QFETCH(bool, saveAccepted);
    QFETCH(bool, ownFile);
    QFETCH(QString, output);
    TempDir dir;
    ConvertWindow window;
    window.Load(MakeSheet(3, 2, {u"name", u"r1", u"r2"}));
    window.SetSheetArray(SheetArray::FromSheet(window.fg2.sheet()));
    window.pendingEdit = u"edited"_s;  // still in the editor: it counts
    window.fg2.SetRow(1);
    window.fg2.SetCols(5);  // fields the sheet as last saved lacks
    if (ownFile) window.document.SetFileName(Q(dir / "saved.csv"));
    for (const MsgResult answer : answers) window.messageBox.Answer(answer);
    if (saveAccepted && !ownFile) window.backend.AcceptPath(Q(dir / "saved.csv"));
    window.user = TypeNames(Q(dir.Write("t.txt", "<!-- name -->")), Q(dir / "out.txt"));
    const auto done = window.convert.Convert_Click();
    QCOMPARE(window.messageBox.TakePrompts(),
             QStringList{QStringLiteral("シートが変更されています。保存してから変換しますか？\n"
                                        u"「いいえ」を選ぶと、最後に開いたか保存したときのシートで変換します。")});
    QCOMPARE(window.backend.fileRequests.size(), std::size_t(ownFile || answers.front() != MsgResult::Yes ? 0 : 1));
    QCOMPARE(window.namesAtOpening.size(), output.isEmpty() ? 0 : 1);
    QCOMPARE(bool(done), !output.isEmpty());
    if (done) {
      QCOMPARE(QString::fromStdString(ReadBytes(dir / "out.txt")), output);
      QCOMPARE(done->olderThanGrid, answers.front() == MsgResult::No);
      QCOMPARE(done->summary.filled, std::size_t{1});
    }
    QCOMPARE(std::filesystem::exists(dir / "saved.csv"), saveAccepted);
  }

  // What makes Convert again ask or open the dialog (a pair unchanged
  // since: the remembered conversion's test).
  void convertAgainAsksOrOpensTheDialogWhenItMust() {
    TempDir dir;
    ConvertWindow window;
    ConvertAgainCommand again(window.convert, window.messageBox);
    window.Load(MakeSheet(2, 2, {u"name", u"r1"}));
    window.SetSheetArray(SheetArray::FromSheet(window.fg2.sheet()));
    const QString templ = Q(dir.Write("t.txt", "[<!-- name -->]"));
    const QString out = Q(dir.Write("out.txt", "old"));
    const ConversionPair stamped = StampedPair(templ, out);
    dir.Write("out.txt", "changed");
    // Changed on disk since (another size), or never stamped: asked as Convert asks.
    for (const ConversionPair& asked : {stamped, ConversionPair{templ, out}}) {
      window.messageBox.Answer(MsgResult::No);
      QVERIFY(!again.ConvertAgain_Click(asked));
      QCOMPARE(window.messageBox.TakePrompts(), QStringList{u"出力ファイルはすでに存在します\n置き換えますか？"_s});
      QCOMPARE(ReadBytes(dir / "out.txt"), std::string("changed"));
    }
    // A changed sheet is offered a Save first, as Convert does.
    window.fg2.SetTextMatrix(1, 1, QStringLiteral("edited"));
    window.messageBox.Answer(MsgResult::Cancel);
    QVERIFY(!again.ConvertAgain_Click(StampedPair(templ, out)));
    QCOMPARE(window.messageBox.TakePrompts().size(), 1);
    window.Load(MakeSheet(2, 2, {u"name", u"r1"}));
    // A template or an output that has gone is told of, and the dialog opens.
    const struct {
      const char* name;
      ConversionPair pair;
      QString message;
    } gone[] = {
        {"template", StampedPair(Q(dir / "gone.txt"), out),
         QStringLiteral("前回の変換の定型ファイルが見つかりません。\n") + Q(dir / "gone.txt") +
             QStringLiteral("\n変換するファイルを選び直してください。")},
        {"output", StampedPair(templ, Q(dir / "gone.out")),
         QStringLiteral("前回の変換の出力ファイルが見つかりません。\n") + Q(dir / "gone.out") +
             QStringLiteral("\n変換するファイルを選び直してください。")},
    };
    for (const auto& g : gone) {
      window.namesAtOpening.clear();
      QVERIFY2(!again.ConvertAgain_Click(g.pair), g.name);
      QCOMPARE(window.messageBox.TakePrompts(), QStringList{g.message});
      QCOMPARE(window.namesAtOpening.size(), 1);
    }
  }

  // The dialog says when the named template opts in to escaped values.
  void theEscapeNoticeFollowsTheTemplate_data() {
    QTest::addColumn<QByteArray>("templateText");
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("shown");
    QTest::newRow("opted in") << QByteArray("<!-- EscapeValues --><!-- name -->") << u"name"_s << true;
    QTest::newRow("a field of that name wins") << QByteArray("<!-- EscapeValues -->") << u"EscapeValues"_s << false;
  }

  void theEscapeNoticeFollowsTheTemplate() {
    QFETCH(QByteArray, templateText);
    QFETCH(QString, field);
    QFETCH(bool, shown);
    TempDir dir;
    const auto templ = dir.Write("t.html", templateText.toStdString());
    ConvertWindow window;
    window.Load(MakeSheet(2, 2, {field.toStdU16String(), u"a&b"}));
    window.SetSheetArray(SheetArray::FromSheet(window.fg2.sheet()));
    window.user = [&](Conv& conv) {
      conv.Text1->setText(Q(templ));
      QCOMPARE(conv.EscapeNotice->isVisibleTo(&conv), shown);
      conv.Text1->setText(Q(dir / "missing.html"));
      QVERIFY(!conv.EscapeNotice->isVisibleTo(&conv));
      conv.reject();
    };
    window.convert.Convert_Click();
  }

  void theStatusLineSaysWhatWasWrittenAndWhatWasLeft() {
    ConversionDone done{u"/tmp/list.html"_s, u"/tmp/out.html"_s, {}, false};
    done.summary.filled = 12;
    QCOMPARE(ConversionStatusText(done), u"変換しました: /tmp/out.html（差し込み 12 か所）"_s);
    done.summary.unfilled = {{u"価格", 2}, {u"名前", 1}, {u"在庫", 1}, {u"色", 3}};
    done.summary.unknown = {{u"商品名", 1}};
    done.olderThanGrid = true;
    done.summary.valuesEscaped = true;
    done.summary.references = 2;
    QCOMPARE(ConversionStatusText(done),
             u"変換しました（最後に保存したシートで）: /tmp/out.html（差し込み 12 か所）　値をエスケープ　文字参照 2 個"
             u"　データが足りず残った差し込み 7 か所: 価格 ×2、名前、在庫、…"
             u"　どのフィールド名でもない差し込み 1 か所: 商品名"_s);
    // The short report: what went wrong first, the output's name alone.
    QCOMPARE(ConversionReportText(done),
             u"差し込めなかった所 8（商品名、価格 ×2、名前、…）　out.html"
             u"（差し込み 12、最後に保存したシートで）"_s);
    done.summary = {};
    done.summary.filled = 3;
    done.olderThanGrid = false;
    QCOMPARE(ConversionReportText(done), u"out.html に書き出しました（差し込み 3）"_s);
  }

  void bundledExampleThroughTheModalDialog() {
    TempDir dir;
    CommandWindow window;
    window.backend.AcceptPath(Q(Examples() / "sample.csv"));
    window.commands.Open_Click();
    ConvertCommand convert(window.document, window, window.commands, window.services, nullptr);
    QTimer::singleShot(0, [&] {
      QCOMPARE(QApplication::activeModalWidget(), convert.dialog());
      TypeNames(Q(Examples() / "template.html"), Q(dir / "out.html"))(*convert.dialog());
      if (convert.dialog()->isVisible()) convert.dialog()->reject();  // OK failed: end it anyway
    });
    convert.Convert_Click();
    QVERIFY(window.messageBox.calls.empty());
    QCOMPARE(ReadBytes(dir / "out.html"), ReadBytes(Examples() / "expected.html"));
  }
};

QTEST_MAIN(ConvertTest)
#include "ConvertTest.moc"
