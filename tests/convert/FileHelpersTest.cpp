#include <gtest/gtest.h>

#include "convert/EncodingSink.h"
#include "convert/Module1.h"
#include "convert/TemplateFile.h"
#include "platform/Errors.h"
#include "platform/TextEncoding.h"
#include "platform/WorkProgress.h"
#include "support/SheetOf.h"
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

TEST(ConvertTemplate, WritesTheEncodedExpansionInOnePiece) {
  TempDir dir;
  // "<!-- Name -->は<!-- Price -->円" with a NUL ending the output early.
  const auto templ = dir.Write("t.html", std::string("<!-- Name -->\x82\xcd<!-- Price -->\x89~\0tail", 36));
  ConvertTemplate(templ, dir / "out.html", FruitSheet(), 3);
  EXPECT_EQ(ReadBytes(dir / "out.html"),
            "Apple\x82\xcd"
            "120\x89~");
  // The template is read whole first, so it may be its own output.
  ConvertTemplate(templ, templ, FruitSheet(), 3);
  EXPECT_EQ(ReadBytes(templ),
            "Apple\x82\xcd"
            "120\x89~");
}

TEST(ConvertTemplate, WritesInTheTemplatesEncodingOrTheSheetsForPlainAscii) {
  const std::string utf8Template = "<p>\xE5\x95\x86\xE5\x93\x81: <!-- Name --></p>";  // 商品
  const std::u16string expanded = u"<p>商品: 日本</p>";
  const std::u16string asciiExpanded = u"<p>日本</p>";
  const struct {
    const char* name;
    std::string templateBytes;
    TextEncoding sheetEncoding, written;
    std::u16string text;
  } cases[] = {
      {"UTF-8 with BOM", "\xEF\xBB\xBF" + utf8Template, TextEncoding::Cp932, TextEncoding::Utf8WithBom, expanded},
      {"CP932", "<p>\x8f\xa4\x95\x69: <!-- Name --></p>", TextEncoding::Utf8, TextEncoding::Cp932, expanded},
      {"ASCII, sheet in UTF-8", "<p><!-- Name --></p>", TextEncoding::Utf8, TextEncoding::Utf8, asciiExpanded},
      {"ASCII, sheet with BOM", "<p><!-- Name --></p>", TextEncoding::Utf8WithBom, TextEncoding::Utf8WithBom,
       asciiExpanded},
      {"ASCII, sheet in CP932", "<p><!-- Name --></p>", TextEncoding::Cp932, TextEncoding::Cp932, asciiExpanded},
  };
  TempDir dir;
  const SheetArray sheet = testing::SheetOf({{u"Name", u"日本"}});
  for (const auto& c : cases) {
    const auto templ = dir.Write("t.html", c.templateBytes);
    EXPECT_EQ(ConvertTemplate(templ, dir / "out.html", sheet, 1, c.sheetEncoding), c.written) << c.name;
    EXPECT_EQ(ReadBytes(dir / "out.html"), EncodeText(c.text, c.written)) << c.name;
  }
}

TEST(ConvertTemplate, RefusesATemplateWithUndecodableBytes) {
  TempDir dir;
  const auto kept = dir.Write("out.html", "old");
  const struct {
    const char* name;
    std::string bytes;
    TextEncoding encoding;
    std::size_t count, offset, line;
  } cases[] = {
      {"CP932", "<p>\r\n<!-- Name -->\x80</p>", TextEncoding::Cp932, 1, 18, 2},
  };
  for (const auto& c : cases) {
    try {
      ConvertTemplate(dir.Write("t.html", c.bytes), kept, FruitSheet(), 3);
      ADD_FAILURE() << c.name << ": converted";
    } catch (const UndecodableTextError& error) {
      EXPECT_EQ(error.encoding(), c.encoding) << c.name;
      EXPECT_EQ(error.bytes().count, c.count) << c.name;
      EXPECT_EQ(error.bytes().firstOffset, c.offset) << c.name;
      EXPECT_EQ(error.bytes().firstLine, c.line) << c.name;
    }
    EXPECT_EQ(ReadBytes(kept), "old") << c.name;
  }
}

TEST(ConvertTemplate, ReportsFailuresAndWritesNothing) {
  TempDir dir;
  const auto templ = dir.Write("t.html", "<!-- Name -->");
  const SheetArray accented = testing::SheetOf({{u"Name", u"caf\u00e9"}});
  // Only an HTML page may write what CP932 lacks as a reference.
  try {
    ConvertTemplate(dir.Write("t.txt", "<!-- Name -->"), dir / "out.html", accented, 1);
    ADD_FAILURE() << "no error for an unencodable character";
  } catch (const UnencodableCharError& error) {
    EXPECT_EQ(error.position(), 3u);
    EXPECT_EQ(error.character(), U'\u00e9');
    EXPECT_EQ(error.encoding(), TextEncoding::Cp932);
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "out.html"));
  EXPECT_THROW(ConvertTemplate(templ, dir / "no/out.html", FruitSheet(), 3), FileWriteError);
  EXPECT_THROW(ConvertTemplate(templ, dir.path(), FruitSheet(), 3), FileWriteError);
  EXPECT_THROW(ConvertTemplate(dir / "missing", dir / "out.html", FruitSheet(), 3), FileReadError);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
  // An output over its cap leaves an existing output file as it was.
  const auto kept = dir.Write("kept.html", "old");
  EXPECT_THROW(ConvertTemplate(templ, kept, FruitSheet(), 3, TextEncoding::Cp932, 4), OutputTooLargeError);
  EXPECT_EQ(ReadBytes(kept), "old");
}

// The bytes go to disk as they are made: a failure or a stop after
// megabytes of them still leaves the output as it was, and no other file.
TEST(ConvertTemplate, LeavesTheOutputAsItWasWhenItFailsOrStopsLate) {
  TempDir dir;
  const auto kept = dir.Write("kept.txt", "old");
  std::vector<std::u16string> names{u"Name"};
  for (int r = 1; r <= 200000; ++r) names.push_back(u"record " + DecimalText(r));
  names.back() = u"caf\u00e9";  // CP932 lacks it, and a text page writes no references
  const SheetArray records = testing::SheetOf({names});
  const auto templ = dir.Write("t.txt", "<!-- BeginRepeat * --><!-- Name -->\r\n<!-- EndRepeat -->");
  EXPECT_THROW(ConvertTemplate(templ, kept, records, 1), UnencodableCharError);
  WorkProgress stopped;
  stopped.Cancel();
  EXPECT_THROW(ConvertTemplate(templ, kept, records, 1, TextEncoding::Utf8, kMaxOutputUnits, nullptr, &stopped),
               WorkCancelled);
  EXPECT_EQ(ReadBytes(kept), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
  // Let go on, the same conversion writes every record.
  ConvertTemplate(templ, kept, records, 1, TextEncoding::Utf8);
  EXPECT_EQ(ReadBytes(kept).substr(0, 18), "record 1\r\nrecord 2");
}

// A CP932 HTML page writes what the code page lacks as references, however
// the text arrives in pieces: a pair's halves may come apart.
TEST(EncodingSink, WritesReferencesHoweverTheTextIsCut) {
  const std::u16string text = u"日☃a😀é\r\n𠮷ｱ";
  const std::string expected = EncodeText(u"日&#x2603;a&#x1F600;&#xE9;\r\n&#x20BB7;ｱ", TextEncoding::Cp932);
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    std::string bytes;
    EncodingSink sink(
        TextEncoding::Cp932, [&](std::string_view piece) { bytes.append(piece); }, true);
    sink.Append(std::u16string_view(text).substr(0, cut));
    sink.Append(std::u16string_view(text).substr(cut));
    sink.Finish();
    EXPECT_EQ(bytes, expected) << "cut at " << cut;
    EXPECT_EQ(sink.References(), 4u) << "cut at " << cut;
  }
  const std::u16string unpaired[] = {u"a\xD83D", std::u16string(1, u'\xDE00') + u"a"};
  for (const std::u16string& lone : unpaired) {
    EncodingSink sink(
        TextEncoding::Cp932, [](std::string_view) {}, true);
    EXPECT_THROW(
        {
          sink.Append(lone);
          sink.Finish();
        },
        UnencodableCharError)
        << "an unpaired surrogate is no character";
  }
}

}  // namespace
}  // namespace quillary
