#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "sheet/CsvDocument.h"
#include "sheet/Sheet.h"
#include "support/TempDir.h"

namespace quillary {
namespace {

using testing::ReadBytes;
using testing::TempDir;

TEST(LoadCsv, LastLineDecidesTheFieldsAndRecordsTheRows) {
  const struct {
    std::u16string_view text;
    int rows, cols, field, row;  // the size, and a cell the array must hold
    std::u16string_view value;
  } cases[] = {
      {u"A,B\r\nx,y\r\n", 2, 3, 1, 1, u"y"},
      // Fewer pieces on the last line: the others lose their surplus fields.
      {u"A,B,C\r\n1,2,3\r\n4,5\r\n", 3, 3, 1, 1, u"2"},
      // More pieces: the other records get empty cells at the right.
      {u"A\r\n1,2,3", 2, 4, 2, 0, u""},
      {u"A,B\r\n\"1,5\",x\r\n", 2, 4, 0, 1, u"1,5"},  // a quoted comma on the last line counts too
      {u"A,B\r\nx,y\r\n\r\n", 3, 2, 0, 1, u"x"},       // an empty last line gives a single field
      // A quoted value over several lines is one record, so nothing is lost.
      {u"Name,Note\r\na,\"one\r\ntwo\"\r\nb,c\r\n", 3, 3, 1, 1, u"one\r\ntwo"},
      {u"Name,Note\r\na,\"one\r\ntwo\"\r\nb,c\r\n", 3, 3, 0, 2, u"b"},
      // Files with CR or LF alone as line ends open whole.
      {u"A,B\rx,y\rz,w", 3, 3, 1, 2, u"w"},
      {u"A,B\nx,y\nz,w\n", 3, 3, 1, 2, u"w"},
  };
  for (const auto& c : cases) {
    const LoadedCsv loaded = LoadCsvText(c.text);
    EXPECT_EQ(std::pair(loaded.rows, loaded.cols), std::pair(c.rows, c.cols)) << "case " << &c - cases;
    EXPECT_EQ(loaded.array.Text(c.field, c.row), c.value) << "case " << &c - cases;
  }
}

TEST(LoadCsv, RefusesWhatCannotBeASheet) {
  EXPECT_THROW(LoadCsvText(u""), SheetTooSmallError);
  EXPECT_THROW(LoadCsvText(u"A,B\r\n"), SheetTooSmallError);
  EXPECT_THROW(LoadCsvText(u"\"A\r\nB\""), SheetTooSmallError);
  std::u16string wide(20000, u',');
  EXPECT_THROW(LoadCsvText(wide + u"\r\n" + wide), SheetTooLargeError);
  std::u16string tall;
  for (int i = 0; i < 4097; ++i) tall += u"a,b,c,d,e,f,g\r\n";
  EXPECT_THROW(LoadCsvText(tall), SheetTooLargeError);
  // Millions of empty lines are refused once one record too many is read.
  try {
    LoadCsvText(std::u16string(4'000'000, u'\n'));
    ADD_FAILURE() << "no refusal";
  } catch (const SheetTooLargeError& error) {
    EXPECT_EQ(error.rows(), 16385);
  }
  TempDir dir;
  EXPECT_THROW(LoadCsvFile(dir / "missing.csv"), FileReadError);
  EXPECT_THROW(LoadCsvFile(dir.path()), FileReadError);
}

TEST(SaveCsv, WritesCodePageBytesWithCrLf) {
  Sheet sheet(3, 3);
  LabelSheet(sheet);
  sheet.SetText(1, 1, u"say \"hi\", 日本");
  sheet.SetText(2, 2, u"a|b");
  TempDir dir;
  const auto file = dir / "out.csv";
  dir.Write("out.csv", std::string(5000, 'x'));  // a longer old file leaves no tail
  SaveCsvFile(file, SheetArray::FromSheet(sheet));
  const std::string bytes = ReadBytes(file);
  EXPECT_EQ(bytes, EncodeCodePage(u"\"フィールド 1\",\"フィールド 2\"\r\n"
                                  u"\"say \"\"hi\"\", 日本\",\"\"\r\n"
                                  u"\"\",\"a|b\"\r\n"));
  EXPECT_NE(static_cast<unsigned char>(bytes[0]), 0xEF);  // no byte-order mark

  LoadedCsv loaded = LoadCsvFile(file);
  EXPECT_EQ(loaded.rows, 3);
  EXPECT_EQ(loaded.cols, 3);
  EXPECT_EQ(loaded.array, SheetArray::FromSheet(sheet));
}

TEST(SaveCsv, RefusesUnencodableCellsAndKeepsTheOldFile) {
  Sheet sheet(3, 3);
  sheet.SetText(2, 1, u"snow ☃");
  TempDir dir;
  const auto file = dir.Write("keep.csv", "old");
  try {
    SaveCsvFile(file, SheetArray::FromSheet(sheet));
    FAIL() << "saved a character the code page lacks";
  } catch (const UnencodableCellError& error) {
    EXPECT_EQ(error.row(), 2);
    EXPECT_EQ(error.field(), 0);
    EXPECT_EQ(error.character(), U'☃');
  }
  EXPECT_EQ(ReadBytes(file), "old");
  EXPECT_THROW(SaveCsvFile(dir / "no/such/folder.csv", SheetArray(1, 1)), FileWriteError);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
}  // namespace quillary
