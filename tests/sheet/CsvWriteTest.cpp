#include <gtest/gtest.h>

#include <random>

#include "sheet/CSVRead.h"
#include "sheet/Parts.h"
#include "sheet/SheetArray.h"
#include "support/SheetOf.h"

namespace quillary {
namespace {

using testing::SheetOf;

std::u16string Build(const SheetArray& array) { return BuildCsv(array, u',', u"\r\n", u'"'); }

TEST(BuildCsv, QuotesEveryFieldAndEndsEveryLine) {
  EXPECT_EQ(Build(SheetOf({{u"A", u"x"}, {u"B", u"y"}})), u"\"A\",\"B\"\r\n\"x\",\"y\"\r\n");
  // Field 0 never assigned.
  EXPECT_EQ(Build(SheetOf({{}, {u"1,5"}, {u"a\"b"}, {u"\""}, {u"a|b"}})),
            u"\"\",\"1,5\",\"a\"\"b\",\"\"\"\",\"a|b\"\r\n");

  SheetArray single(1, 2);
  single.Set(0, 0, u"n");
  EXPECT_EQ(Build(single), u"\"n\"\r\n\"\"\r\n");
  EXPECT_EQ(Build(SheetArray(3, 0)), u"");
}

// Random cell texts drawn from the characters that matter to the format.
std::u16string RandomCell(std::mt19937& random) {
  static const std::u16string pieces[] = {u"\"", u",", u"\r\n", u"|", u"a", u"日本", u" ",
                                          u"\"\"", u"x,y", u"\r", u"\n", u"ｶﾅ"};
  std::u16string cell;
  const int length = static_cast<int>(random() % 6);
  for (int i = 0; i < length; ++i) cell += pieces[random() % std::size(pieces)];
  return cell;
}

TEST(BuildCsv, ReadsBackIntoTheSameTexts) {
  std::mt19937 random(20261207);
  for (int round = 0; round < 2000; ++round) {
    const int fields = 1 + static_cast<int>(random() % 4);
    const int rows = 1 + static_cast<int>(random() % 4);
    SheetArray written(fields, rows);
    for (int f = 0; f < fields; ++f)
      for (int r = 0; r < rows; ++r) written.Set(f, r, RandomCell(random));
    SheetArray read(fields, 1);
    const int last = ParseCsv(Build(written), read, u',', u"\r\n", u'"');
    ASSERT_EQ(last, rows - 1);
    for (int f = 0; f < fields; ++f)
      for (int r = 0; r < rows; ++r) ASSERT_EQ(read.Text(f, r), written.Text(f, r));
  }
}

}  // namespace
}  // namespace quillary
