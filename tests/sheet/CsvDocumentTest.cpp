#include <gtest/gtest.h>

#include "platform/CodePage.h"
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
  EXPECT_THROW(LoadCsvText(u"A,B\r\n"), SheetTooSmallError);
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
  TempDir dir;
  EXPECT_THROW(LoadCsvFile(dir / "missing.csv"), FileReadError);
  EXPECT_THROW(LoadCsvFile(dir.path()), FileReadError);
}

// Files as the program writes them, in each encoding: Open then Save gives
// the same bytes (so opening them again gives the same sheet). Each file saved is shorter than
// the one before it, so a tail left of an old file would show.
TEST(LoadCsv, OpenThenSaveGivesTheSameBytes) {
  const std::u16string text =
      u"\"商品\",\"価格\",\"備考\"\r\n\"りんご\",\"4,950\",\"say "
      u"\"\"hi\"\"\"\r\n\"ｶﾀｶﾅ\",\"\",\"一行目\r\n二行目|\"\r\n";
  const struct {
    const char* name;
    std::string bytes;
    TextEncoding encoding;
  } cases[] = {
      {"UTF-8 with BOM", EncodeText(text, TextEncoding::Utf8WithBom), TextEncoding::Utf8WithBom},
      {"UTF-8", EncodeText(text, TextEncoding::Utf8), TextEncoding::Utf8},
      {"CP932", EncodeCodePage(text), TextEncoding::Cp932},
  };
  TempDir dir;
  for (const auto& c : cases) {
    const auto file = dir.Write("in.csv", c.bytes);
    const LoadedCsv loaded = LoadCsvFile(file);
    EXPECT_EQ(loaded.encoding, c.encoding) << c.name;
    EXPECT_EQ(loaded.undecodable.count, 0u) << c.name;
    SaveCsvFile(dir / "out.csv", loaded.array, loaded.encoding);
    EXPECT_EQ(ReadBytes(dir / "out.csv"), c.bytes) << c.name;
  }
  EXPECT_EQ(LoadCsvFile(dir.Write("a.csv", EncodeCodePage(text))).array.Text(1, 1), u"4,950");
}

TEST(LoadCsv, OpensUndecodableBytesAsReplacementsAndTellsWhere) {
  TempDir dir;
  const struct {
    const char* name;
    std::string bytes;
    TextEncoding encoding;
    std::size_t count, offset, line;
    std::u16string_view cell;  // field 0 of row 1
  } cases[] = {
      {"CP932", "A\r\n\x93\xfa\x80\xff\r\n", TextEncoding::Cp932, 2, 5, 2, u"日\uFFFD\uFFFD"},
  };
  for (const auto& c : cases) {
    const LoadedCsv loaded = LoadCsvFile(dir.Write("bad.csv", c.bytes));
    EXPECT_EQ(loaded.encoding, c.encoding) << c.name;
    EXPECT_EQ(loaded.undecodable.count, c.count) << c.name;
    EXPECT_EQ(loaded.undecodable.firstOffset, c.offset) << c.name;
    EXPECT_EQ(loaded.undecodable.firstLine, c.line) << c.name;
    EXPECT_EQ(loaded.array.Text(0, 1), c.cell) << c.name;
  }
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
  EXPECT_THROW(SaveCsvFile(dir / "no/such/folder.csv", SheetArray(1, 1)), FileWriteError);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
}  // namespace quillary
