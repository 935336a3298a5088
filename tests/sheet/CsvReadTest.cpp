#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sheet/CSVRead.h"
#include "sheet/SheetArray.h"

namespace quillary {
namespace {

using Rows = std::vector<std::vector<std::u16string>>;

// Parses into an array of `fields` fields and returns it row by row.
Rows Parse(std::u16string_view text, int fields = 2, int* result = nullptr) {
  SheetArray array(fields, 1);
  const int last = ParseCsv(text, array, u',', u"\r\n", u'"');
  if (result) *result = last;
  Rows rows(array.Rows());
  for (int r = 0; r < array.Rows(); ++r)
    for (int f = 0; f < array.Fields(); ++f) rows[r].push_back(array.Text(f, r));
  return rows;
}

TEST(ParseCsv, QuotedAndPlainFieldsMix) {
  int last = 0;
  EXPECT_EQ(Parse(u"\"a\",\"b\"\r\nc,d\r\n", 2, &last), (Rows{{u"a", u"b"}, {u"c", u"d"}}));
  EXPECT_EQ(last, 1);
  EXPECT_EQ(Parse(u"\"say\"\"hi\"\"\",x\r\n"), (Rows{{u"say\"hi\"", u"x"}}));
}

TEST(ParseCsv, QuotedFieldsRunOverLines) {
  EXPECT_EQ(Parse(u"\"two\r\nlines\",x\r\n"), (Rows{{u"two\r\nlines", u"x"}}));
  // The final line of an open quote, holding no separator, is taken whole.
  EXPECT_EQ(Parse(u"\"x\r\ny\"", 1), (Rows{{u"x\r\ny\""}}));
  // With a separator in it, it is read as usual.
  EXPECT_EQ(Parse(u"\"x\r\ny\",z"), (Rows{{u"x\r\ny", u"z"}}));
  // An unbalanced quote takes the rest of the text.
  EXPECT_EQ(Parse(u"\"a,b\r\nc,d\r\n", 2), (Rows{{u"a,b\r\nc,d\r\n", u""}}));
}

TEST(ParseCsv, FieldCountIsTheArrays) {
  EXPECT_EQ(Parse(u"a,b,c\r\nd\r\n"), (Rows{{u"a", u"b"}, {u"d", u""}}));
  // After a closing quote at the line's end one more (empty) field is read.
  EXPECT_EQ(Parse(u"\"a\"\r\n", 2), (Rows{{u"a", u""}}));
  EXPECT_EQ(Parse(u"x\r\n", 0), (Rows{{}}));
}

TEST(ParseCsv, LinesAndEndOfText) {
  EXPECT_EQ(Parse(u"a\r\n\r\nb"), (Rows{{u"a", u""}, {u"", u""}, {u"b", u""}}));
  EXPECT_EQ(Parse(u"a,b\r\n"), (Rows{{u"a", u"b"}}));
  EXPECT_EQ(Parse(u"z"), (Rows{{u"z", u""}}));
  // A row limit stops the reading; the text after it is not looked at.
  SheetArray array(1, 0);
  EXPECT_EQ(ParseCsv(u"a\r\n\"b\r\nc\"\r\nd\r\n", array, u',', u"\r\n", u'"', 2), 1);
  EXPECT_EQ(array.Text(0, 1), u"b\r\nc");
}

TEST(ParseCsv, QuotesOutsideTheFieldStart) {
  // A quote that does not open the field is plain text.
  EXPECT_EQ(Parse(u"ab\"c,d\r\n"), (Rows{{u"ab\"c", u"d"}}));
  // Text after a closing quote continues the field up to the next quote.
  EXPECT_EQ(Parse(u"\"a\"b\"c\",d\r\n"), (Rows{{u"abc", u"d"}}));
  // The last character of a line after a closing quote is not looked at,
  EXPECT_EQ(Parse(u"\"a\"x\r\n"), (Rows{{u"a", u""}}));
  // unless it doubles the quote right before a line break in the value.
  EXPECT_EQ(Parse(u"\"a\"\"\r\nb\",c\r\n"), (Rows{{u"a\"\r\nb", u"c"}}));
}

}  // namespace
}  // namespace quillary
