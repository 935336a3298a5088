#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/UnitSearch.h"

namespace quillary {
namespace {

// The unit at every place of texts of every length up to a few steps, among units
// that share a byte with it, searched from every start.
TEST(UnitSearch, FindsWhatAPlainSearchFinds) {
  const char16_t neighbours[] = {u'a', 0x013C, 0x3C00, u'=', u';', 0xFF3C, 0x0000};
  for (std::size_t length = 0; length <= 40; ++length) {
    for (std::size_t at = 0; at <= length; ++at) {
      std::u16string text(length, u'.');
      for (std::size_t i = 0; i < length; ++i) text[i] = neighbours[(i * 5 + length) % std::size(neighbours)];
      if (at < length) text[at] = u'<';
      for (std::size_t from = 0; from <= length + 1; ++from) {
        const auto plain = text.find(u'<', from);
        ASSERT_EQ(FindUnit(text, u'<', from), plain) << length << " " << at << " " << from;
      }
      const bool holds = text.find_first_of(u"<|") != std::u16string::npos;
      ASSERT_EQ(HoldsEitherUnit(text, u'<', u'|'), holds) << length << " " << at;
      ASSERT_EQ(HoldsEitherUnit(text, u'|', u'<'), holds) << length << " " << at;
    }
  }
  EXPECT_EQ(FindUnit(std::u16string_view(u"ab\0c", 4), u'\0'), 2u);
  EXPECT_TRUE(HoldsEitherUnit(u"abcdefg|", u'<', u'|'));
}

}  // namespace
}  // namespace quillary
