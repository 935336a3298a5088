#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "sheet/CellColumn.h"
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

// How labels read is the sheet edits' test; the sheet's limits are the
// size dialog's.
TEST(Sheet, LabelsKeepWithinTheSheet) {
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

// Random changes to a column and to copies of it, against a plain list:
// every copy keeps its own cells whatever the others do, and equality
// follows the texts whether or not chunks are shared.
TEST(CellColumn, CopiesKeepTheirCellsThroughEveryChange) {
  std::mt19937 random(24);
  const auto below = [&](std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(random() % n); };
  struct Copy {
    CellColumn column;
    std::vector<std::u16string> texts;
  };
  std::vector<Copy> copies(1);
  for (int step = 0; step < 3000; ++step) {
    const std::size_t which = below(copies.size());
    if (random() % 7 == 0 && copies.size() < 6) copies.push_back(copies[which]);
    Copy& copy = copies[which];
    const std::size_t size = copy.texts.size();
    const std::size_t at = below(size + 1);
    const std::size_t count = random() % 8 == 0 ? below(5000) : below(40);
    const std::u16string text = random() % 3 == 0 ? u"" : DecimalText(step);
    switch (random() % 6) {
      case 0:
        copy.column.Insert(at, count);
        copy.texts.insert(copy.texts.begin() + static_cast<std::ptrdiff_t>(at), count, u"");
        break;
      case 1: {
        const std::size_t n = std::min(count, size - at);
        copy.column.Erase(at, n);
        copy.texts.erase(copy.texts.begin() + static_cast<std::ptrdiff_t>(at),
                         copy.texts.begin() + static_cast<std::ptrdiff_t>(at + n));
        break;
      }
      case 2:
        copy.column.Resize(count);
        copy.texts.resize(count);
        break;
      case 3: {
        const std::size_t n = std::min(count, size - at);
        copy.column.Fill(at, n, SharedText(text));
        std::fill_n(copy.texts.begin() + static_cast<std::ptrdiff_t>(at), n, text);
        break;
      }
      case 4:
        copy.column.Append(SharedText(text));
        copy.texts.push_back(text);
        break;
      default:
        for (int n = 0; n < 20 && size > 0; ++n) {
          const std::size_t cell = below(size);
          copy.column.Set(cell, SharedText(text));
          copy.texts[cell] = text;
        }
    }
    for (std::size_t c = 0; c < copies.size(); ++c) {
      ASSERT_EQ(copies[c].column.Size(), copies[c].texts.size()) << "step " << step << ", copy " << c;
      std::vector<std::u16string> read;
      copies[c].column.ForEach([&](std::size_t, const SharedText& cell) { read.emplace_back(cell.get()); });
      ASSERT_EQ(read, copies[c].texts) << "step " << step << ", copy " << c;
      if (!read.empty()) {
        ASSERT_EQ(copies[c].column.At(read.size() - 1).get(), read.back());
      }
    }
    const Copy& other = copies[below(copies.size())];
    ASSERT_EQ(copy.column == other.column, copy.texts == other.texts) << "step " << step;
  }
}

// Row labels are the rows' own numbers: rows inserted, deleted or sorted
// leave every label right, and a million of them cost no texts.
TEST(Sheet, RowLabelsFollowTheirRows) {
  Sheet sheet(kMaxRows, 2);
  LabelSheet(sheet);
  EXPECT_EQ(sheet.Text(kMaxRows - 1, 0), u"1048576");
  EXPECT_EQ(sheet.Text(0, 0), u"");
  EXPECT_LT(SheetBytes(sheet), 2 * CellTableBytes(kMaxRows, 2));
  sheet.SetText(5, 1, u"moved");
  sheet.InsertRows(3, 2);
  LabelRows(sheet, 3, 4);
  EXPECT_EQ(sheet.Text(7, 1), u"moved");
  EXPECT_EQ(sheet.Text(7, 0), u"7");
  EXPECT_EQ(sheet.Text(4, 0), u"4");
  sheet.EraseRows(1, 6);
  EXPECT_EQ(sheet.Text(1, 1), u"moved");
  EXPECT_EQ(sheet.Text(1, 0), u"1");
}

}  // namespace
}  // namespace quillary
