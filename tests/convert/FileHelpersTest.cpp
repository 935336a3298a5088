#include <gtest/gtest.h>

#include "convert/FindRep.h"
#include "convert/Module1.h"
#include "support/SheetOf.h"
#include "platform/Errors.h"
#include "support/TempDir.h"

namespace quillary {
namespace {

using testing::FruitSheet;
using testing::ReadBytes;
using testing::TempDir;

std::u16string Text(const std::filesystem::path& path) { return path.u16string(); }

TEST(FileExists, TestsReadableFilesOnly) {
  TempDir dir;
  const auto file = dir.Write("a.txt", "x");
  EXPECT_TRUE(FileExists(Text(file)));
  EXPECT_TRUE(FileExists(Text(file) + u"\\"));  // one trailing backslash is dropped
  EXPECT_FALSE(FileExists(Text(file) + u"\\\\"));
  EXPECT_FALSE(FileExists(u""));
  EXPECT_FALSE(FileExists(Text(dir.path())));
  EXPECT_FALSE(FileExists(Text(dir.path()) + u"\\"));
  EXPECT_FALSE(FileExists(Text(dir / "missing")));
  EXPECT_FALSE(FileExists(Text(file) + std::u16string(1, u'\0') + u"x"));
  EXPECT_FALSE(FileExists(std::u16string(1, u'\xD800')));  // no file name can hold it
}

TEST(ReadWholeFile, PadsDoubleByteCharactersWithNuls) {
  TempDir dir;
  EXPECT_EQ(ReadWholeFile(dir.Write("empty", "")), u"");
  // 6 bytes, two of them double-byte characters: 4 characters and 2 NULs.
  const std::u16string text = ReadWholeFile(dir.Write("jp", "A\x93\xfa\x96\x7b" "B"));
  EXPECT_EQ(text, std::u16string(u"A日本B\0\0", 6));
  EXPECT_THROW(ReadWholeFile(dir / "missing"), FileReadError);
  for (auto [cut, expected] : {std::pair{text, u"A日本B"}, {std::u16string(u"\0abc", 4), u""}, {u"abc", u"abc"}}) {
    TruncateAtNul(cut);
    EXPECT_EQ(cut, expected);
  }
}

TEST(ConvertTemplate, WritesTheEncodedExpansionInOnePiece) {
  TempDir dir;
  // "<!-- Name -->は<!-- Price -->円" with a NUL ending the output early.
  const auto templ =
      dir.Write("t.html", std::string("<!-- Name -->\x82\xcd<!-- Price -->\x89~\0tail", 36));
  ConvertTemplate(templ, dir / "out.html", FruitSheet(), 3);
  EXPECT_EQ(ReadBytes(dir / "out.html"), "Apple\x82\xcd" "120\x89~");
  // The template is read whole first, so it may be its own output.
  ConvertTemplate(templ, templ, FruitSheet(), 3);
  EXPECT_EQ(ReadBytes(templ), "Apple\x82\xcd" "120\x89~");
}

TEST(ConvertTemplate, ReportsFailuresAndWritesNothing) {
  TempDir dir;
  const auto templ = dir.Write("t.html", "<!-- Name -->");
  const SheetArray accented = testing::SheetOf({{u"Name", u"caf\u00e9"}});
  try {
    ConvertTemplate(templ, dir / "out.html", accented, 1);
    ADD_FAILURE() << "no error for an unencodable character";
  } catch (const UnencodableCharError& error) {
    EXPECT_EQ(error.position(), 3u);
    EXPECT_EQ(error.character(), U'\u00e9');
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "out.html"));
  EXPECT_THROW(ConvertTemplate(templ, dir / "no/out.html", FruitSheet(), 3), FileWriteError);
  EXPECT_THROW(ConvertTemplate(templ, dir.path(), FruitSheet(), 3), FileWriteError);
  EXPECT_THROW(ConvertTemplate(dir / "missing", dir / "out.html", FruitSheet(), 3), FileReadError);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  // An output over its cap leaves an existing output file as it was.
  const auto kept = dir.Write("kept.html", "old");
  EXPECT_THROW(ConvertTemplate(templ, kept, FruitSheet(), 3, 4), OutputTooLargeError);
  EXPECT_EQ(ReadBytes(kept), "old");
}

}  // namespace
}  // namespace quillary
