#pragma once
// A template's opt-in to values that cannot break the page: the comment
// "<!-- EscapeValues -->" anywhere in it, inside a repeat block or not,
// makes every inserted value write &, <, >, " and ' as character references
// (a "|" still becomes "<BR>"). The comment itself is not written. Where a
// processed field is named EscapeValues the comment is that field's
// placeholder, as it always was, and nothing is escaped: a template that
// does not opt in writes exactly what it wrote before.

#include <memory>
#include <string>
#include <string_view>

#include "sheet/CellSource.h"

namespace quillary {

inline constexpr std::u16string_view kEscapeValuesName = u"EscapeValues";
inline constexpr std::u16string_view kEscapeValuesComment = u"<!-- EscapeValues -->";

// Whether the value holds any of & < > " '.
bool NeedsEscaping(std::u16string_view value);
// The value with & < > " ' written as &amp; &lt; &gt; &quot; &#39;.
void AppendEscaped(std::u16string_view value, std::u16string& out);

// Whether the template opts in, with fields 0..k-1 of the cells processed.
bool OptsInToEscaping(std::u16string_view templateText, const CellSource& cells, int k);

// A template and its cells as they are expanded: when it opts in, the
// template without the comment (every occurrence, in one pass from the
// start) and the cells with their values escaped (the field names as they
// are); otherwise both as they are.
class ValueEscaping {
 public:
  ValueEscaping(std::u16string_view templateText, const CellSource& cells, int k);
  ~ValueEscaping();
  ValueEscaping(const ValueEscaping&) = delete;
  ValueEscaping& operator=(const ValueEscaping&) = delete;

  bool On() const { return escaped_ != nullptr; }
  std::u16string_view Text() const { return text_; }
  const CellSource& Cells() const;

 private:
  class EscapedCells;
  const CellSource& cells_;
  std::u16string stripped_;
  std::u16string_view text_;
  std::unique_ptr<EscapedCells> escaped_;
};

}  // namespace quillary
