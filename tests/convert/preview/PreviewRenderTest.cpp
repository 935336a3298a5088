// The preview's output against what Convert writes once the same sheet is
// saved, in every encoding case, and the reasons it gives instead of a page.

#include <QtTest>

#include <QLineEdit>
#include <QPushButton>

#include "convert/dialog/Conv.h"
#include "convert/dialog/ConvertCommand.h"
#include "convert/preview/PreviewRender.h"
#include "platform/TextEncoding.h"
#include "sheet/commands/CommandWindow.h"
#include "support/TempDir.h"

using namespace quillary;
using namespace quillary::testing;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(quillary::TextEncoding)

namespace {

// The main window's side of Convert, the user typing the two names.
struct ConvertingWindow : CommandWindow {
  QString templateName, outputName;
  ConvertCommand convert{document, *this, commands, services, nullptr, [this](Conv& conv) {
                           conv.Text1->setText(templateName);
                           conv.Text2->setText(outputName);
                           conv.OKButton_Click();
                         }};
};

}  // namespace

class PreviewRenderTest : public QObject {
  Q_OBJECT

 private slots:
  void theOutputIsWhatConvertWritesAfterASave_data() {
    QTest::addColumn<std::string>("templateBytes");
    QTest::addColumn<TextEncoding>("saveEncoding");
    QTest::addColumn<TextEncoding>("outputEncoding");
    const std::u16string japanese =
        u"<h1>品目</h1><!-- BeginRepeat * --><li><!-- name -->: <!-- price --></li><!-- EndRepeat -->";
    const std::string ascii =
        "<meta charset=\"utf-8\"><!-- BeginRepeat * -->[<!-- name -->=<!-- price -->]<!-- EndRepeat -->";
    QTest::newRow("a UTF-8 template, whatever the sheet's")
        << EncodeText(japanese, TextEncoding::Utf8) << TextEncoding::Cp932 << TextEncoding::Utf8;
    QTest::newRow("a CP932 template, whatever the sheet's")
        << EncodeText(japanese, TextEncoding::Cp932) << TextEncoding::Utf8 << TextEncoding::Cp932;
    QTest::newRow("plain ASCII with a CP932 sheet") << ascii << TextEncoding::Cp932 << TextEncoding::Cp932;
    QTest::newRow("plain ASCII with a UTF-8 sheet") << ascii << TextEncoding::Utf8 << TextEncoding::Utf8;
    QTest::newRow("plain ASCII with a UTF-8 sheet with its mark")
        << ascii << TextEncoding::Utf8WithBom << TextEncoding::Utf8WithBom;
  }

  void theOutputIsWhatConvertWritesAfterASave() {
    QFETCH(std::string, templateBytes);
    QFETCH(TextEncoding, saveEncoding);
    QFETCH(TextEncoding, outputEncoding);
    TempDir dir;
    ConvertingWindow window;
    window.Load(MakeSheet(4, 3, {u"name", u"value", u"りんご", u"120", u"梨", u"80|秋"}));
    // Edits in the grid since: a new record, a renamed field, one more column.
    window.fg2.SetTextMatrix(3, 1, u"みかん"_s);
    window.fg2.SetTextMatrix(3, 2, u"95"_s);
    window.fg2.SetTextMatrix(0, 2, u"price"_s);
    window.fg2.SetCols(4);
    window.document.fileEncoding() = saveEncoding;
    const auto templ = dir.Write("t.html", templateBytes);
    const PreviewResult preview =
        RenderPreview(Q(templ), window.fg2.document().sheet(), window.document.fileEncoding());
    QVERIFY2(preview.HasOutput() && preview.unwritable.isEmpty(), qPrintable(preview.problem + preview.unwritable));
    QCOMPARE(preview.encoding, outputEncoding);

    // Convert asks to save the changed sheet first (Yes), then writes.
    window.backend.AcceptPath(Q(dir / "sheet.csv"));
    window.templateName = Q(templ);
    window.outputName = Q(dir / "out.html");
    QVERIFY(window.convert.Convert_Click());
    QCOMPARE(window.messageBox.calls.size(), std::size_t{1});
    QVERIFY(!window.CheckModify());
    QCOMPARE(QByteArray::fromStdString(preview.bytes), QByteArray::fromStdString(ReadBytes(dir / "out.html")));
    QVERIFY(QByteArray::fromStdString(preview.bytes)
                .contains(EncodeText(u"みかん", outputEncoding)
                              .substr(outputEncoding == TextEncoding::Utf8WithBom ? 3 : 0)
                              .c_str()));
  }

  void aTemplateThatCannotBeUsedGivesTheReason_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("reason");  // after the file's name
    QTest::newRow("missing") << u"missing.html"_s
                             << u"定型ファイルを読み込めませんでした。\n%1\nファイルが見つかりません。"_s;
    QTest::newRow("a folder") << u"folder"_s << u"定型ファイルを読み込めませんでした。\n%1\nフォルダーです。"_s;
    QTest::newRow("bytes that do not decode") << u"bad.html"_s
                                              << u"定型ファイルには、文字コード CP932 として読めないバイトが 1 "
                                                 u"個あります（最初は 2 行目、先頭から 6 バイト目）。"
                                                 u"\nこの定型ファイルでは変換できません。"_s;
  }

  void aTemplateThatCannotBeUsedGivesTheReason() {
    QFETCH(QString, fileName);
    QFETCH(QString, reason);
    TempDir dir;
    std::filesystem::create_directory(dir / "folder");
    dir.Write("bad.html", "<p>\r\n\x80<!-- name --></p>");
    const QString name = Q(dir / fileName.toStdString());
    const PreviewResult preview = RenderPreview(name, MakeSheet(2, 2, {u"name", u"x"}), TextEncoding::Cp932);
    QVERIFY(!preview.HasOutput());
    QCOMPARE(preview.problem, reason.contains(u"%1") ? reason.arg(name) : reason);
    QVERIFY(preview.bytes.empty());
  }

  void aCharacterTheOutputCannotHoldIsTold() {
    TempDir dir;
    const auto templ = dir.Write("t.html", "<!-- name -->");
    const PreviewResult preview =
        RenderPreview(Q(templ), MakeSheet(2, 2, {u"name", u"雪だるま☃"}), TextEncoding::Cp932);
    QVERIFY(preview.HasOutput());
    QCOMPARE(preview.unwritable,
             u"出力の文字コード（CP932）では書けない文字があるため、変換は何も書き出しません。\n"
             u"「☃」（U+2603）"_s);
    QVERIFY(preview.bytes.empty());
    QCOMPARE(QString::fromStdU16String(preview.expansion.text), u"雪だるま☃"_s);
  }
};

QTEST_MAIN(PreviewRenderTest)
#include "PreviewRenderTest.moc"
