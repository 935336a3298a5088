#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "convert/EncodingSink.h"
#include "convert/FindRep.h"
#include "convert/FindRepSteps.h"
#include "convert/LiteralEngine.h"
#include "convert/PageNames.h"
#include "convert/RecordPages.h"
#include "convert/SheetArrayCells.h"
#include "convert/ValueEscaping.h"
#include "platform/TextEncoding.h"
#include "support/SheetOf.h"

namespace quillary {
namespace {

using testing::SheetOf;

// Names chosen to collide: a duplicate, an empty name, one whose tag
// overlaps itself, one whose tag holds another's.
// clang-format off
const std::vector<std::u16string> kNames = {u"Title", u"Name",        u"Price", u"",
                                            u"Name",  u"a --><!-- a", u"a",     u"b<!-- a -->c"};
// clang-format on

std::u16string Tag(const std::u16string& name) { return u"<!-- " + name + u" -->"; }

// Fields of these names with `rows` records of made-up values.
template <typename MakeValue>
SheetArray NamedSheet(const std::vector<std::u16string>& names, int rows, MakeValue value) {
  std::vector<std::vector<std::u16string>> fields;
  for (const auto& name : names) {
    fields.push_back({name});
    for (int r = 0; r < rows; ++r) fields.back().push_back(value());
  }
  return SheetOf(fields);
}

class Generator {
 public:
  explicit Generator(unsigned seed) : random_(seed) {}

  SheetArray Sheet() {
    return NamedSheet(kNames, Below(5), [this] { return Value(); });
  }

  std::u16string Template() {
    // clang-format off
    static const std::vector<std::u16string> counts = {u"0",   u"1", u"2", u"3", u"-1",
                                                       u"2.5", u"",  u"x", u"1e0", u"\t2"};
    // clang-format on
    // clang-format off
    static const std::vector<std::u16string> pieces = {
        u"<!-- BeginRepeat 3-->", u"<!-- BeginRepeat ", u"<!-- EndRepeat -->", u" -->", u"-->",
        u"<!-- ", u"Name", u"<!-- Name --", u"<!-- a --", u"|", u"日本", u" ", u"\r\n",
        std::u16string(1, u'\0')};
    // clang-format on
    std::u16string text;
    for (int n = Below(14); n > 0; --n) {
      switch (Below(5)) {
        case 0: text += Tag(Pick(kNames)); break;
        case 1: text += u"<!-- BeginRepeat " + Pick(counts) + u" " + Pick(pieces) + u"-->"; break;
        case 2: text += kEndRepeat; break;
        case 3: text += Pick(pieces); break;
        default: text += Value();
      }
    }
    return text;
  }

  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

 private:
  std::u16string Value() {
    // clang-format off
    static const std::vector<std::u16string> pieces = {
        u"v", u"値", u"|", u"<BR>", u"<!-- Na", u"me -->", u"<!-- ", u" -->", u"<!-- a", u"-->",
        u">", u"->", u"<"};
    // clang-format on
    std::u16string value;
    for (int n = Below(4); n > 0; --n) value += Below(3) == 0 ? Tag(Pick(kNames)) : Pick(pieces);
    return value;
  }

  const std::u16string& Pick(const std::vector<std::u16string>& from) {
    return from[static_cast<std::size_t>(Below(static_cast<int>(from.size())))];
  }

  std::mt19937 random_;
};

TEST(EngineDifferential, MatchesTheLiteralAlgorithm) {
  for (unsigned seed = 1; seed <= 5; ++seed) {
    Generator generate(seed);
    for (int i = 0; i < 1000; ++i) {
      const SheetArray array = generate.Sheet();
      const std::u16string text = generate.Template();
      const int k = generate.Below(array.Fields() + 3);
      SCOPED_TRACE(::testing::Message() << "seed " << seed << " case " << i << " k " << k);

      ASSERT_EQ(ExpandTemplate(text, array, k), literal::ExpandTemplate(text, array, k));
    }
  }
}

// Sheets of many fields whose names overlap: most are distinct (suffixes
// of one another), some are short strings of the characters tags are made
// of, so names are prefixes of one another, repeat, hold "-->" or a "<!-- "
// of their own. Values bring tags of earlier and later fields, bare names
// and pieces that join into tags.
class ManyFields {
 public:
  ManyFields(unsigned seed, int fields, std::vector<std::u16string> given = {})
      : random_(seed), fields_(fields), given_(std::move(given)) {}

  SheetArray Sheet() {
    static const std::u16string alphabet[] = {u"a", u"b", u" ", u"-", u">", u"<", u"!", u" -->", u"<!-- "};
    names_ = given_;
    std::shuffle(names_.begin(), names_.end(), random_);
    for (int f = static_cast<int>(names_.size()); f < fields_; ++f) {
      std::u16string name(static_cast<std::size_t>(f / 10 % 7) + 1, u'x');
      name.append({u'f', static_cast<char16_t>(u'0' + f % 10)});
      if (Below(4) == 0)
        for (name.clear(); Below(3) != 0;) name += alphabet[Below(9)];
      names_.push_back(name);
    }
    return NamedSheet(names_, Below(4), [this] { return Value(); });
  }

  std::u16string Template() {
    static const std::u16string counts[] = {u"1", u"2", u"3", u"*", u"0", u"* all"};
    std::u16string text;
    for (int n = Below(30); n > 0; --n) {
      switch (Below(8)) {
        case 0: text += u"<!-- BeginRepeat " + counts[Below(6)] + u" -->"; break;
        case 1: text += kEndRepeat; break;
        case 2: text += Piece(); break;
        default: text += Tag(Name());
      }
    }
    return text;
  }

  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

 private:
  const std::u16string& Name() { return names_[static_cast<std::size_t>(Below(static_cast<int>(names_.size())))]; }
  std::u16string Piece() {
    static const std::u16string pieces[] = {u"v", u"<!-- ", u" -->", u"<!-", u"- ", u"--", u">", u"|", u"<"};
    return pieces[Below(9)];
  }
  std::u16string Value() {
    std::u16string value;
    for (int n = Below(5); n > 0; --n) {
      const int kind = Below(4);
      value += kind == 0 ? Tag(Name()) : kind == 1 ? Name() : Piece();
    }
    return value;
  }

  std::mt19937 random_;
  int fields_;
  std::vector<std::u16string> given_, names_;
};

TEST(EngineDifferential, ManyFieldsWithOverlappingNames) {
  // Tags that end where others go on, so two begin at one "<!-- ".
  const std::vector<std::u16string> onward = {u"a", u"a -->b", u"a -->b -->c", u"b", u"b -->", u"", u" -->"};
  const struct {
    const char* name;
    int fields, cases;
    std::vector<std::u16string> given;
  } rows[] = {
      {"a few", 12, 2000, {}},     {"tags going on past others", 9, 2000, onward}, {"hundreds", 300, 200, {}},
      {"thousands", 2000, 20, {}}, {"the most a sheet holds", 16383, 2, {}},
  };
  for (const auto& row : rows) {
    ManyFields generate(static_cast<unsigned>(row.fields), row.fields, row.given);
    for (int i = 0; i < row.cases; ++i) {
      const SheetArray array = generate.Sheet();
      const std::u16string text = generate.Template();
      SCOPED_TRACE(::testing::Message() << row.name << " case " << i);
      ASSERT_EQ(ExpandTemplate(text, array, row.fields), literal::ExpandTemplate(text, array, row.fields));
    }
  }
}

// Repeat blocks over many rows of plain names, as most pages are made:
// most repetitions are made by the block's plan, and the few values that
// could form a tag (a "<" or line-break marker, a tag or part of one at
// their ends), fields placed close together in either order, short rows
// and shared names make the rest take the sweep.
TEST(EngineDifferential, RepetitionsOfPlainNames) {
  std::mt19937 random(7);
  const auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
  // One name goes on from another's tag: a value after that tag may form
  // it in the text the earlier field's pass saw.
  const std::vector<std::u16string> names = {u"id", u"name", u"ab -->x", u"price", u"name", u"ab", u"a"};
  static const std::u16string oddities[] = {u"<",         u"|",     u"<!-- ",  u"<!-", u"<!-- a -->",
                                            u"<!-- name", u" -->",  u"<BR>",   u"->",  u"<!-- ab -->",
                                            u"x -->",     u"a -->", u"- a -->"};
  static const std::u16string joins[] = {u"",           u" ",     u"<td>", u"</td><td>", u"<!",
                                         u"<!-- x -->", u"<!-- ", u"-- ",  u"\r\n",      u"<p class=\"a\">"};
  static const std::u16string counts[] = {u"*", u"* 全件", u"3", u"40", u"0"};
  for (int i = 0; i < 3000; ++i) {
    const int rows = below(30);
    const SheetArray array = NamedSheet(names, rows, [&] {
      std::u16string value(static_cast<std::size_t>(below(4)) + 1, u'v');
      value[0] = u'値';
      if (below(40) != 0) return value;
      const auto at = static_cast<std::size_t>(below(static_cast<int>(value.size()) + 1));
      return value.substr(0, at) + oddities[below(13)] + value.substr(at);
    });
    std::u16string text = u"<table>";
    for (int blocks = below(3) + 1; blocks > 0; --blocks) {
      text += u"<!-- BeginRepeat " + counts[below(5)] + u" -->";
      for (int n = below(6) + 1; n > 0; --n) text += joins[below(10)] + Tag(names[static_cast<std::size_t>(below(7))]);
      text += joins[below(10)] + std::u16string(kEndRepeat) + joins[below(10)];
    }
    const int k = below(8);
    SCOPED_TRACE(::testing::Message() << "case " << i << " k " << k);
    ASSERT_EQ(ExpandTemplate(text, array, k), literal::ExpandTemplate(text, array, k));
  }
}

// Repetitions whose making the block's plan must leave to the sweep.
TEST(EngineDifferential, RepetitionsLeftToTheSweep) {
  const std::vector<std::u16string> names = {u"id", u"name", u"ab -->x", u"ab", u"a"};
  const struct {
    const char* name;
    std::u16string text, nameValue;
  } rows[] = {
      {"a value goes on from a tag begun before it", u"<!-- BeginRepeat * --><!-<!-- name --><!-- EndRepeat -->",
       u"- a -->"},
      {"a later field's tag stands right before a value",
       u"<!-- BeginRepeat * --><!-- ab --><!-- name --><!-- EndRepeat -->", u"x -->"},
      {"a value holds a later field's tag", u"<!-- BeginRepeat * -->[<!-- name -->]<!-- a --><!-- EndRepeat -->",
       u"<!-- a -->"},
      {"a value ends with the start of a tag", u"<!-- BeginRepeat * --><!-- name -->- a --><!-- EndRepeat -->", u"<!-"},
      {"a line-break marker", u"<!-- BeginRepeat * -->(<!-- name -->)<!-- EndRepeat -->", u"a|b"},
      {"a field runs out before the others",
       u"<!-- BeginRepeat 2 --><!-- id --><!-- EndRepeat --><!-- BeginRepeat * --><!-- id -->,<!-- name -->;"
       u"<!-- EndRepeat -->",
       u"n"},
  };
  for (const auto& row : rows) {
    // The name field's second and fifth records hold the value the row is about.
    int record = 0;
    const SheetArray array = NamedSheet(names, 6, [&] {
      const int r = record++;
      return r / 6 == 1 && r % 6 % 3 == 1 ? row.nameValue : std::u16string{u'v', static_cast<char16_t>(u'0' + r)};
    });
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ExpandTemplate(row.text, array, 5), literal::ExpandTemplate(row.text, array, 5));
  }
}

// Openings left unclosed, nested or cut short, names that hold " -->" or
// "<!-- ", many placeholders in a row whose values are mostly empty, and a
// name many fields share: each row draws its templates from its own pieces
// and its values from its own, so that what it is about comes up often.
TEST(EngineDifferential, UnclosedNestedAndPartialOpenings) {
  const std::vector<std::u16string> plain = {u"f0", u"f1", u"f2", u"f3"};
  const struct {
    const char* name;
    std::vector<std::u16string> names, pieces, values;
  } rows[] = {
      {"unclosed openings",
       plain,
       {u"<!-- ", u"<!--", u"<!-", u"<", u"<!-- f1", u"<!-- f0 -", u" --", u"x"},
       {u"", u"v", u"<!-- ", u" -->", u"f2 -->"}},
      {"unclosed repeat comments",
       plain,
       {u"<!-- BeginRepeat ", u"<!-- BeginRepeat 2", u"<!-- BeginRepeat 2 ", u"<!-- BeginRepeat * -->", u"-->",
        u"<!-- EndRepeat --", u"<!-- EndRepeat -->", u" ", u"<!-- "},
       {u"", u"v", u"<!-- BeginRepeat 1 -->", u"<!-- EndRepeat -->"}},
      {"nested openings",
       plain,
       {u"<!-- <!-- ", u"<!-- ", u" -->", u" --> -->", u"<!-- x <!-- f2 -->"},
       {u"", u"<!-- f1", u" --> -->", u"<!-- f3 -->", u"f0"}},
      {"names holding \" -->\"",
       {u"a -->", u"a --> b", u"a", u"b -->", u" -->"},
       {u"<!-- ", u"<!-- a", u" -->", u" b", u"b", u" --> -->", u"<!-- a -->"},
       {u"", u"a", u" -->", u"<!-- b", u"<!-- a --> b -->"}},
      {"names holding \"<!-- \"",
       {u"<!-- a", u"x<!-- ", u"a", u"<!-- "},
       {u"<!-- ", u"<!-- <!-- ", u"a", u"x", u" -->", u"<!-- a -->"},
       {u"", u"<!-- ", u"a -->", u"x"}},
      {"runs of empty values",
       {u"f0", u"f1", u"f2", u"f3", u"f4", u"f5"},
       {u"<!-- ", u"<!", u"<!-- BeginRepeat 3 -->", u"<!-- EndRepeat -->", u"-- f1 -->", u"<!-- f5 -->"},
       {u"", u"", u"", u"<!-- ", u"f1 -->", u"<", u"v"}},
      // A later field's tag, unfilled when the first field's pass joins
      // it to a value across empty ones, forms the tag of a field between.
      {"a later field's tag before empty values",
       {u"a", u"b --> c", u"b", u"d"},
       {u"<!-- ", u" c -->", u"x"},
       {u"", u"", u" c -->", u"c"}},
      {"a name many fields share",
       {u"x", u"x", u"y", u"x", u"y", u"x"},
       {u"<!-- BeginRepeat * -->", u"<!-- BeginRepeat 2 -->", u"<!-- EndRepeat -->", u"<!-- ", u"z"},
       {u"", u"v", u"<!-- y -->", u"<!-- x"}},
  };
  std::mt19937 random(11);
  const auto below = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
  for (const auto& row : rows) {
    const auto fields = static_cast<int>(row.names.size());
    for (int i = 0; i < 1500; ++i) {
      const SheetArray array = NamedSheet(row.names, static_cast<int>(below(7)), [&] {
        std::u16string value;
        for (std::size_t n = below(3); n > 0; --n) value += row.values[below(row.values.size())];
        return value;
      });
      std::u16string text;
      for (std::size_t n = below(40); n > 0; --n)
        text += below(2) == 0 ? Tag(row.names[below(row.names.size())]) : row.pieces[below(row.pieces.size())];
      const int k = static_cast<int>(below(static_cast<std::size_t>(fields) + 2));
      SCOPED_TRACE(::testing::Message() << row.name << " case " << i << " k " << k);
      ASSERT_EQ(ExpandTemplate(text, array, k), literal::ExpandTemplate(text, array, k));
    }
  }
}

TEST(EngineDifferential, LongValuesThatHoldTheirOwnTag) {
  // Every value brings the next tag: the inserted text outgrows any room
  // kept in front of the text still to scan.
  std::vector<std::u16string> field = {u"N"};
  std::u16string left, right;
  for (int r = 1; r <= 40; ++r) {
    const std::u16string run(static_cast<std::size_t>(r * 37), static_cast<char16_t>(u'a' + r % 26));
    field.push_back(run + u"<!-- N -->" + run);
    left += run;
    right = run + right;
  }
  const SheetArray array = SheetOf({field});
  const std::u16string text = u"<<!-- N -->>";
  EXPECT_EQ(ExpandTemplate(text, array, 1), literal::ExpandTemplate(text, array, 1));
  // Rows run out with the last value's tag still in place.
  EXPECT_EQ(ExpandTemplate(text, array, 1), u"<" + left + u"<!-- N -->" + right + u">");
}

// The generated cases made to reach what pages per record add: templates
// that opt in to escaping (once or twice, inside blocks or not), sheets with
// a field named EscapeValues, values holding what escaping writes and what
// file names refuse.
class PageCases {
 public:
  explicit PageCases(unsigned seed) : generate_(seed) {}

  SheetArray Sheet() {
    SheetArray array = generate_.Sheet();
    if (Below(4) == 0) array.Set(Below(array.Fields()), 0, std::u16string(kEscapeValuesName));
    static const std::u16string extras[] = {u"&",  u"\"", u"'", u"&amp;",  u"/", u"\\",       u"\x01",
                                            u"..", u".",  u"😀", u"\xD800", u"ｱ", u"長い名前", u"\x7F"};
    for (int r = 1; r < array.Rows(); ++r)
      for (int f = 0; f < array.Fields(); ++f)
        if (Below(2) == 0) array.Set(f, r, std::u16string(array.Text(f, r)) + extras[Below(14)]);
    return array;
  }

  std::u16string Template() {
    std::u16string text = generate_.Template();
    for (int n = Below(3); n > 0; --n)
      text.insert(static_cast<std::size_t>(Below(static_cast<int>(text.size()) + 1)), kEscapeValuesComment);
    return text;
  }

  int Below(int n) { return generate_.Below(n); }

 private:
  Generator generate_;
};

TEST(EngineDifferential, EscapingPagesAndNamesMatchTheLiteralAlgorithm) {
  for (unsigned seed = 1; seed <= 3; ++seed) {
    PageCases generate(seed);
    for (int i = 0; i < 600; ++i) {
      const SheetArray array = generate.Sheet();
      const SheetArrayCells cells(array);
      const std::u16string text = generate.Template(), pattern = generate.Template();
      const int k = generate.Below(array.Fields() + 3);
      SCOPED_TRACE(::testing::Message() << "seed " << seed << " case " << i << " k " << k);

      ASSERT_EQ(ExpandTemplate(text, array, k), literal::ConvertTemplate(text, array, k));
      for (int record = 1; record < array.Rows(); ++record) {
        std::u16string page;
        StringSink sink(page);
        ExpandRecordPage(text, cells, k, record, sink);
        ASSERT_EQ(page, literal::RecordPage(text, array, k, record)) << "record " << record;
        for (const std::size_t longest : {kLongestFileName, std::size_t{13}, std::size_t{4}})
          ASSERT_EQ(SafeFileName(ExpandPageName(pattern, cells, k, record), longest),
                    literal::PageName(pattern, array, k, record, longest))
              << "record " << record << " longest " << longest;
      }
    }
  }
}

// Text in pieces as a CP932 HTML page receives it, characters the code
// page lacks (a pair's halves possibly in two pieces) among those it has.
TEST(EngineDifferential, ReferencesMatchTheLiteralAlgorithm) {
  std::mt19937 random(11);
  const auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
  static const std::u16string pieces[] = {u"a", u"日本", u"～",   u"☃",      u"😀",      u"𠮷",
                                          u"é", u"&",    u"\r\n", u"\xD83D", u"\xDE00", u"ｱ"};
  for (int i = 0; i < 3000; ++i) {
    std::u16string text;
    for (int n = below(12); n > 0; --n) text += pieces[below(i % 3 == 0 ? 12 : 9)];
    SCOPED_TRACE(::testing::Message() << "case " << i);
    std::string expected;
    std::size_t count = 0;
    bool refused = false;
    try {
      expected = EncodeText(literal::WithReferences(text, count), TextEncoding::Cp932);
    } catch (const UnencodableCharError&) {
      refused = true;
    }
    std::string bytes;
    EncodingSink sink(
        TextEncoding::Cp932, [&](std::string_view piece) { bytes.append(piece); }, true);
    try {
      for (std::size_t at = 0; at < text.size();) {
        const std::size_t size = static_cast<std::size_t>(below(4));
        sink.Append(std::u16string_view(text).substr(at, size));
        at += size;
      }
      sink.Finish();
      ASSERT_FALSE(refused) << "no refusal";
      ASSERT_EQ(bytes, expected);
      ASSERT_EQ(sink.References(), count);
    } catch (const UnencodableCharError&) {
      ASSERT_TRUE(refused) << "refused";
    }
  }
}

}  // namespace
}  // namespace quillary
