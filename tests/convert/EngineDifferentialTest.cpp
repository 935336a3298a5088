#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "convert/FindRep.h"
#include "convert/FindRepSteps.h"
#include "convert/LiteralEngine.h"
#include "support/SheetOf.h"

namespace quillary {
namespace {

using testing::SheetOf;
using Texts = std::vector<std::u16string>;

std::u16string Tag(const std::u16string& name) { return u"<!-- " + name + u" -->"; }

// What one row of generated cases is about: the fields' names, the pieces
// its templates are made of besides the fields' tags, and those its values
// are made of.
struct Feature {
  const char* name;
  Texts names, pieces, values;
  int cases;
  bool tagsInValues = true;  // values also bring the fields' tags
};

class Cases {
 public:
  Cases(unsigned seed, const Feature& feature) : random_(seed), feature_(feature) {}

  SheetArray Sheet() {
    std::vector<Texts> fields;
    for (const auto& name : feature_.names) {
      fields.push_back({name});
      for (int r = Below(8); r > 0; --r) fields.back().push_back(Value());
    }
    return SheetOf(fields);
  }

  std::u16string Template() {
    std::u16string text;
    for (int n = Below(30); n > 0; --n) text += Below(2) == 0 ? Tag(Pick(feature_.names)) : Pick(feature_.pieces);
    return text;
  }

  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

 private:
  std::u16string Value() {
    std::u16string value;
    for (int n = Below(3); n > 0; --n)
      value += feature_.tagsInValues && Below(4) == 0 ? Tag(Pick(feature_.names)) : Pick(feature_.values);
    return value;
  }
  const std::u16string& Pick(const Texts& from) {
    return from[static_cast<std::size_t>(Below(static_cast<int>(from.size())))];
  }

  std::mt19937 random_;
  const Feature& feature_;
};

// Names of many fields: most distinct suffixes of one another, some short
// strings of the characters tags are made of, so that names are prefixes of
// one another, repeat, hold "-->" or a "<!-- " of their own.
Texts ManyNames(int fields) {
  static const std::u16string alphabet[] = {u"a", u"b", u" ", u"-", u">", u"<", u"!", u" -->", u"<!-- "};
  std::mt19937 random(static_cast<unsigned>(fields));
  Texts names;
  for (int f = 0; f < fields; ++f) {
    std::u16string name(static_cast<std::size_t>(f / 10 % 7) + 1, u'x');
    name.append({u'f', static_cast<char16_t>(u'0' + f % 10)});
    if (random() % 4 == 0)
      for (name.clear(); random() % 3 != 0;) name += alphabet[random() % 9];
    names.push_back(name);
  }
  return names;
}

// Each row draws its templates and values from its own pieces, so that
// what it is about comes up often.
TEST(EngineDifferential, MatchesTheLiteralAlgorithm) {
  const Feature features[] = {
      // A duplicate, an empty name, one whose tag overlaps itself, one whose
      // tag holds another's; malformed and odd repeat comments.
      {"names that collide",
       {u"Title", u"Name", u"Price", u"", u"Name", u"a --><!-- a", u"a", u"b<!-- a -->c"},
       {u"<!-- BeginRepeat 3-->", u"<!-- BeginRepeat ", u"<!-- BeginRepeat 2 -->", u"<!-- BeginRepeat -1 x-->",
        u"<!-- BeginRepeat 2.5 <!-- -->", u"<!-- EndRepeat -->", u" -->", u"<!-- ", u"日本", u"\r\n",
        std::u16string(1, u'\0')},
       {u"v", u"値", u"|", u"<BR>", u"<!-- Na", u"me -->", u"<!-- ", u" -->", u"<!-- a", u"-->", u">", u"->"},
       5000},
      {"hundreds of fields",
       ManyNames(300),
       {u"<!-- BeginRepeat * -->", u"<!-- BeginRepeat 2 -->", u"<!-- EndRepeat -->", u"x"},
       {u"v", u"<!-- ", u" -->", u"<"},
       300},
      // Values that leave a repetition to the sweep: one going on from a tag
      // begun before it, or ending with the start of one, a later field's
      // tag right before a value or inside it, a line-break marker.
      {"repetitions left to the sweep",
       {u"id", u"name", u"ab -->x", u"ab", u"a"},
       {u"<!-- BeginRepeat * -->", u"<!-- BeginRepeat 2 -->", u"<!-- EndRepeat -->", u"<!-", u"- a -->", u"["},
       {u"v", u"v", u"v", u"v", u"- a -->", u"x -->", u"<!-- a -->", u"<!-", u"a|b"},
       3000,
       false},
  };
  for (const Feature& feature : features) {
    Cases generate(11, feature);
    for (int i = 0; i < feature.cases; ++i) {
      const SheetArray array = generate.Sheet();
      const std::u16string text = generate.Template();
      const int k = generate.Below(4) == 0 ? generate.Below(array.Fields() + 3) - 1 : array.Fields();
      SCOPED_TRACE(::testing::Message() << feature.name << " case " << i << " k " << k);
      ASSERT_EQ(ExpandTemplate(text, array, k), literal::ExpandTemplate(text, array, k));
    }
  }
}

TEST(EngineDifferential, LongValuesThatHoldTheirOwnTag) {
  // Every value brings the next tag: the inserted text outgrows any room
  // kept in front of the text still to scan.
  Texts field = {u"N"};
  std::u16string left, right;
  for (int r = 1; r <= 40; ++r) {
    const std::u16string run(static_cast<std::size_t>(r * 37), static_cast<char16_t>(u'a' + r % 26));
    field.push_back(run + u"<!-- N -->" + run);
    left += run;
    right = run + right;
  }
  // Rows run out with the last value's tag still in place.
  EXPECT_EQ(ExpandTemplate(u"<<!-- N -->>", SheetOf({field}), 1), u"<" + left + u"<!-- N -->" + right + u">");
}

}  // namespace
}  // namespace quillary
