#include <algorithm>
#include <climits>

#include "convert/FindRep.h"

// The repeat count is read the way a classic numeric conversion reads the
// start of a text: blanks, sign, digits, fraction, exponent, then it stops.
// The value is kept exact as digits and a power of ten, so halves round
// exactly and huge exponents cannot overflow.

namespace quillary {

namespace {

constexpr auto npos = std::u16string_view::npos;

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

std::u16string_view DigitRun(std::u16string_view text, std::size_t& i) {
  const std::size_t begin = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  return text.substr(begin, i - begin);
}

// The exponent's value, saturated far beyond anything that still matters.
long long ReadExponent(std::u16string_view text, std::size_t i) {
  if (i >= text.size()) return 0;
  const char16_t marker = text[i];
  if (marker != u'E' && marker != u'e' && marker != u'D' && marker != u'd') return 0;
  ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  long long exponent = 0;
  for (const char16_t c : DigitRun(text, i)) exponent = std::min(exponent * 10 + (c - u'0'), 1000000000LL);
  return negative ? -exponent : exponent;
}

// Beyond what an int counts: every count this large is clamped alike.
constexpr long long kBeyondInt = 10000000000LL;

// digits x 10^scale (digits without leading zeros) rounded half to even;
// magnitudes of kBeyondInt and more give kBeyondInt.
long long RoundHalfEven(std::u16string_view digits, long long scale) {
  const long long intLength = static_cast<long long>(digits.size()) + scale;
  if (intLength > 10) return kBeyondInt;
  long long whole = 0;
  for (long long i = 0; i < intLength; ++i)
    whole = whole * 10 + (i < static_cast<long long>(digits.size()) ? digits[i] - u'0' : 0);
  if (intLength < 0 || intLength >= static_cast<long long>(digits.size())) return whole;
  const std::u16string_view fraction = digits.substr(static_cast<std::size_t>(intLength));
  const bool aboveHalf = fraction[0] > u'5' || (fraction[0] == u'5' && fraction.find_first_not_of(u'0', 1) != npos);
  const bool half = fraction[0] == u'5' && !aboveHalf;
  return whole + ((aboveHalf || (half && whole % 2 == 1)) ? 1 : 0);
}

}  // namespace

int ReadRepeatCount(std::u16string_view countText) {
  std::size_t i = 0;
  while (i < countText.size() && IsBlank(countText[i])) ++i;
  bool negative = false;
  if (i < countText.size() && (countText[i] == u'+' || countText[i] == u'-')) negative = countText[i++] == u'-';
  const std::u16string_view whole = DigitRun(countText, i);
  std::u16string_view fraction;
  if (i + 1 < countText.size() && countText[i] == u'.' && IsDigit(countText[i + 1])) {
    ++i;
    fraction = DigitRun(countText, i);
  } else if (!whole.empty() && i < countText.size() && countText[i] == u'.') {
    ++i;
  }
  if (whole.empty() && fraction.empty()) return 0;

  std::u16string digits(whole);
  digits.append(fraction);
  const std::size_t significant = digits.find_first_not_of(u'0');
  if (significant == npos) return 0;
  const long long scale = ReadExponent(countText, i) - static_cast<long long>(fraction.size());
  const long long magnitude = RoundHalfEven(std::u16string_view(digits).substr(significant), scale);
  // Sheets hold more records than 16 bits count: a count repeats as often as
  // it says, as far as an int goes (the output's cap stops it long before).
  return static_cast<int>(
      std::clamp(negative ? -magnitude : magnitude, static_cast<long long>(INT_MIN), static_cast<long long>(INT_MAX)));
}

}  // namespace quillary
