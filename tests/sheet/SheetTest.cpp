#include <gtest/gtest.h>

#include "sheet/Sheet.h"

namespace quillary {
namespace {

TEST(Sheet, ResizeKeepsTheOverlap) {
  Sheet sheet(3, 3);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) sheet.SetText(r, c, DecimalText(r * 10 + c));
  sheet.Resize(4, 2);
  EXPECT_EQ(std::pair(sheet.Rows(), sheet.Cols()), std::pair(4, 2));
  EXPECT_EQ(sheet.Text(2, 1), u"21");
  EXPECT_EQ(sheet.Text(3, 1), u"");
  sheet.Resize(4, 3);  // a dropped column comes back empty
  EXPECT_EQ(sheet.Text(1, 2), u"");
  EXPECT_EQ(sheet.Text(1, 1), u"11");
  sheet.Clear();
  EXPECT_EQ(sheet.Rows(), 4);
  EXPECT_EQ(sheet.Text(2, 1), u"");
}

// How labels read is the sheet edits' test.
TEST(Sheet, CellLimitAndLabelsWithinTheSheet) {
  EXPECT_TRUE(FitsCellLimit(4096, 8));
  EXPECT_FALSE(FitsCellLimit(4097, 8));
  EXPECT_FALSE(FitsCellLimit(-1, 8));

  // Labelling keeps to the sheet: no label column, no heading row, or a
  // range past its edges.
  for (const auto& [rows, cols] : {std::pair{0, 0}, {3, 0}, {0, 3}, {1, 1}}) {
    Sheet empty(rows, cols);
    LabelSheet(empty);
    LabelRows(empty, -2, 9);
    NameFields(empty, -2, 9);
    EXPECT_EQ(empty.Rows(), rows);
  }
  Sheet small(3, 2);
  LabelRows(small, 0, 99);
  EXPECT_EQ(small.Text(2, 0), u"2");
}

TEST(SheetImage, ComparesSizesAndCells) {
  Sheet sheet = MakeInitialSheet();
  SheetImage image;
  image.Take(sheet);
  EXPECT_FALSE(image.Differs(sheet));
  // Moving an underscore across a cell boundary is a change.
  sheet.SetText(1, 1, u"a_");
  image.Take(sheet);
  sheet.SetText(1, 1, u"a");
  sheet.SetText(1, 2, u"_");
  EXPECT_TRUE(image.Differs(sheet));
  // So is a resize, even with no text changed.
  Sheet resized = MakeInitialSheet();
  image.Take(resized);
  resized.SetRows(12);
  EXPECT_TRUE(image.Differs(resized));
}

}  // namespace
}  // namespace quillary
