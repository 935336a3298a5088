#include <gtest/gtest.h>

#include "sheet/RS.h"

namespace quillary {
namespace {

TEST(ReplaceAll, CountsPiecesAndSkipsInsertedText) {
  const struct {
    const char* name;
    std::u16string_view text, find, with;
    int pieces;
    std::u16string_view result;
  } cases[] = {
      {"every occurrence", u"a,b,c", u",", u"", 3, u"abc"},
      {"a replacement holding find is never searched again", u"aXa", u"a", u"aa", 3, u"aaXaa"},
      {"overlapping occurrences are not found", u"aaa", u"aa", u"b", 2, u"ba"},
      {"an empty find leaves the text alone", u"abc", u"", u"x", 1, u"abc"},
      {"markers to line breaks", u"one|two||three", u"|", u"\r\n", 4, u"one\r\ntwo\r\n\r\nthree"},
  };
  for (const auto& c : cases) {
    std::u16string text(c.text);
    EXPECT_EQ(ReplaceAll(text, c.find, c.with), c.pieces) << c.name;
    EXPECT_EQ(text, c.result) << c.name;
  }
}

}  // namespace
}  // namespace quillary
