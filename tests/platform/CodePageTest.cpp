#include <gtest/gtest.h>

#include <random>

#include "platform/CodePage.h"
#include "platform/Errors.h"

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
  EXPECT_EQ(failure(u"\xD800z"), std::make_pair(std::size_t{0}, char32_t{0xD800}));
  // The JIS forms of the wave dash and minus sign are written.
  EXPECT_EQ(EncodeCodePage(u"〜−"), "\x81\x60\x81\x7c");
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
