// The preview's expansion: the same output and summary as the engine's, the
// filled values and unfilled placeholders found in it, and its limits.

#include <QtTest>

#include <algorithm>
#include <tuple>

#include "convert/FindRep.h"
#include "convert/Module1.h"
#include "convert/PreviewExpansion.h"
#include "support/SheetOf.h"

using namespace quillary;
using namespace quillary::testing;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(quillary::SheetArray)

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

class PreviewExpansionTest : public QObject {
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
    QTest::newRow("line-break markers inside the value")
        << fruit << u"<!-- Price -->;<!-- Price -->"_s << u"«120»;«80<BR>sale»"_s << true;
    QTest::newRow("as many repetitions as rows")
        << fruit << u"<!-- BeginRepeat * --><!-- Name -->,<!-- EndRepeat -->"_s << u"«Apple»,«Pear»,«Plum»,"_s << true;
    QTest::newRow("names of no field are no placeholders, and marked; a start comment without its count too")
        << fruit << u"<!-- name --><!--Name--><!-- Colour --><!-- BeginRepeat --><!-- EndRepeat -->"_s
        << u"⟦<!-- name -->⟧<!--Name-->⟦<!-- Colour -->⟧⟦<!-- BeginRepeat -->⟧<!-- EndRepeat -->"_s << true;
    QTest::newRow("a misspelt name inside a repetition")
        << fruit << u"<!-- BeginRepeat 2 --><!-- Name -->=<!-- Prise -->;<!-- EndRepeat -->"_s
        << u"«Apple»=⟦<!-- Prise -->⟧;«Pear»=⟦<!-- Prise -->⟧;"_s << true;
    QTest::newRow("the output ends before a NUL")
        << fruit << u"a<!-- Name -->\0<!-- Name -->"_s << u"a«Apple»"_s << true;
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
    QTest::newRow("whole")
        << 100 << 100 << u"«Apple»;⟦<!-- x -->⟧«Pear»;⟦<!-- x -->⟧«Plum»;⟦<!-- x -->⟧‹<!-- Name -->›;⟦<!-- x -->⟧"_s
        << false;
    QTest::newRow("cut in a value") << 18 << 100 << u"«Apple»;⟦<!-- x -->⟧«Pe»"_s << true;
    QTest::newRow("marked up to a limit")
        << 100 << 8 << u"«Apple»;⟦<!-- x -->⟧Pear;<!-- x -->Plum;<!-- x --><!-- Name -->;<!-- x -->"_s << false;
    QTest::newRow("a comment or placeholder reaching past the limit is marked whole")
        << 100 << 50 << u"«Apple»;⟦<!-- x -->⟧«Pear»;⟦<!-- x -->⟧«Plum»;⟦<!-- x -->⟧‹<!-- Name -->›;<!-- x -->"_s
        << false;
    QTest::newRow("a comment beginning at the limit is not marked")
        << 100 << 6 << u"«Apple»;<!-- x -->Pear;<!-- x -->Plum;<!-- x --><!-- Name -->;<!-- x -->"_s << false;
    QTest::newRow("nothing marked") << 100 << 0
                                    << u"Apple;<!-- x -->Pear;<!-- x -->Plum;<!-- x --><!-- Name -->;<!-- x -->"_s
                                    << false;
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
};

QTEST_MAIN(PreviewExpansionTest)
#include "PreviewExpansionTest.moc"
