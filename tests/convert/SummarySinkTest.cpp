#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "convert/SheetArrayCells.h"
#include "convert/SummarySink.h"
#include "support/SheetOf.h"

namespace quillary {
namespace {

void Add(NameCounts& counts, std::u16string_view name) {
  const auto entry = std::find_if(counts.begin(), counts.end(), [&](const auto& e) { return e.first == name; });
  if (entry == counts.end())
    counts.emplace_back(name, 1);
  else
    ++entry->second;
}

// The counting done the slow way over the whole output: at each "<!-- ",
// every field tag there, shortest first; else the comment up to the first
// " -->", unless its name holds a "<!-- ", is a repeat comment or too long.
ConversionSummary CountedSlowly(std::u16string_view text, const std::vector<std::u16string>& names) {
  ConversionSummary summary;
  std::vector<std::u16string> tags;
  for (const auto& name : names)
    if (std::find(tags.begin(), tags.end(), name) == tags.end()) tags.push_back(name);
  std::sort(tags.begin(), tags.end(), [](const auto& a, const auto& b) { return a.size() < b.size(); });
  for (std::size_t at = text.find(u"<!-- "); at != std::u16string_view::npos; at = text.find(u"<!-- ", at + 1)) {
    bool field = false;
    for (const auto& name : tags)
      if (text.substr(at).starts_with(u"<!-- " + name + u" -->")) {
        Add(summary.unfilled, name);
        field = true;
      }
    const std::size_t close = text.find(u" -->", at + 5);
    if (field || close == std::u16string_view::npos) continue;
    const std::u16string_view name = text.substr(at + 5, close - at - 5);
    if (name.find(u"<!-- ") == std::u16string_view::npos && !name.starts_with(u"BeginRepeat ") &&
        name != u"EndRepeat" && name.size() <= kLongestListedName)
      Add(summary.unknown, name);
  }
  return summary;
}

// However the output arrives in pieces, the counts are those of the whole:
// comments cut across pieces, left open, nested, names holding " -->",
// names at the longest listed length and one past it.
TEST(SummarySink, CountsTheSameHoweverTheOutputIsCut) {
  const std::vector<std::u16string> names = {u"a",         u"a -->", u"a --> b", u"a --> bcd",
                                             u"a --> bcx", u"Name",  u"Name",    u""};
  const std::u16string longest(kLongestListedName, u'n');
  const std::u16string pieces[] = {u"<!-- ",
                                   u" -->",
                                   u"<!--",
                                   u"<!-- a -->",
                                   u" b",
                                   u"<!-- a --> bcd -->",
                                   u"<!-- Name -->",
                                   u"Name",
                                   u" ",
                                   u"<!-- BeginRepeat 2 -->",
                                   u"<!-- EndRepeat -->",
                                   longest,
                                   longest + u"n"};
  std::mt19937 random(5);
  const auto below = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
  std::vector<std::vector<std::u16string>> fields;  // names only: the counting reads nothing else
  for (const auto& name : names) fields.push_back({name});
  const SheetArray array = testing::SheetOf(fields);
  const SheetArrayCells cells(array);
  const FieldTags tags(cells, static_cast<int>(names.size()));
  for (int i = 0; i < 3000; ++i) {
    std::u16string text;
    for (std::size_t n = below(30); n > 0; --n) text += pieces[below(std::size(pieces))];
    ConversionSummary summary;
    std::u16string passed;
    StringSink next(passed);
    SummarySink sink(next, tags, summary);
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t size = std::min(text.size() - at, below(2) == 0 ? below(4) : below(2000));
      sink.Append(std::u16string_view(text).substr(at, size));
      at += size;
    }
    sink.Finish();
    const ConversionSummary expected = CountedSlowly(text, names);
    SCOPED_TRACE(::testing::Message() << "case " << i);
    ASSERT_EQ(passed, text);
    ASSERT_EQ(summary.unfilled, expected.unfilled);
    ASSERT_EQ(summary.unknown, expected.unknown);
  }
}

}  // namespace
}  // namespace quillary
