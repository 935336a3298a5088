#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sheet/CsvCells.h"
#include "sheet/CsvRecords.h"

namespace quillary {
namespace {

using Rows = std::vector<std::vector<std::u16string>>;

// The records as one reader reads the whole text, with no cell limit.
Rows ReadWhole(std::u16string_view text) {
  struct {
    Rows rows;
    void EmptyRecord() { rows.emplace_back(); }
    void Record(const CsvRecord& record) {
      rows.emplace_back(record.fields.begin(), record.fields.begin() + static_cast<std::ptrdiff_t>(record.fieldCount));
    }
  } store;
  ReadCsvRecords(text, CellLimit::None, store);
  return store.rows;
}

// Odd rows one cell at a time, even rows all at once.
Rows CellsOf(const CsvCells& cells) {
  Rows rows(static_cast<std::size_t>(cells.Rows()));
  const auto fields = static_cast<std::size_t>(cells.Fields());
  std::vector<std::u16string> scratches(fields);
  std::vector<std::u16string_view> texts(fields);
  std::vector<CellAt> at(fields);
  for (int r = 0; r < cells.Rows(); ++r) {
    for (std::size_t f = 0; f < fields; ++f) {
      at[f] = {static_cast<int>(f), r};
      texts[f] = r % 2 == 1 ? cells.Text(at[f].field, r, scratches[f]) : std::u16string_view();
    }
    if (r % 2 == 0) cells.Texts(at.data(), fields, texts.data(), scratches.data());
    rows[static_cast<std::size_t>(r)].assign(texts.begin(), texts.end());
  }
  return rows;
}

// Records "r,xx..." taking exactly `length` characters (at least 5).
std::u16string Records(std::size_t length) {
  std::u16string text;
  while (length - text.size() >= 5) {
    const std::size_t room = length - text.size() - 5;
    text += u"r," + std::u16string(room < 200 ? room : static_cast<std::size_t>(text.size() % 37), u'x') + u"\r\n";
  }
  return text;
}

TEST(CsvCells, ReadAsOneReaderReadsTheWholeText) {
  // Large texts are read in two halves from the first line start after the
  // middle, which falls two characters into each row's `middle`.
  const struct {
    const char* name;
    std::u16string middle;
    bool emptyAfter = false;  // only empty lines follow the middle
  } cases[] = {
      {"a quoted field holding line breaks across the middle", u"\"a\r\nb\r\nc\",\"x\"\"y\"\r\n"},
      {"an open quote taking the rest", u"\"open\r\nm,n\r\n"},
      {"empty lines around the middle", u"\r\n\r\n\r\nm\r\n\r\n"},
      {"a wider record after the middle", u"m,n\r\np,q,r,s\r\n"},
      {"only empty lines after the middle", u"\r\n\r\n\r\n", true},
      {"empty fields at records' ends", u"m,,\r\n,,\r\n\"\",\"\"\r\n,n,\r\n"},
  };
  const std::u16string prefix = u"name,value\r\n" + Records(std::size_t{1} << 21);
  for (const auto& c : cases) {
    const std::size_t rest = prefix.size() + 4 - c.middle.size();
    std::u16string text = prefix + c.middle;
    if (c.emptyAfter)
      for (std::size_t n = rest / 2; n > 0; --n) text += u"\r\n";
    else
      text += Records(rest);
    DecodedText file;
    file.text = text;
    const CsvCells cells = LoadCsvCells(file, CellLimit::None);
    Rows expected = ReadWhole(text);
    std::size_t widest = 0;
    for (const auto& row : expected) widest = std::max(widest, row.size());
    for (auto& row : expected) row.resize(widest);
    EXPECT_EQ(CellsOf(cells), expected) << c.name;
  }
}

}  // namespace
}  // namespace quillary
