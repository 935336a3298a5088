#include "convert/LiteralEngine.h"

#include <algorithm>

#include "sheet/RS.h"
#include "sheet/SheetArray.h"

namespace quillary::literal {

namespace {

// 1-based position of find at or after start, 0 when it does not occur.
std::size_t InStr(std::size_t start, const std::u16string& text, std::u16string_view find) {
  const std::size_t p = text.find(find, start - 1);
  return p == std::u16string::npos ? 0 : p + 1;
}

// The characters from 1-based start, length of them or all to the end.
std::u16string Mid(const std::u16string& text, std::size_t start, std::size_t length = std::u16string::npos) {
  return start > text.size() ? std::u16string() : text.substr(start - 1, length);
}

std::u16string Value(const SheetArray& array, int field, int row) {
  std::u16string value(array.Text(field, row));
  ReplaceAll(value, u"|", u"<BR>");
  return value;
}

std::u16string Tag(const SheetArray& array, int field) {
  return u"<!-- " + std::u16string(array.Text(field, 0)) + u" -->";
}

int ReplaceFirst(std::u16string& text, const std::u16string& find, const std::u16string& replacement) {
  const std::size_t a = InStr(1, text, find);
  if (a == 0) return 0;
  text = Mid(text, 1, a - 1) + replacement + Mid(text, a + find.size());
  return 1;
}

// "*": the most rows left to any field whose tag the body holds.
int RowsLeft(const std::u16string& body, const RowCursors& rowCursor, const SheetArray& array) {
  int most = 0;
  for (int f = 0; f < static_cast<int>(rowCursor.size()); ++f)
    if (InStr(1, body, Tag(array, f)) != 0) most = std::max(most, array.Rows() - rowCursor[f]);
  return most;
}

RepeatSplit SplitAtRepeatBlock(const std::u16string& text) {
  RepeatSplit split;
  split.before = text;
  const std::size_t a = InStr(1, text, kBeginRepeat);
  if (a == 0) return split;
  const std::size_t b = InStr(a + 17, text, u" ");
  if (b == 0) return split;
  const std::size_t closed = InStr(a + 17, text, u"-->");
  if (closed != 0 && closed < b) return split;
  const std::size_t d = InStr(b + 1, text, u"-->");
  if (d == 0) return split;
  const std::size_t e = InStr(d + 1, text, kEndRepeat);
  if (e == 0) return split;
  split.found = true;
  split.allRows = Mid(text, a + 17, b - a - 17) == u"*";
  split.count = split.allRows ? 0 : ReadRepeatCount(Mid(text, a + 17, b - a - 17));
  split.before = Mid(text, 1, a - 1);
  split.body = Mid(text, d + 3, e - d - 3);
  split.after = Mid(text, e + 18);
  return split;
}

void FillPlaceholders(std::u16string& text, RowCursors& rowCursor, const SheetArray& array) {
  const int lastRow = array.Rows() - 1;
  for (int f = 0; f < static_cast<int>(rowCursor.size()); ++f) {
    while (rowCursor[f] <= lastRow) {
      if (ReplaceFirst(text, Tag(array, f), Value(array, f, rowCursor[f])) == 0) break;
      ++rowCursor[f];
    }
  }
}

void ExpandRepeatBlock(std::u16string& body, RowCursors& rowCursor, const SheetArray& array, int count) {
  const std::u16string pattern = body;
  std::u16string result;
  for (int i = 1; i <= count; ++i) {
    for (int f = 0; f < static_cast<int>(rowCursor.size()); ++f) {
      if (rowCursor[f] > array.Rows() - 1) continue;
      if (ReplaceFirst(body, Tag(array, f), Value(array, f, rowCursor[f])) == 1) ++rowCursor[f];
    }
    result = result + body;
    body = pattern;
  }
  body = result;
}

}  // namespace

std::u16string ExpandTemplate(std::u16string_view templateText, const SheetArray& array, int k) {
  const int fields = std::clamp(k, 0, array.Fields());
  if (fields == 0) return std::u16string(templateText);
  RowCursors rowCursor(fields, 1);
  std::u16string result, rest(templateText);
  for (;;) {
    RepeatSplit split = literal::SplitAtRepeatBlock(rest);
    literal::FillPlaceholders(split.before, rowCursor, array);
    if (!split.found) return result + split.before;
    if (split.allRows) split.count = RowsLeft(split.body, rowCursor, array);
    literal::ExpandRepeatBlock(split.body, rowCursor, array, split.count);
    result = result + split.before + split.body;
    rest = split.after;
  }
}

}  // namespace quillary::literal
