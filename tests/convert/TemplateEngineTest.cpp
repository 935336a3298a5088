#include <gtest/gtest.h>

#include "convert/FindRep.h"
#include "convert/SheetOf.h"

namespace quillary {
namespace {

using testing::FruitSheet;
using testing::SheetOf;

std::u16string Expand(std::u16string_view text, int k = 3) {
  return ExpandTemplate(text, FruitSheet(), k);
}

TEST(TemplateEngine, FillsPlaceholdersFromEachFieldsCursor) {
  EXPECT_EQ(
      Expand(u"<h1><!-- Title --></h1>\r\n<!-- BeginRepeat 3 -->\r\n"
             u"<li><!-- Name -->: <!-- Price --></li>\r\n<!-- EndRepeat -->\r\n<p>end</p>\r\n"),
      u"<h1>Fruit list</h1>\r\n\r\n<li>Apple: 120</li>\r\n\r\n<li>Pear: 80<BR>sale</li>\r\n"
      u"\r\n<li>Plum: 95</li>\r\n\r\n<p>end</p>\r\n");
  EXPECT_EQ(
      Expand(u"<p><!-- Name --></p><p><!-- Name --></p><p><!-- Name --></p><p><!-- Name --></p>"),
      u"<p>Apple</p><p>Pear</p><p>Plum</p><p><!-- Name --></p>");
  // Only the exact form is a placeholder; a "|" of the template stays.
  EXPECT_EQ(Expand(u"<!-- name --><!--Name--><!-- Name  -->|"),
            u"<!-- name --><!--Name--><!-- Name  -->|");
  EXPECT_EQ(Expand(u"no placeholder here"), u"no placeholder here");
  EXPECT_EQ(Expand(u""), u"");
}

TEST(TemplateEngine, InsertedValuesAreSearchedAgainInFieldOrder) {
  // Name (earlier field) inserts Price's tag: filled in Price's turn, in text
  // order; Price inserts Name's tag: Name's turn is over, it stays.
  const SheetArray array =
      SheetOf({{u"Name", u"A<!-- Price -->", u"B"}, {u"Price", u"1", u"<!-- Name -->", u"3"}});
  EXPECT_EQ(ExpandTemplate(u"<!-- Name -->,<!-- Price -->,<!-- Price -->", array, 2),
            u"A1,<!-- Name -->,3");
  // A tag formed across the joins of an inserted value is found too.
  const SheetArray joins = SheetOf({{u"N", u"!-- N --", u"<!-- N -->", u"done"}});
  EXPECT_EQ(ExpandTemplate(u"<<!-- N -->>", joins, 1), u"done");
  const SheetArray last = SheetOf({{u"N", u">", u"done"}});
  EXPECT_EQ(ExpandTemplate(u"<!-- N --<!-- N -->", last, 1), u"done");
}

TEST(TemplateEngine, RepeatBlocksShareTheCursors) {
  EXPECT_EQ(Expand(u"<!-- BeginRepeat 2 rows -->[<!-- Name -->/<!-- Name -->]<!-- EndRepeat "
                   u"-->|<!-- Name -->"),
            u"[Apple/<!-- Name -->][Pear/<!-- Name -->]|Plum");
  EXPECT_EQ(Expand(u"A<!-- Name -->B<!-- BeginRepeat -1 -->X<!-- EndRepeat -->C<!-- Name -->"),
            u"AAppleBCPear");
  EXPECT_EQ(Expand(u"<!-- BeginRepeat 2.5 --><!-- Price -->;<!-- EndRepeat -->"),
            u"120;80<BR>sale;");
  EXPECT_EQ(
      Expand(
          u"<!-- BeginRepeat 1 -->a<!-- BeginRepeat 1 -->b<!-- EndRepeat -->c<!-- EndRepeat -->d"),
      u"a<!-- BeginRepeat 1 -->bc<!-- EndRepeat -->d");
  EXPECT_EQ(Expand(u"<!-- BeginRepeat 1 --><!-- Name --><!-- EndRepeat --><!-- BeginRepeat 1 -->"
                   u"<!-- Name --><!-- EndRepeat --><!-- Name -->"),
            u"ApplePearPlum");
}

TEST(TemplateEngine, ZeroCountsGoOnAfterTheBlock) {
  EXPECT_EQ(Expand(u"a<!-- BeginRepeat 0 -->X<!-- EndRepeat --><!-- Name -->"), u"aApple");
  EXPECT_EQ(Expand(u"a<!-- BeginRepeat  -->X<!-- EndRepeat -->b"), u"ab");
  EXPECT_EQ(Expand(u"a<!-- BeginRepeat many times -->X<!-- EndRepeat -->b"), u"ab");
}

TEST(TemplateEngine, MalformedStartCommentsAreOrdinaryText) {
  // No space after the count, no "-->", no end comment: nothing is lost and
  // placeholders from the marker on are filled as outside blocks.
  EXPECT_EQ(
      Expand(u"<!-- Name --><!-- BeginRepeat 2--><!-- Name --><!-- EndRepeat --> <!-- Name -->"),
      u"Apple<!-- BeginRepeat 2-->Pear<!-- EndRepeat --> Plum");
  EXPECT_EQ(Expand(u"<!-- BeginRepeat 2 <!-- Name -->"), u"<!-- BeginRepeat 2 Apple");
  EXPECT_EQ(Expand(u"<!-- BeginRepeat 2 --><!-- Name -->"), u"<!-- BeginRepeat 2 -->Apple");
  EXPECT_EQ(Expand(u"x<!-- BeginRepeat "), u"x<!-- BeginRepeat ");
  const RepeatSplit split = SplitAtRepeatBlock(u"<!-- BeginRepeat 3-->b<!-- EndRepeat -->");
  EXPECT_FALSE(split.found);
  EXPECT_EQ(split.before, u"<!-- BeginRepeat 3-->b<!-- EndRepeat -->");
}

TEST(TemplateEngine, SplitsAtTheFirstWellFormedBlock) {
  const RepeatSplit split =
      SplitAtRepeatBlock(u"a<!-- BeginRepeat 10 items per page -->b<!-- EndRepeat -->c");
  EXPECT_TRUE(split.found);
  EXPECT_EQ(split.count, 10);
  EXPECT_EQ(split.before, u"a");
  EXPECT_EQ(split.body, u"b");
  EXPECT_EQ(split.after, u"c");
  const RepeatSplit none = SplitAtRepeatBlock(u"plain");
  EXPECT_FALSE(none.found);
  EXPECT_EQ(none.before, u"plain");
}

TEST(TemplateEngine, CountsAreClampedAndUsedUpFieldsKeepTheirPlaceholders) {
  EXPECT_EQ(Expand(u"<!-- BeginRepeat 99999 -->x<!-- EndRepeat -->"), std::u16string(32767, u'x'));
  EXPECT_EQ(Expand(u"a<!-- BeginRepeat -1e9 -->x<!-- EndRepeat -->b"), u"ab");
  EXPECT_EQ(Expand(u"<!-- BeginRepeat 5 --><!-- Name -->,<!-- EndRepeat -->"),
            u"Apple,Pear,Plum,<!-- Name -->,<!-- Name -->,");
}

TEST(TemplateEngine, StopsBeforeTheOutputPassesItsCap) {
  // 32767 repetitions of a 10-unit body: refused at a cap of 1000 units,
  // found early without building the whole text.
  const std::u16string big = u"<!-- BeginRepeat 32767 -->0123456789<!-- EndRepeat -->";
  EXPECT_THROW(ExpandTemplateWithin(big, FruitSheet(), 3, 1000), OutputTooLargeError);
  // Exactly at the cap passes, one unit over does not: in blocks (filled and
  // unfilled), in the stretches outside them, and with no fields at all.
  const std::u16string cases[] = {u"<!-- BeginRepeat 3 --><!-- Name -->;<!-- EndRepeat -->",
                                  u"<!-- BeginRepeat 4 -->ab<!-- EndRepeat -->", u"a<!-- Name -->b"};
  for (const std::u16string& text : cases) {
    const std::size_t size = Expand(text).size();
    EXPECT_EQ(ExpandTemplateWithin(text, FruitSheet(), 3, size), Expand(text));
    EXPECT_THROW(ExpandTemplateWithin(text, FruitSheet(), 3, size - 1), OutputTooLargeError);
  }
  EXPECT_THROW(ExpandTemplateWithin(u"abc", FruitSheet(), 0, 2), OutputTooLargeError);
  RowCursors cursors(3, 1);
  std::u16string body = u"<!-- Name -->";
  EXPECT_THROW(ExpandRepeatBlock(body, cursors, FruitSheet(), 32767, 100), OutputTooLargeError);
}

TEST(TemplateEngine, ProcessesOnlyExistingFields) {
  EXPECT_EQ(ProcessedFields(FruitSheet(), 7), 3);
  EXPECT_EQ(ProcessedFields(FruitSheet(), -2), 0);
  EXPECT_EQ(Expand(u"<!-- Price --><!-- Nope -->", 40), u"120<!-- Nope -->");
  EXPECT_EQ(Expand(u"<!-- Name --><!-- Price -->", 2), u"Apple<!-- Price -->");
  // K = 0: the template itself, blocks included.
  EXPECT_EQ(Expand(u"<!-- Name --><!-- BeginRepeat 2 -->b<!-- EndRepeat -->", 0),
            u"<!-- Name --><!-- BeginRepeat 2 -->b<!-- EndRepeat -->");
}

TEST(TemplateEngine, ReplaceFirstReplacesOnlyTheFirstOccurrence) {
  std::u16string text = u"abab";
  EXPECT_EQ(ReplaceFirst(text, u"ab", u"x"), 1);
  EXPECT_EQ(text, u"xab");
  EXPECT_EQ(ReplaceFirst(text, u"zz", u"x"), 0);
  EXPECT_EQ(text, u"xab");
}

TEST(RepeatCount, ReadsLikeADecimalNumberRoundedHalfToEven) {
  EXPECT_EQ(ReadRepeatCount(u"2.5"), 2);
  EXPECT_EQ(ReadRepeatCount(u"3.5"), 4);
  EXPECT_EQ(ReadRepeatCount(u"2.51"), 3);
  EXPECT_EQ(ReadRepeatCount(u" \t\r\n7x"), 7);
  EXPECT_EQ(ReadRepeatCount(u"-1"), -1);
  EXPECT_EQ(ReadRepeatCount(u"+4"), 4);
  EXPECT_EQ(ReadRepeatCount(u"1e2"), 100);
  EXPECT_EQ(ReadRepeatCount(u"15D-1"), 2);
  EXPECT_EQ(ReadRepeatCount(u"3e"), 3);
  EXPECT_EQ(ReadRepeatCount(u"5.e1"), 50);
  EXPECT_EQ(ReadRepeatCount(u".5"), 0);
  EXPECT_EQ(ReadRepeatCount(u".51"), 1);
  EXPECT_EQ(ReadRepeatCount(u"x"), 0);
  EXPECT_EQ(ReadRepeatCount(u""), 0);
  EXPECT_EQ(ReadRepeatCount(u"-"), 0);
  EXPECT_EQ(ReadRepeatCount(u"0.000"), 0);
  EXPECT_EQ(ReadRepeatCount(u"32767.5"), 32767);
  EXPECT_EQ(ReadRepeatCount(u"-32768.5"), -32768);
  EXPECT_EQ(ReadRepeatCount(u"1e999999999999"), 32767);
  EXPECT_EQ(ReadRepeatCount(u"-7e-999999999999"), 0);
  EXPECT_EQ(ReadRepeatCount(u"000000000000000000012"), 12);
}

}  // namespace
}  // namespace quillary
