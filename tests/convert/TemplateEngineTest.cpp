#include <gtest/gtest.h>

#include "convert/FindRep.h"
#include "support/SheetOf.h"

namespace quillary {
namespace {

using testing::FruitSheet;
using testing::SheetOf;

std::u16string Expand(std::u16string_view text, int k = 3) { return ExpandTemplate(text, FruitSheet(), k); }

TEST(TemplateEngine, FillsPlaceholdersFromEachFieldsCursor) {
  EXPECT_EQ(Expand(u"<h1><!-- Title --></h1>\r\n<!-- BeginRepeat 3 -->\r\n"
                   u"<li><!-- Name -->: <!-- Price --></li>\r\n<!-- EndRepeat -->\r\n<p>end</p>\r\n"),
            u"<h1>Fruit list</h1>\r\n\r\n<li>Apple: 120</li>\r\n\r\n<li>Pear: 80<BR>sale</li>\r\n"
            u"\r\n<li>Plum: 95</li>\r\n\r\n<p>end</p>\r\n");
  // The rules one at a time (counts, blocks left as text, used-up fields,
  // K) are checked against the literal conversion by the differential test.
  EXPECT_EQ(Expand(u"<!-- BeginRepeat 99999 -->x<!-- EndRepeat -->"), std::u16string(99999, u'x'));
}

TEST(TemplateEngine, InsertedValuesAreSearchedAgainInFieldOrder) {
  // Name (earlier field) inserts Price's tag: filled in Price's turn, in text
  // order; Price inserts Name's tag: Name's turn is over, it stays.
  const SheetArray array = SheetOf({{u"Name", u"A<!-- Price -->", u"B"}, {u"Price", u"1", u"<!-- Name -->", u"3"}});
  EXPECT_EQ(ExpandTemplate(u"<!-- Name -->,<!-- Price -->,<!-- Price -->", array, 2), u"A1,<!-- Name -->,3");
  // A tag formed across the joins of an inserted value is found too.
  const SheetArray joins = SheetOf({{u"N", u"!-- N --", u"<!-- N -->", u"done"}});
  EXPECT_EQ(ExpandTemplate(u"<<!-- N -->>", joins, 1), u"done");
  const SheetArray last = SheetOf({{u"N", u">", u"done"}});
  EXPECT_EQ(ExpandTemplate(u"<!-- N --<!-- N -->", last, 1), u"done");
}

TEST(TemplateEngine, AStarCountRepeatsForTheRowsTheBodysFieldsHaveLeft) {
  EXPECT_EQ(Expand(u"<!-- Name --><!-- Name --><!-- BeginRepeat * -->[<!-- Name -->,<!-- Price -->]<!-- EndRepeat -->"),
            u"ApplePear[Plum,120][<!-- Name -->,80<BR>sale][<!-- Name -->,95]");
  // Not held to the 16-bit counts: as many as the rows.
  std::vector<std::u16string> many = {u"N"};
  for (int r = 0; r < 40000; ++r) many.push_back(u"v");
  EXPECT_EQ(ExpandTemplate(u"<!-- BeginRepeat * --><!-- N --><!-- EndRepeat -->", SheetOf({many}), 1),
            std::u16string(40000, u'v'));
}

TEST(TemplateEngine, SummaryCountsWhatTheOutputHolds) {
  const struct {
    const char* name;
    std::u16string_view text;
    std::size_t filled;
    NameCounts unfilled, unknown;
    int k = 3;
  } cases[] = {
      {"rows used up, unknown comments",
       u"<p><!-- Name --></p><p><!-- Name --></p><!-- Nope --><p><!-- Name --></p>"
       u"<p><!-- Name --></p><!-- header --><!-- Nope -->",
       3,
       {{u"Name", 1}},
       {{u"Nope", 2}, {u"header", 1}}},
      {"a field past K is unknown", u"<!-- Title --><!-- Price -->", 1, {}, {{u"Price", 1}}, 2},
      {"a tag across a block's edge",
       u"<!-- Na<!-- BeginRepeat 1 -->me --><!-- EndRepeat --><!-- Title -->",
       1,
       {{u"Name", 1}},
       {}},
      {"no fields", u"<!-- Name -->", 0, {}, {{u"Name", 1}}, 0},
  };
  for (const auto& c : cases) {
    ConversionSummary summary;
    ExpandTemplate(c.text, FruitSheet(), c.k, kMaxOutputUnits, &summary);
    EXPECT_EQ(summary.filled, c.filled) << c.name;
    EXPECT_EQ(summary.unfilled, c.unfilled) << c.name;
    EXPECT_EQ(summary.unknown, c.unknown) << c.name;
  }
}

TEST(TemplateEngine, StopsBeforeTheOutputPassesItsCap) {
  // 32767 repetitions of a 10-unit body: refused at a cap of 1000 units,
  // found early without building the whole text.
  EXPECT_THROW(ExpandTemplate(u"<!-- BeginRepeat 32767 -->0123456789<!-- EndRepeat -->", FruitSheet(), 3, 1000),
               OutputTooLargeError);
  EXPECT_THROW(ExpandTemplate(u"abc", FruitSheet(), 0, 2), OutputTooLargeError) << "no fields";
}

TEST(RepeatCount, ReadsLikeADecimalNumberRoundedHalfToEven) {
  // Beyond these, short texts of digits, signs, points and "e" are the core
  // fuzzer's to read against the C library.
  const std::pair<std::u16string_view, int> cases[] = {
      {u"2.5", 2},
      {u"3.5", 4},
      {u" \t\r\n7x", 7},
      {u"15D-1", 2},
      {u"x", 0},
      {u"32767", 32767},
      {u"-32768.5", -32768},
      {u"32767.5", 32768},
      {u"32768", 32768},
      {u"1048577", 1048577},
      {u"-40000", -40000},
      {u"2147483647", 2147483647},
      {u"2147483648", 2147483647},
      {u"1e999999999999", 2147483647},
      {u"-1e99", -2147483647 - 1},
      {u"-7e-999999999999", 0},
      {u"000000000000000000012", 12},
  };
  for (const auto& [text, count] : cases)
    EXPECT_EQ(ReadRepeatCount(text), count) << ::testing::PrintToString(std::u16string(text));
}

// The template's opt-in to escaping values, and what wins over it.
TEST(ValueEscaping, EscapesValuesOnlyWhereTheTemplateAsks) {
  const std::u16string value = u"A&B <限定> \"q\" 'x'|y";
  const std::u16string escaped = u"A&amp;B &lt;限定&gt; &quot;q&quot; &#39;x&#39;<BR>y";
  const struct {
    const char* name;
    std::vector<std::vector<std::u16string>> fields;
    int k;
    std::u16string templ, expected;
    bool on;
  } rows[] = {
      {"not asked: as before", {{u"Name", value}}, 1, u"<!-- Name -->", u"A&B <限定> \"q\" 'x'<BR>y", false},
      {"asked inside a block, twice",
       {{u"Name", value, u"&"}},
       1,
       u"<!-- BeginRepeat 2 -->[<!-- EscapeValues --><!-- Name -->]<!-- EndRepeat --><!-- EscapeValues -->",
       u"[" + escaped + u"][&amp;]",
       true},
      {"field names stay as they are", {{u"A&B", u"<"}}, 1, u"<!-- EscapeValues --><!-- A&B -->", u"&lt;", true},
      {"a field of that name wins",
       {{u"Name", value}, {u"EscapeValues", u"<on>"}},
       2,
       u"<!-- EscapeValues --><!-- Name -->",
       u"<on>A&B <限定> \"q\" 'x'<BR>y",
       false},
      {"an unprocessed field of that name does not",
       {{u"Name", u"<"}, {u"EscapeValues", u"on"}},
       1,
       u"<!-- EscapeValues --><!-- Name -->",
       u"&lt;",
       true},
  };
  for (const auto& row : rows) {
    ConversionSummary summary;
    EXPECT_EQ(ExpandTemplate(row.templ, SheetOf(row.fields), row.k, kMaxOutputUnits, &summary), row.expected)
        << row.name;
    EXPECT_EQ(summary.valuesEscaped, row.on) << row.name;
  }
}

}  // namespace
}  // namespace quillary
