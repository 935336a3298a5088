#include <gtest/gtest.h>

#include "sheet/Parts.h"
#include "sheet/RS.h"

namespace quillary {
namespace {

int Replace(std::u16string& text, std::u16string_view find, std::u16string_view with) {
  return ReplaceAll(text, find, with);
}

TEST(ReplaceAll, CountsPiecesAndSkipsInsertedText) {
  std::u16string text = u"a,b,c";
  EXPECT_EQ(Replace(text, u",", u""), 3);
  EXPECT_EQ(text, u"abc");

  text = u"abc";
  EXPECT_EQ(Replace(text, u",", u""), 1);
  EXPECT_EQ(text, u"abc");

  text = u"";
  EXPECT_EQ(Replace(text, u",", u""), 1);

  text = u"aXa";  // a replacement holding find is never searched again
  EXPECT_EQ(Replace(text, u"a", u"aa"), 3);
  EXPECT_EQ(text, u"aaXaa");

  text = u"aaa";  // overlapping occurrences are not found
  EXPECT_EQ(Replace(text, u"aa", u"b"), 2);
  EXPECT_EQ(text, u"ba");
}

TEST(ReplaceAll, MarkerAndLineBreakRoundTrip) {
  std::u16string text = u"one|two||three";
  Replace(text, u"|", u"\r\n");
  EXPECT_EQ(text, u"one\r\ntwo\r\n\r\nthree");
  Replace(text, u"\r\n", u"|");
  EXPECT_EQ(text, u"one|two||three");
}

TEST(ReplaceAll, EmptyFindLeavesTextAlone) {
  std::u16string text = u"abc";
  EXPECT_EQ(Replace(text, u"", u"x"), 1);
  EXPECT_EQ(text, u"abc");
  EXPECT_EQ(ReplaceOccurrences(u"abc", u"", u"x"), u"abc");
}

TEST(ReplaceOccurrences, DoublesQuotesOnce) {
  EXPECT_EQ(ReplaceOccurrences(u"a\"b\"\"", u"\"", u"\"\""), u"a\"\"b\"\"\"\"");
  EXPECT_EQ(ReplaceOccurrences(u"plain", u"\"", u"\"\""), u"plain");
}

}  // namespace
}  // namespace quillary
