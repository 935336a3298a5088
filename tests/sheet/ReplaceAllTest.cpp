#include <gtest/gtest.h>

#include "sheet/RS.h"

namespace quillary {
namespace {

TEST(ReplaceAll, CountsPiecesAndSkipsInsertedText) {
  const struct {
    std::u16string_view text, find, with;
    int pieces;
    std::u16string_view result;
  } cases[] = {
      {u"a,b,c", u",", u"", 3, u"abc"},
      {u"abc", u",", u"", 1, u"abc"},
      {u"", u",", u"", 1, u""},
      {u"aXa", u"a", u"aa", 3, u"aaXaa"},  // a replacement holding find is never searched again
      {u"aaa", u"aa", u"b", 2, u"ba"},     // overlapping occurrences are not found
      {u"abc", u"", u"x", 1, u"abc"},      // an empty find leaves the text alone
      // The marker and line breaks both ways.
      {u"one|two||three", u"|", u"\r\n", 4, u"one\r\ntwo\r\n\r\nthree"},
      {u"one\r\ntwo\r\n\r\nthree", u"\r\n", u"|", 4, u"one|two||three"},
  };
  for (const auto& c : cases) {
    std::u16string text(c.text);
    EXPECT_EQ(ReplaceAll(text, c.find, c.with), c.pieces) << "case " << &c - cases;
    EXPECT_EQ(text, c.result) << "case " << &c - cases;
  }
}

TEST(ReplaceOccurrences, DoublesQuotesOnce) {
  EXPECT_EQ(ReplaceOccurrences(u"a\"b\"\"", u"\"", u"\"\""), u"a\"\"b\"\"\"\"");
  EXPECT_EQ(ReplaceOccurrences(u"plain", u"\"", u"\"\""), u"plain");
  EXPECT_EQ(ReplaceOccurrences(u"abc", u"", u"x"), u"abc");
}

}  // namespace
}  // namespace quillary
