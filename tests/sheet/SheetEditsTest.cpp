// Rows and columns inserted, deleted and sorted; ranges to and from the
// tab-separated text of the system clipboard.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sheet/SheetEdits.h"
#include "sheet/TabText.h"
#include "support/SheetOf.h"

namespace quillary {
namespace {

using testing::NumberedSheet;
using Texts = std::vector<std::u16string>;

Texts Column(const Sheet& sheet, int col) {
  Texts texts;
  for (int r = 0; r < sheet.Rows(); ++r) texts.emplace_back(sheet.Text(r, col));
  return texts;
}

Texts Row(const Sheet& sheet, int row) {
  Texts texts;
  for (int c = 0; c < sheet.Cols(); ++c) texts.emplace_back(sheet.Text(row, c));
  return texts;
}

TEST(SheetEdits, RowsInsertedAndDeletedRenumberTheLabels) {
  Sheet sheet = NumberedSheet(3, 2);
  sheet.SetText(0, 1, u"名前");
  const Sheet inserted = WithRowsInserted(sheet, 2, 2);
  EXPECT_EQ(Column(inserted, 0), (Texts{u"", u"1", u"2", u"3", u"4", u"5"}));
  EXPECT_EQ(Column(inserted, 1), (Texts{u"名前", u"1,1", u"", u"", u"2,1", u"3,1"}));
  EXPECT_EQ(Column(WithRowsInserted(sheet, 4, 1), 2), (Texts{u"フィールド 2", u"1,2", u"2,2", u"3,2", u""}));
  const Sheet deleted = WithRowsDeleted(inserted, 1, 3);
  EXPECT_EQ(Column(deleted, 0), (Texts{u"", u"1", u"2"}));
  EXPECT_EQ(Column(deleted, 1), (Texts{u"名前", u"2,1", u"3,1"}));
}

TEST(SheetEdits, ColumnsInsertedTakeTheSmallestFreeNameOthersKeepTheirs) {
  Sheet sheet = NumberedSheet(2, 3);
  sheet.SetText(0, 2, u"価格");
  const Sheet inserted = WithColsInserted(sheet, 2, 1);
  EXPECT_EQ(Row(inserted, 0), (Texts{u"", u"フィールド 1", u"フィールド 2", u"価格", u"フィールド 3"}));
  EXPECT_EQ(Row(inserted, 1), (Texts{u"1", u"1,1", u"", u"1,2", u"1,3"}));
  const Sheet deleted = WithColsDeleted(inserted, 1, 2);
  EXPECT_EQ(Row(deleted, 0), (Texts{u"", u"価格", u"フィールド 3"}));
  EXPECT_EQ(Row(deleted, 2), (Texts{u"2", u"2,2", u"2,3"}));
  // Where every position's name is taken, the new ones take names no field
  // uses, so no placeholder names two fields.
  EXPECT_EQ(Row(WithColsInserted(NumberedSheet(1, 3), 2, 2), 0),
            (Texts{u"", u"フィールド 1", u"フィールド 4", u"フィールド 5", u"フィールド 2", u"フィールド 3"}));
}

// Text by code units, enough to see the order the sort took.
int ByUnits(std::u16string_view a, std::u16string_view b) { return a.compare(b); }

TEST(SheetEdits, SortIsStableNumericWhenEveryValueIsANumberAndKeepsEmptiesLast) {
  const struct {
    const char* name;
    Texts values;
    bool descending;
    Texts sorted;
  } cases[] = {
      {"numbers as numbers",
       {u"10", u"9", u"1,200", u"-3.5", u"１２"},
       false,
       {u"-3.5", u"9", u"10", u"１２", u"1,200"}},
      {"numbers descending", {u"10", u"9", u"", u"1,200"}, true, {u"1,200", u"10", u"9", u""}},
      {"text when one is not a number", {u"10", u"9", u"x"}, false, {u"10", u"9", u"x"}},
      {"empties last descending too", {u"", u"b", u"a"}, true, {u"b", u"a", u""}},
  };
  for (const auto& c : cases) {
    Sheet sheet(static_cast<int>(c.values.size()) + 1, 3);
    LabelSheet(sheet);
    for (std::size_t i = 0; i < c.values.size(); ++i) {
      sheet.SetText(static_cast<int>(i) + 1, 1, c.values[i]);
      sheet.SetText(static_cast<int>(i) + 1, 2, DecimalText(static_cast<long long>(i)));
    }
    const Sheet sorted = WithRowsSorted(sheet, 1, c.descending, ByUnits);
    Texts column = Column(sorted, 1);
    column.erase(column.begin());
    EXPECT_EQ(column, c.sorted) << c.name;
    EXPECT_EQ(sorted.Text(0, 1), u"フィールド 1") << c.name;
    EXPECT_EQ(Column(sorted, 0), Column(sheet, 0)) << c.name;  // labels renumbered in place
  }
  // Equal keys keep their order: the second column tells which row is which.
  Sheet ties = NumberedSheet(4, 2);
  for (int r = 1; r <= 4; ++r) ties.SetText(r, 1, r % 2 ? u"b" : u"a");
  EXPECT_EQ(Column(WithRowsSorted(ties, 1, false, ByUnits), 2),
            (Texts{u"フィールド 2", u"2,2", u"4,2", u"1,2", u"3,2"}));
}

TEST(TabText, RangesGoOutAsSpreadsheetsReadThemAndComeBack) {
  Sheet sheet = NumberedSheet(2, 3);
  sheet.SetText(1, 2, u"a|b");
  sheet.SetText(2, 1, u"say \"hi\"\tthere");
  const std::u16string text = ToTabText(sheet, 1, 1, 2, 2);
  EXPECT_EQ(text, u"1,1\t\"a\nb\"\n\"say \"\"hi\"\"\tthere\"\t2,2\n");
  EXPECT_EQ(FromTabText(text), (std::vector<Texts>{{u"1,1", u"a|b"}, {u"say \"hi\"\tthere", u"2,2"}}));
  const struct {
    const char* name;
    std::u16string_view text;
    std::vector<Texts> records;
  } cases[] = {
      {"CR LF line ends, no final one", u"a\tb\r\nc", {{u"a", u"b"}, {u"c"}}},
      {"a line break in a quoted field", u"\"x\r\ny\"\tz\n", {{u"x|y", u"z"}}},
      {"empty fields kept", u"\t\t\n", {{u"", u"", u""}}},
      {"nothing", u"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(FromTabText(c.text), c.records) << c.name;
}

}  // namespace
}  // namespace quillary
