// The template's opt-in to escaping values, and what wins over it.

#include <gtest/gtest.h>

#include "convert/FindRep.h"
#include "support/SheetOf.h"

namespace quillary {
namespace {

using testing::SheetOf;

TEST(ValueEscaping, EscapesValuesOnlyWhereTheTemplateAsks) {
  const std::u16string value = u"A&B <限定> \"q\" 'x'|y";
  const std::u16string escaped = u"A&amp;B &lt;限定&gt; &quot;q&quot; &#39;x&#39;<BR>y";
  const struct {
    const char* name;
    std::vector<std::vector<std::u16string>> fields;
    int k;
    std::u16string templ, expected;
    bool on;
  } rows[] = {
      {"not asked: as before", {{u"Name", value}}, 1, u"<!-- Name -->", u"A&B <限定> \"q\" 'x'<BR>y", false},
      {"asked", {{u"Name", value}}, 1, u"<p><!-- EscapeValues --><!-- Name --></p>", u"<p>" + escaped + u"</p>", true},
      {"asked inside a block, twice", {{u"Name", value, u"&"}}, 1,
       u"<!-- BeginRepeat 2 -->[<!-- EscapeValues --><!-- Name -->]<!-- EndRepeat --><!-- EscapeValues -->",
       u"[" + escaped + u"][&amp;]", true},
      {"field names stay as they are", {{u"A&B", u"<"}}, 1, u"<!-- EscapeValues --><!-- A&B -->", u"&lt;", true},
      {"a field of that name wins", {{u"Name", value}, {u"EscapeValues", u"<on>"}}, 2,
       u"<!-- EscapeValues --><!-- Name -->", u"<on>A&B <限定> \"q\" 'x'<BR>y", false},
      {"an unprocessed field of that name does not", {{u"Name", u"<"}, {u"EscapeValues", u"on"}}, 1,
       u"<!-- EscapeValues --><!-- Name -->", u"&lt;", true},
      {"the comment spelled otherwise is text", {{u"Name", u"<"}}, 1, u"<!--EscapeValues--><!-- Name -->",
       u"<!--EscapeValues--><", false},
  };
  for (const auto& row : rows) {
    ConversionSummary summary;
    EXPECT_EQ(ExpandTemplate(row.templ, SheetOf(row.fields), row.k, kMaxOutputUnits, &summary), row.expected)
        << row.name;
    EXPECT_EQ(summary.valuesEscaped, row.on) << row.name;
  }
}

}  // namespace
}  // namespace quillary
