#include <gtest/gtest.h>

#include "platform/TextEncoding.h"
#include "sheet/CsvDocument.h"
#include "sheet/Sheet.h"
#include "support/TempDir.h"

namespace quillary {
namespace {

using testing::ReadBytes;
using testing::TempDir;

// Ragged records, quoting, line ends and empty lines at the end are the core
// fuzzer's, against the records it wrote.
TEST(LoadCsv, EveryFieldOfEveryRecord) {
  const struct {
    const char* name;
    std::u16string_view text;
    int rows, cols, field, row;  // the size, and a cell the array must hold
    std::u16string_view value;
  } cases[] = {
      {"an empty line between records is one", u"A,B\r\n\r\nx,y\r\n\r\n", 3, 3, 0, 1, u""},
      {"an empty line before the field names too", u"\r\nA,B\r\nx,y\r\n", 3, 3, 1, 2, u"y"},
      {"a closing quote ends the record", u"\"A\"\r\n\"x\"\r\n", 2, 2, 0, 1, u"x"},
      {"an empty field after a quoted one counts", u"\"A\",\r\nx,y\r\n", 2, 3, 1, 1, u"y"},
      {"a wider middle record", u"A\r\n1,2,3\r\n4\r\n", 3, 4, 2, 1, u"3"},
  };
  for (const auto& c : cases) {
    const LoadedCsv loaded = LoadCsvText(std::u16string(c.text));
    EXPECT_EQ(std::pair(loaded.rows, loaded.cols), std::pair(c.rows, c.cols)) << c.name;
    EXPECT_EQ(std::pair(loaded.array.Rows(), loaded.array.Fields()), std::pair(c.rows, c.cols - 1)) << c.name;
    EXPECT_EQ(loaded.array.Text(c.field, c.row), c.value) << c.name;
  }
}

TEST(LoadCsv, RefusesWhatCannotBeASheet) {
  EXPECT_THROW(LoadCsvText(u""), SheetTooSmallError);
  EXPECT_THROW(LoadCsvText(std::u16string(4'000'000, u'\n')), SheetTooSmallError);
  EXPECT_THROW(LoadCsvText(u"\"A\r\nB\""), SheetTooSmallError);
  // At the limits, and one past them: the refusal tells the file's own
  // size, records and fields, all of the file read.
  const std::u16string widest(16383, u',');  // 16,384 fields
  EXPECT_EQ(LoadCsvText(u"a\r\n" + widest + u"\r\nb\r\n").cols, 16385);
  try {
    LoadCsvText(u"a\r\n" + widest + u",\r\nb\r\n");  // any record, not only the last
    ADD_FAILURE() << "no refusal of a wide record";
  } catch (const SheetTooLargeError& error) {
    EXPECT_EQ(std::pair(error.rows(), error.cols()), std::pair(3LL, 16386LL));
  }
  std::u16string tallest = u"n\r\n";
  for (int i = 0; i < 1048576; ++i) tallest += u"a\r\n";
  EXPECT_EQ(LoadCsvText(tallest).rows, 1048577);
  try {
    LoadCsvText(tallest + u"b\r\n\r\n");
    ADD_FAILURE() << "no refusal of a tall file";
  } catch (const SheetTooLargeError& error) {
    EXPECT_EQ(std::pair(error.rows(), error.cols()), std::pair(1048578LL, 2LL));
  }
  try {
    LoadCsvText(u"a,b\n" + std::u16string(4'000'000, u'\n') + u"x");
    ADD_FAILURE() << "no refusal";
  } catch (const SheetTooLargeError& error) {
    EXPECT_EQ(std::pair(error.rows(), error.cols()), std::pair(4'000'002LL, 3LL));
  }
}

TEST(LoadCsv, OpensUndecodableBytesAsReplacementsAndTellsWhere) {
  TempDir dir;
  const LoadedCsv loaded = LoadCsvFile(dir.Write("bad.csv", "A\r\n\x93\xfa\x80\xff\r\n"));
  EXPECT_EQ(loaded.encoding, TextEncoding::Cp932);
  EXPECT_EQ(loaded.undecodable.count, 2u);
  EXPECT_EQ(loaded.undecodable.firstOffset, 5u);
  EXPECT_EQ(loaded.undecodable.firstLine, 2u);
  EXPECT_EQ(loaded.array.Text(0, 1), u"日\uFFFD\uFFFD");
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
  // CP932 bytes that Open would take for UTF-8 ("ﾃｽ" is C3 BD, which is "½").
  SheetArray katakana(1, 2);
  katakana.Set(0, 0, u"name");
  katakana.Set(0, 1, u"ﾃｽ");
  try {
    SaveCsvFile(file, katakana, TextEncoding::Cp932);
    ADD_FAILURE() << "saved bytes that read back as another sheet";
  } catch (const ReadsBackDifferentlyError& error) {
    EXPECT_EQ(std::pair(error.written(), error.readAs()), std::pair(TextEncoding::Cp932, TextEncoding::Utf8));
  }
  EXPECT_EQ(ReadBytes(file), "old");
  SaveCsvFile(file, katakana, TextEncoding::Utf8);
  EXPECT_EQ(LoadCsvFile(file).array.Text(0, 1), u"ﾃｽ");
  // Stopped by the user: the file stays as it was, nothing is left beside it.
  const std::string saved = ReadBytes(file);
  WorkProgress stopped;
  stopped.Cancel();
  EXPECT_THROW(SaveCsvFile(file, SheetArray::FromSheet(Sheet(3, 3)), TextEncoding::Utf8, &stopped), WorkCancelled);
  EXPECT_EQ(ReadBytes(file), saved);
  EXPECT_THROW(LoadCsvFile(file, &stopped), WorkCancelled);
  EXPECT_THROW(SaveCsvFile(dir / "no/such/folder.csv", SheetArray(1, 1)), FileWriteError);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
}  // namespace quillary
