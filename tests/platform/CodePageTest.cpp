#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "support/SystemConverter.h"

namespace quillary {
namespace {

TEST(CodePage, DecodesAndEncodesJapaneseText) {
  // 日本 in the code page, with the backslash and tilde kept as they are.
  const std::string bytes = "\x93\xfa\x96\x7b\\~\xb6\xc5";
  EXPECT_EQ(DecodeCodePage(bytes), u"日本\\~ｶﾅ");
  EXPECT_EQ(EncodeCodePage(u"日本\\~ｶﾅ"), bytes);
  EXPECT_EQ(DecodeCodePage(""), u"");
  EXPECT_EQ(EncodeCodePage(u""), "");
}

TEST(CodePage, EveryBadByteBecomesOneReplacement) {
  EXPECT_EQ(DecodeCodePage("a\x80" "b\xff"), u"a\uFFFDb\uFFFD");
  // A lead byte cut off at the end is not dropped.
  EXPECT_EQ(DecodeCodePage("ab\x93"), u"ab\uFFFD");
  EXPECT_EQ(DecodeCodePage("\x93\xfa\x93"), u"日\uFFFD");
}

TEST(CodePage, ReportsTheFirstCharacterItCannotExpress) {
  const auto failure = [](std::u16string_view text) -> std::pair<std::size_t, char32_t> {
    try {
      EncodeCodePage(text);
    } catch (const UnencodableCharError& error) {
      return {error.position(), error.character()};
    }
    return {0, 0};
  };
  EXPECT_EQ(failure(u"ab☃c☃"), std::make_pair(std::size_t{2}, char32_t{U'☃'}));
  EXPECT_EQ(failure(u"x😀"), std::make_pair(std::size_t{1}, char32_t{U'😀'}));
  // Signs the table would turn into a backslash or tilde are refused.
  EXPECT_EQ(failure(u"100¥"), std::make_pair(std::size_t{3}, char32_t{U'¥'}));
  EXPECT_EQ(failure(u"‾"), std::make_pair(std::size_t{0}, char32_t{U'‾'}));
  // Whichever kind of refusal comes first in the text is the one reported.
  EXPECT_EQ(failure(u"a😀¥"), std::make_pair(std::size_t{1}, char32_t{U'😀'}));
  EXPECT_EQ(failure(u"a¥😀"), std::make_pair(std::size_t{1}, char32_t{U'¥'}));
  EXPECT_EQ(failure(u"\xD800z"), std::make_pair(std::size_t{0}, char32_t{0xD800}));
  // The JIS forms of the wave dash and minus sign are written.
  EXPECT_EQ(EncodeCodePage(u"〜−"), "\x81\x60\x81\x7c");
}

using testing::Converted;
using testing::Wide;

TEST(CodePage, RunsOfAsciiAmongOtherCharactersAgreeWithTheConverter) {
  // Every ASCII unit in runs long and short, next to two-byte characters
  // and at every offset from the start.
  std::u16string ascii;
  for (char16_t c = 0; c < 0x80; ++c) ascii.push_back(c);
  for (std::size_t lead = 0; lead < 5; ++lead) {
    const std::u16string text = std::u16string(lead, u'日') + ascii + u"本ab" + ascii.substr(3, 7) + u"ｶ";
    ASSERT_EQ(EncodeCodePage(text), Converted("CP932", "UTF-16LE", Wide(text))) << lead;
  }
  // A refusal after a run still reports its place in the whole text.
  try {
    EncodeCodePage(u"abcdefgh☃");
    ADD_FAILURE();
  } catch (const UnencodableCharError& error) {
    EXPECT_EQ(error.position(), 8u);
  }
}

TEST(CodePage, AgreesWithTheConverterOnEveryCharacterAndBytePair) {
  for (char32_t c = 0; c < 0x10000; ++c) {
    if (c >= 0xD800 && c < 0xE000) continue;
    const std::u16string text(1, static_cast<char16_t>(c));
    const auto expected = c == U'¥' || c == U'‾' ? std::nullopt : Converted("CP932", "UTF-16LE", Wide(text));
    std::optional<std::string> actual;
    try {
      actual = EncodeCodePage(text);
    } catch (const UnencodableCharError&) {
    }
    ASSERT_EQ(actual, expected) << "U+" << std::hex << static_cast<unsigned>(c);
  }
  for (int first = 0; first < 256; ++first) {
    const std::string single(1, static_cast<char>(first));
    if (const auto wide = Converted("UTF-16LE", "CP932", single)) {
      ASSERT_EQ(Wide(DecodeCodePage(single)), *wide) << first;
      continue;
    }
    for (int second = 0; second < 256; ++second) {
      const std::string pair{static_cast<char>(first), static_cast<char>(second)};
      // A pair the converter refuses is a replacement and the second byte
      // read on its own.
      const std::u16string decoded = DecodeCodePage(pair);
      if (const auto wide = Converted("UTF-16LE", "CP932", pair)) {
        ASSERT_EQ(Wide(decoded), *wide) << first << " " << second;
      } else {
        std::u16string expected(1, u'\uFFFD');
        expected += DecodeCodePage(pair.substr(1));
        ASSERT_EQ(decoded, expected) << first << " " << second;
      }
    }
  }
}

TEST(CodePage, RandomTextRoundTrips) {
  const std::u16string alphabet = u"abcXYZ019 ,\"|\r\n\t\\~日本語漢字ひらがなカタカナｶﾀｶﾅ①Ⅷ髙﨑～";
  std::mt19937 random(7);
  for (int round = 0; round < 2000; ++round) {
    std::u16string text;
    const int length = static_cast<int>(random() % 40);
    for (int i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    ASSERT_EQ(DecodeCodePage(EncodeCodePage(text)), text);
  }
}

}  // namespace
}  // namespace quillary
