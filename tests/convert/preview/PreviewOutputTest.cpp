// The preview's output against the conversion's: its expansion with the
// same output and summary as the engine's, the filled values and unfilled
// placeholders found in it, and its limits; its bytes against what Convert
// writes once the same sheet is saved, in every encoding case, and a
// character the output cannot hold. (Templates that cannot be used: the
// pane's tests.)

#include <QtTest>

#include <algorithm>
#include <tuple>

#include "convert/FindRep.h"
#include "convert/Module1.h"
#include "convert/PreviewExpansion.h"
#include "convert/dialog/ConvertWindow.h"
#include "convert/preview/PreviewRender.h"
#include "platform/TextEncoding.h"
#include "support/SheetOf.h"
#include "support/TempDir.h"

using namespace quillary;
using namespace quillary::testing;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(quillary::SheetArray)
Q_DECLARE_METATYPE(quillary::TextEncoding)

namespace {

// The text with «» around each value, ‹› around each unfilled
// placeholder and ⟦⟧ around each comment naming no field. Where marks meet, spans close before others open, inner ones
// closing first and outer ones opening first.
QString Marked(const PreviewExpansion& preview) {
  std::vector<std::tuple<std::size_t, int, long long, QChar>> marks;  // where, close or open, order, mark
  const auto add = [&](const std::vector<TextSpan>& spans, QChar open, QChar close) {
    for (const TextSpan& s : spans) {
      marks.emplace_back(s.end, 0, -static_cast<long long>(s.begin), close);
      marks.emplace_back(s.begin, 1, -static_cast<long long>(s.end), open);
    }
  };
  add(preview.values, u'«', u'»');
  add(preview.unfilled, u'‹', u'›');
  add(preview.unknown, u'⟦', u'⟧');
  std::sort(marks.begin(), marks.end());
  QString text = QString::fromStdU16String(preview.text);
  for (auto mark = marks.rbegin(); mark != marks.rend(); ++mark)
    text.insert(static_cast<qsizetype>(std::get<0>(*mark)), std::get<3>(*mark));
  return text;
}

SheetArray TwoFields(const std::u16string& a, const std::u16string& b) { return SheetOf({{u"A", a}, {u"B", b}}); }

}  // namespace

class PreviewOutputTest : public QObject {
  Q_OBJECT

 private slots:
  void marksTheValuesAndTheUnfilledPlaceholders_data() {
    QTest::addColumn<SheetArray>("sheet");
    QTest::addColumn<QString>("templateText");
    QTest::addColumn<QString>("marked");
    QTest::addColumn<bool>("valuesMarked");
    const SheetArray fruit = FruitSheet();
    QTest::newRow("outside blocks, the rows run out")
        << fruit << u"<p><!-- Name --></p><p><!-- Name --></p><p><!-- Name --></p><p><!-- Name --></p>"_s
        << u"<p>«Apple»</p><p>«Pear»</p><p>«Plum»</p><p>‹<!-- Name -->›</p>"_s << true;
    QTest::newRow("one placeholder a field in each repetition")
        << fruit << u"<!-- BeginRepeat 2 rows -->[<!-- Name -->/<!-- Name -->]<!-- EndRepeat -->|<!-- Name -->"_s
        << u"[«Apple»/‹<!-- Name -->›][«Pear»/‹<!-- Name -->›]|«Plum»"_s << true;
    QTest::newRow("names of no field are no placeholders, and marked; a start comment without its count too")
        << fruit << u"<!-- name --><!--Name--><!-- Colour --><!-- BeginRepeat --><!-- EndRepeat -->"_s
        << u"⟦<!-- name -->⟧<!--Name-->⟦<!-- Colour -->⟧⟦<!-- BeginRepeat -->⟧<!-- EndRepeat -->"_s << true;
    QTest::newRow("a value holding a later field's placeholder")
        << TwoFields(u"x<!-- B -->y", u"b") << u"<!-- A -->"_s << u"«x«b»y»"_s << true;
    QTest::newRow("a value forming a placeholder with the text beside it")
        << TwoFields(u"<!-- B", u"b") << u"<!-- A --> -->"_s << u"b"_s << false;
    QTest::newRow("empty values leave no mark") << TwoFields(u"", u"b") << u"[<!-- A -->]"_s << u"[]"_s << true;
    QTest::newRow("the marks' own characters in the template")
        << fruit << u"\uFDD0<!-- Name -->\uFDD1"_s << u"\uFDD0Apple\uFDD1"_s << false;
  }

  void marksTheValuesAndTheUnfilledPlaceholders() {
    QFETCH(SheetArray, sheet);
    QFETCH(QString, templateText);
    QFETCH(QString, marked);
    QFETCH(bool, valuesMarked);
    const std::u16string templ = templateText.toStdU16String();
    const PreviewExpansion preview = ExpandForPreview(templ, sheet, sheet.Fields(), 1000, 1000);
    QCOMPARE(Marked(preview), marked);
    QCOMPARE(preview.valuesMarked, valuesMarked);
    QVERIFY(!preview.cut);
    // What Convert makes of it, and counts.
    ConversionSummary summary;
    std::u16string output = ExpandTemplate(templ, sheet, sheet.Fields(), kMaxOutputUnits, &summary);
    TruncateAtNul(output);
    QCOMPARE(QString::fromStdU16String(preview.text), QString::fromStdU16String(output));
    QCOMPARE(preview.summary.filled, summary.filled);
    QCOMPARE(preview.summary.unfilled, summary.unfilled);
    QCOMPARE(preview.summary.unknown, summary.unknown);
  }

  void keepsTheStartOfALongOutputAndMarksTheStartOfThat_data() {
    QTest::addColumn<int>("maxUnits");
    QTest::addColumn<int>("markUnits");
    QTest::addColumn<QString>("marked");
    QTest::addColumn<bool>("cut");
    QTest::newRow("cut in a value") << 18 << 100 << u"«Apple»;⟦<!-- x -->⟧«Pe»"_s << true;
    QTest::newRow("marked up to a limit")
        << 100 << 8 << u"«Apple»;⟦<!-- x -->⟧Pear;<!-- x -->Plum;<!-- x --><!-- Name -->;<!-- x -->"_s << false;
    QTest::newRow("a comment or placeholder reaching past the limit is marked whole")
        << 100 << 50 << u"«Apple»;⟦<!-- x -->⟧«Pear»;⟦<!-- x -->⟧«Plum»;⟦<!-- x -->⟧‹<!-- Name -->›;<!-- x -->"_s
        << false;
    QTest::newRow("a comment beginning at the limit is not marked")
        << 100 << 6 << u"«Apple»;<!-- x -->Pear;<!-- x -->Plum;<!-- x --><!-- Name -->;<!-- x -->"_s << false;
  }

  void keepsTheStartOfALongOutputAndMarksTheStartOfThat() {
    QFETCH(int, maxUnits);
    QFETCH(int, markUnits);
    QFETCH(QString, marked);
    QFETCH(bool, cut);
    const std::u16string templ = u"<!-- BeginRepeat 4 --><!-- Name -->;<!-- x --><!-- EndRepeat -->";
    const PreviewExpansion preview =
        ExpandForPreview(templ, FruitSheet(), 3, std::size_t(maxUnits), std::size_t(markUnits));
    QCOMPARE(Marked(preview), marked);
    QCOMPARE(preview.cut, cut);
    QVERIFY(preview.valuesMarked);
  }

  void aNulBeforeTheLimitEndsTheOutputThere() {
    const PreviewExpansion preview =
        ExpandForPreview(u"<!-- Name -->\0<!-- BeginRepeat 999 -->long<!-- EndRepeat -->", FruitSheet(), 3, 100, 100);
    QCOMPARE(QString::fromStdU16String(preview.text), u"Apple"_s);
    QVERIFY(!preview.cut);
  }

  // Which encoding when: the engine's tests; here, that the two agree.
  void theOutputIsWhatConvertWritesAfterASave_data() {
    QTest::addColumn<std::string>("templateBytes");
    QTest::addColumn<TextEncoding>("saveEncoding");
    QTest::addColumn<TextEncoding>("outputEncoding");
    const std::u16string japanese =
        u"<h1>品目</h1><!-- BeginRepeat * --><li><!-- name -->: <!-- price --></li><!-- EndRepeat -->";
    const std::string ascii =
        "<meta charset=\"utf-8\"><!-- BeginRepeat * -->[<!-- name -->=<!-- price -->]<!-- EndRepeat -->";
    QTest::newRow("a CP932 template, whatever the sheet's")
        << EncodeText(japanese, TextEncoding::Cp932) << TextEncoding::Utf8 << TextEncoding::Cp932;
    QTest::newRow("plain ASCII with a UTF-8 sheet with its mark")
        << ascii << TextEncoding::Utf8WithBom << TextEncoding::Utf8WithBom;
  }

  void theOutputIsWhatConvertWritesAfterASave() {
    QFETCH(std::string, templateBytes);
    QFETCH(TextEncoding, saveEncoding);
    QFETCH(TextEncoding, outputEncoding);
    TempDir dir;
    ConvertWindow window;
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
    QVERIFY2(preview.HasOutput(), qPrintable(preview.problem));
    QCOMPARE(preview.unwritable, QString());
    QCOMPARE(preview.encoding, outputEncoding);

    // Convert asks to save the changed sheet first (Yes), then writes.
    window.backend.AcceptPath(Q(dir / "sheet.csv"));
    window.user = TypeNames(Q(templ), Q(dir / "out.html"));
    QVERIFY(window.convert.Convert_Click());
    QCOMPARE(window.messageBox.calls.size(), std::size_t{1});
    QVERIFY(!window.CheckModify());
    QCOMPARE(QByteArray::fromStdString(preview.bytes), QByteArray::fromStdString(ReadBytes(dir / "out.html")));
    QVERIFY(QByteArray::fromStdString(preview.bytes)
                .contains(EncodeText(u"みかん", outputEncoding)
                              .substr(outputEncoding == TextEncoding::Utf8WithBom ? 3 : 0)
                              .c_str()));
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

QTEST_MAIN(PreviewOutputTest)
#include "PreviewOutputTest.moc"
