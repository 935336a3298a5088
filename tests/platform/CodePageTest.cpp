#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "support/SystemConverter.h"

namespace quillary {
namespace {

// The code page's tables against the system's converter; its refusals and
// bad bytes are in the text encoding tables, and its runs of ASCII among
// other characters in the core fuzzer's save and reopen in CP932.

using testing::Converted;
using testing::Wide;

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

}  // namespace
}  // namespace quillary
