#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <utility>

#include "sheet/CsvShape.h"

namespace quillary {
namespace {

auto Counts(const CsvShape& s) { return std::tuple(s.bytes, s.separators, s.widestLine, s.headerNames); }

// Whole, and a byte at a time: the same counts.
TEST(CsvShape, CountsSeparatorsTheWidestLineAndTheNamedHeaderFields) {
  const struct {
    const char* name;
    std::string_view text;
    std::uint64_t separators, widestLine, headerNames;
  } rows[] = {
      {"records", "a,b,c\r\n1,2,3\r\n", 6, 3, 3},
      {"empty names and a wider record", ",x,\r\n1,2,3,4\r\n5\r\n", 8, 4, 1},
      {"no line feed at the end", "a,b\r\n1,2,3", 4, 3, 2},
      {"a name line alone", "a,,b", 2, 3, 2},
      {"quotes not followed: a quoted comma counts", "\"a,b\",c\n\"1\n2\",3\n", 6, 3, 3},
      {"empty", "", 0, 1, 0},
  };
  for (const auto& row : rows) {
    CsvShapeCounter whole, bytewise;
    whole.Add(row.text);
    for (const char c : row.text) bytewise.Add(std::string_view(&c, 1));
    const auto expected = std::tuple(std::uint64_t{row.text.size()}, row.separators, row.widestLine, row.headerNames);
    EXPECT_EQ(Counts(whole.Shape()), expected) << row.name;
    EXPECT_EQ(Counts(bytewise.Shape()), expected) << row.name << ", a byte at a time";
  }
}

// Long texts, read sixteen bytes at a time: the same counts as byte by byte.
TEST(CsvShape, LongTextsCountAsTheirBytesDo) {
  std::mt19937 random(3);
  const std::string_view pieces[] = {"a", ",", ",", "\r\n", "\n", "xyz", ",,,,,,,,,,,,,,,,,", "\n\n\n"};
  for (int i = 0; i < 200; ++i) {
    std::string text = "h,";
    for (int n = std::uniform_int_distribution<int>(0, 300)(random); n > 0; --n)
      text += pieces[std::uniform_int_distribution<std::size_t>(0, std::size(pieces) - 1)(random)];
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
    counter.Add(text);
    EXPECT_EQ(Counts(counter.Shape()), Counts(expected)) << "case " << i;
  }
}

}  // namespace
}  // namespace quillary
