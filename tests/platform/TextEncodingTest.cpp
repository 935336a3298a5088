#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "platform/TextEncoding.h"
#include "platform/Utf8.h"
#include "support/SystemConverter.h"

namespace quillary {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

TEST(DecodeText, DecidesTheEncodingFromTheBytes) {
  const struct {
    const char* name;
    std::string bytes;
    TextEncoding encoding;
    bool ascii;
    std::u16string text;
  } cases[] = {
      {"empty", "", TextEncoding::Cp932, true, u""},
      {"ASCII keeps the code page", "a,\"b\"\r\n\\~", TextEncoding::Cp932, true, u"a,\"b\"\r\n\\~"},
      {"the mark is not text", std::string(kBom) + "a,\xE6\x97\xA5", TextEncoding::Utf8WithBom, false, u"a,日"},
      {"clean UTF-8", "\xE6\x97\xA5\xE6\x9C\xAC,x", TextEncoding::Utf8, false, u"日本,x"},
      {"a mark later in the text is a character", "a\xEF\xBB\xBF", TextEncoding::Utf8, false, u"a\uFEFF"},
      // Not well-formed UTF-8 (which bytes are is the system converter's
      // test below): the code page, exactly as it reads them.
      {"CP932 text", "\x93\xfa\x96\x7b", TextEncoding::Cp932, false, u"日本"},
      {"cut off at the end", "ok\xE6\x97", TextEncoding::Cp932, false, DecodeCodePage("ok\xE6\x97")},
      {"a lone trailing byte", "\x80", TextEncoding::Cp932, false, u"\uFFFD"},
  };
  for (const auto& c : cases) {
    const DecodedText decoded = DecodeText(c.bytes);
    EXPECT_EQ(decoded.encoding, c.encoding) << c.name;
    EXPECT_EQ(decoded.ascii, c.ascii) << c.name;
    EXPECT_EQ(decoded.text, c.text) << c.name;
    bool ascii = !c.ascii;
    EXPECT_EQ(DetectEncoding(c.bytes, ascii), c.encoding) << c.name;
    EXPECT_EQ(ascii, c.ascii) << c.name;
  }
}

TEST(DecodeText, CountsUndecodableBytesAndFindsTheFirst) {
  const struct {
    const char* name;
    std::string bytes;
    std::u16string text;
    std::size_t count, offset, line;
  } cases[] = {
      {"CP932, a bad byte", "a\r\nb\r\n\x80", u"a\r\nb\r\n\uFFFD", 1, 6, 3},
      {"CP932, a lead byte cut off", "x\n\x93", u"x\n\uFFFD", 1, 2, 2},
      {"CP932, a lead byte before a byte it does not pair with", "\x81\x20\xff", u"\uFFFD \uFFFD", 2, 0, 1},
      {"CP932, CR alone ends a line", "a\rb\r\xa0", u"a\rb\r\uFFFD", 1, 4, 3},
      // After the mark, every malformed sequence is one replacement.
      {"UTF-8, a bad byte", std::string(kBom) + "a\xff", u"a\uFFFD", 1, 4, 1},
      {"UTF-8, a cut-off sequence", std::string(kBom) + "\xE6\x97,\xF0\x9F\x98", u"\uFFFD,\uFFFD", 5, 3, 1},
  };
  for (const auto& c : cases) {
    const DecodedText decoded = DecodeText(c.bytes);
    EXPECT_EQ(decoded.text, c.text) << c.name;
    EXPECT_EQ(decoded.undecodable.count, c.count) << c.name;
    EXPECT_EQ(decoded.undecodable.firstOffset, c.offset) << c.name;
    EXPECT_EQ(decoded.undecodable.firstLine, c.line) << c.name;
  }
}

// The text still reads as CP932; only what is told about it changes.
TEST(DecodeText, TellsTheBadSequencesOfUtf8WithAFewStrayBytes) {
  const std::string kana = "\xE3\x81\x82\xE3\x81\x84";  // あい
  const struct {
    const char* name;
    std::string bytes;
    bool damagedUtf8;
    std::size_t count, offset, line;
  } cases[] = {
      {"as many good as bad is not enough", "\xE3\x81\x82\x80\x80", false, 0, 0, 0},
      {"twice as many good as bad", "\xE3\x81\x82\xE3\x81\x82\x80", true, 1, 6, 1},
      // Even where every byte reads as CP932, the damage is told.
      {"UTF-8 that CP932 reads without a fault", "\xE6\x97\xA5\xE6\x97\xA5\x81\x40", true, 1, 6, 1},
      {"CP932 kanji", "\x93\xfa\x96\x7b\x8c\xea", false, 0, 0, 0},
  };
  for (const auto& c : cases) {
    const DecodedText decoded = DecodeText(c.bytes);
    EXPECT_EQ(decoded.encoding, TextEncoding::Cp932) << c.name;
    EXPECT_EQ(decoded.text, DecodeCodePage(c.bytes)) << c.name;
    EXPECT_EQ(decoded.undecodable.damagedUtf8, c.damagedUtf8) << c.name;
    if (!c.damagedUtf8) continue;
    EXPECT_EQ(decoded.undecodable.count, c.count) << c.name;
    EXPECT_EQ(decoded.undecodable.firstOffset, c.offset) << c.name;
    EXPECT_EQ(decoded.undecodable.firstLine, c.line) << c.name;
  }
}

TEST(EncodeText, RefusesTheFirstCharacterTheEncodingCannotHold) {
  EXPECT_EQ(EncodeText(u"", TextEncoding::Utf8WithBom), kBom);
  // The JIS forms of the wave dash and minus sign are written.
  EXPECT_EQ(EncodeText(u"〜−", TextEncoding::Cp932), "\x81\x60\x81\x7c");
  const struct {
    const char* name;
    std::u16string_view text;
    TextEncoding encoding;
    std::size_t position;
    char32_t character;
  } cases[] = {
      // What else CP932 lacks, and which refusal comes first, is the core
      // fuzzer's to check.
      {"after a run of ASCII", u"abcdefgh☃", TextEncoding::Cp932, 8, U'☃'},
      // An unpaired surrogate is no character in any encoding.
      {"a lone high surrogate",
       u"a\xD83D"
       u"b",
       TextEncoding::Utf8, 1, 0xD83D},
      {"a lone low surrogate after the mark", u"\xDE00", TextEncoding::Utf8WithBom, 0, 0xDE00},
      {"a high surrogate at the end", u"x\xD83D", TextEncoding::Utf8, 1, 0xD83D},
  };
  for (const auto& c : cases) {
    try {
      EncodeText(c.text, c.encoding);
      ADD_FAILURE() << c.name << ": written";
    } catch (const UnencodableCharError& error) {
      EXPECT_EQ(error.position(), c.position) << c.name;
      EXPECT_EQ(error.character(), c.character) << c.name;
      // The mark is no part of the refusal.
      const TextEncoding named = c.encoding == TextEncoding::Cp932 ? TextEncoding::Cp932 : TextEncoding::Utf8;
      EXPECT_EQ(error.encoding(), named) << c.name;
    }
  }
}

using testing::Converted;
using testing::Wide;

TEST(Utf8, AgreesWithTheSystemConverter) {
  std::mt19937 random(11);
  // Bytes that are mostly UTF-8-shaped, so that both sides are exercised;
  // the lead and trail bytes make every length's first and last character,
  // so the encoder's boundaries are reached by the round trip too.
  // clang-format off
  const std::vector<std::string> pieces = {"a", ",", "\r\n", "\xC2", "\xDF", "\xE0", "\xED", "\xEF", "\xF0", "\xF4",
                                           "\xF5", "\xC0", "\x80", "\x8F", "\x90", "\x9F", "\xA0", "\xBF", "\xFF",
                                           "\xE6\x97\xA5", "\xF0\x9F\x98\x80"};
  // clang-format on
  int wellFormed = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string bytes;
    for (int n = static_cast<int>(random() % 8); n > 0; --n) bytes += pieces[random() % pieces.size()];
    bool high = false;
    const std::optional<std::u16string> ours = DecodeWellFormedUtf8(bytes, high);
    const std::optional<std::string> theirs = Converted("UTF-16LE", "UTF-8", bytes);
    ASSERT_EQ(ours.has_value(), theirs.has_value()) << ::testing::PrintToString(bytes);
    bool validatedHigh = false;
    ASSERT_EQ(IsWellFormedUtf8(bytes, validatedHigh), ours.has_value()) << ::testing::PrintToString(bytes);
    if (!ours) continue;
    ASSERT_EQ(validatedHigh, high) << ::testing::PrintToString(bytes);
    ++wellFormed;
    ASSERT_EQ(Utf16Length(bytes), ours->size()) << ::testing::PrintToString(bytes);
    ASSERT_EQ(Wide(*ours), *theirs) << ::testing::PrintToString(bytes);
    ASSERT_EQ(EncodeText(*ours, TextEncoding::Utf8), bytes);
  }
  EXPECT_GT(wellFormed, 2000);
}

}  // namespace
}  // namespace quillary
