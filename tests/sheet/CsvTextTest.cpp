// CSV text both ways: ParseCsv into a work array, BuildCsv out of one. That
// what BuildCsv writes reads back the same is the core fuzzer's to check.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sheet/CSVRead.h"
#include "sheet/Parts.h"
#include "sheet/SheetArray.h"
#include "support/SheetOf.h"

namespace quillary {
namespace {

using Rows = std::vector<std::vector<std::u16string>>;

// Parses into an array of `fields` fields and returns it row by row (the
// last row's index it returns is the core fuzzer's to check).
Rows Parse(std::u16string_view text, int fields) {
  SheetArray array(fields, 1);
  ParseCsv(text, array, u',', u"\r\n", u'"');
  Rows rows(array.Rows());
  for (int r = 0; r < array.Rows(); ++r)
    for (int f = 0; f < array.Fields(); ++f) rows[r].emplace_back(array.Text(f, r));
  return rows;
}

TEST(ParseCsv, FieldsLinesAndQuotes) {
  const struct {
    const char* name;
    std::u16string_view text;
    int fields;
    Rows rows;
  } cases[] = {
      {"a doubled quote, then a plain record",
       u"\"say\"\"hi\"\"\",x\r\nc,d\r\n",
       2,
       {{u"say\"hi\"", u"x"}, {u"c", u"d"}}},
      // Quoted fields run over lines, into the text's last line too, whose
      // closing quote ends the value as on any other line.
      {"a quoted line break", u"\"two\r\nlines\",x\r\n", 2, {{u"two\r\nlines", u"x"}}},
      {"a quoted line break on the last line", u"\"x\r\ny\"", 1, {{u"x\r\ny"}}},
      {"a doubled quote on the last line", u"\"x\r\ny\"\"z\"", 1, {{u"x\r\ny\"z"}}},
      {"a field after a quoted line break", u"\"x\r\ny\",z", 2, {{u"x\r\ny", u"z"}}},
      {"an unbalanced quote takes the rest", u"\"a,b\r\nc,d\r\n", 2, {{u"a,b\r\nc,d\r\n", u""}}},
      // After a closing quote at the line's end one more (empty) field is
      // read. Texts without quotes are the core fuzzer's, against a split.
      {"a closing quote at the line's end", u"\"a\"\r\n", 2, {{u"a", u""}}},
      // A quote that does not open the field is plain text; text after a
      // closing quote continues the field up to the next quote.
      {"a quote inside a plain field", u"ab\"c,d\r\n", 2, {{u"ab\"c", u"d"}}},
      {"text after a closing quote", u"\"a\"b\"c\",d\r\n", 2, {{u"abc", u"d"}}},
      // The last character of a line after a closing quote is not looked
      // at, unless it doubles the quote right before a line break in the value.
      {"a character after the closing quote at the line's end", u"\"a\"x\r\n", 2, {{u"a", u""}}},
      {"a doubled quote before a quoted line break", u"\"a\"\"\r\nb\",c\r\n", 2, {{u"a\"\r\nb", u"c"}}},
  };
  for (const auto& c : cases) EXPECT_EQ(Parse(c.text, c.fields), c.rows) << c.name;
  // A row limit stops the reading; the text after it is not looked at.
  SheetArray array(1, 0);
  EXPECT_EQ(ParseCsv(u"a\r\n\"b\r\nc\"\r\nd\r\n", array, u',', u"\r\n", u'"', 2), 1);
  EXPECT_EQ(array.Text(0, 1), u"b\r\nc");
}

std::u16string Build(const SheetArray& array) { return BuildCsv(array, u',', u"\r\n", u'"'); }

TEST(BuildCsv, QuotesEveryFieldAndEndsEveryLine) {
  using testing::SheetOf;
  EXPECT_EQ(Build(SheetOf({{u"A", u"x"}, {u"B", u"y"}})), u"\"A\",\"B\"\r\n\"x\",\"y\"\r\n");
  // Field 0 never assigned.
  EXPECT_EQ(Build(SheetOf({{}, {u"1,5"}, {u"a\"b\"\""}, {u"\""}, {u"a|b"}})),
            u"\"\",\"1,5\",\"a\"\"b\"\"\"\"\",\"\"\"\",\"a|b\"\r\n");
  EXPECT_EQ(Build(SheetArray(3, 0)), u"");
}

}  // namespace
}  // namespace quillary
