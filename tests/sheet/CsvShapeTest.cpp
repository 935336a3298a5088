#include <gtest/gtest.h>

#include <tuple>

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

}  // namespace
}  // namespace quillary
