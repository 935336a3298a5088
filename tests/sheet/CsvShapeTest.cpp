#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <utility>

#include "sheet/CsvShape.h"

namespace quillary {
namespace {

auto Counts(const CsvShape& s) { return std::tuple(s.bytes, s.separators, s.widestLine, s.headerNames); }

// Texts of separators, line ends, empty names and quotes (not followed: a
// quoted comma counts), added in pieces of any size: the counts of their
// bytes read one by one.
TEST(CsvShape, CountsSeparatorsTheWidestLineAndTheNamedHeaderFields) {
  std::mt19937 random(3);
  const auto below = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
  const std::string_view pieces[] = {"a", ",", ",", "\r\n", "\n", "\"", "xyz", ",,,,,,,,,,,,,,,,,", "\n\n\n"};
  for (int i = 0; i < 300; ++i) {
    std::string text;
    for (std::size_t n = below(300); n > 0; --n) text += pieces[below(std::size(pieces))];
    CsvShape expected;
    expected.bytes = text.size();
    bool named = false;
    for (const char c : std::string_view(text).substr(0, text.find('\n'))) {
      if (c == ',') expected.headerNames += std::exchange(named, false) ? 1 : 0;
      named |= c != ',' && c != '\r';
    }
    expected.headerNames += named ? 1 : 0;
    std::uint64_t commas = 0;
    for (std::size_t at = 0; at <= text.size(); ++at) {
      if (at < text.size() && text[at] == ',') ++commas;
      if (at < text.size() && text[at] != '\n') continue;
      expected.separators += commas + (at < text.size() ? 1 : 0);
      expected.widestLine = std::max(expected.widestLine, commas + 1);
      commas = 0;
    }
    CsvShapeCounter counter;
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t size = std::min(text.size() - at, below(2) == 0 ? below(3) : below(40));
      counter.Add(std::string_view(text).substr(at, size));
      at += size;
    }
    EXPECT_EQ(Counts(counter.Shape()), Counts(expected)) << "case " << i;
  }
}

}  // namespace
}  // namespace quillary
