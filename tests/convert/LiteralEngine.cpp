#include "convert/LiteralEngine.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "platform/TextEncoding.h"
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

namespace {

std::u16string Escaped(std::u16string value) {
  for (const auto& [find, reference] :
       {std::pair{u"&", u"&amp;"}, {u"<", u"&lt;"}, {u">", u"&gt;"}, {u"\"", u"&quot;"}, {u"'", u"&#39;"}})
    ReplaceAll(value, find, reference);
  return value;
}

// Row 0 and the rows given, in that order.
SheetArray Rows(const SheetArray& array, const std::vector<int>& rows, bool escape) {
  SheetArray copy(array.Fields(), static_cast<int>(rows.size()) + 1);
  for (int f = 0; f < array.Fields(); ++f) {
    copy.SetShared(f, 0, array.Shared(f, 0));
    for (std::size_t r = 0; r < rows.size(); ++r) {
      const std::u16string value(array.Text(f, rows[r]));
      copy.Set(f, static_cast<int>(r) + 1, escape ? Escaped(value) : value);
    }
  }
  return copy;
}

std::vector<int> AllRecords(const SheetArray& array) {
  std::vector<int> rows;
  for (int r = 1; r < array.Rows(); ++r) rows.push_back(r);
  return rows;
}

bool OptsIn(const std::u16string& text, const SheetArray& array, int k) {
  if (InStr(1, text, u"<!-- EscapeValues -->") == 0) return false;
  for (int f = 0; f < std::clamp(k, 0, array.Fields()); ++f)
    if (array.Text(f, 0) == u"EscapeValues") return false;
  return true;
}

bool Surrogate(char32_t c) { return c >= 0xD800 && c < 0xE000; }

std::size_t Utf8Size(const std::u16string& text) {
  std::size_t bytes = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t c = CodePointAt(text, i);
    bytes += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    if (c >= 0x10000) ++i;
  }
  return bytes;
}

// The text less its last character.
std::u16string DropLast(const std::u16string& text) {
  const bool pair = text.size() >= 2 && Surrogate(text.back()) && text.back() >= 0xDC00 &&
                    text[text.size() - 2] >= 0xD800 && text[text.size() - 2] < 0xDC00;
  return text.substr(0, text.size() - (pair ? 2 : 1));
}

}  // namespace

std::u16string ConvertTemplate(std::u16string_view templateText, const SheetArray& array, int k) {
  std::u16string text(templateText);
  if (!OptsIn(text, array, k)) return literal::ExpandTemplate(text, array, k);
  ReplaceAll(text, u"<!-- EscapeValues -->", u"");
  return literal::ExpandTemplate(text, Rows(array, AllRecords(array), true), k);
}

std::u16string RecordPage(std::u16string_view templateText, const SheetArray& array, int k, int record) {
  return ConvertTemplate(templateText, Rows(array, {record}, false), k);
}

std::u16string PageName(std::u16string_view pattern, const SheetArray& array, int k, int record, std::size_t maxBytes) {
  std::u16string expanded = literal::ExpandTemplate(pattern, Rows(array, {record}, false), k);
  expanded = expanded.substr(0, expanded.find(u'\0'));
  std::u16string name;
  for (std::size_t i = 0; i < expanded.size(); ++i) {
    const char32_t c = CodePointAt(expanded, i);
    if (c >= 0x10000) {
      name += expanded.substr(i++, 2);
    } else {
      const bool refused = c == U'/' || c == U'\\' || c < 0x20 || (c >= 0x7F && c <= 0x9F) || Surrogate(c);
      name += refused ? u'_' : static_cast<char16_t>(c);
    }
  }
  if (Utf8Size(name) > maxBytes) {
    const std::size_t dot = name.rfind(u'.');
    std::u16string stem = name, extension;
    if (dot != std::u16string::npos && dot > 0 && name.size() - dot <= 17 && Utf8Size(name.substr(dot)) < maxBytes) {
      stem = name.substr(0, dot);
      extension = name.substr(dot);
    }
    while (Utf8Size(stem + extension) > maxBytes) stem = DropLast(stem);
    name = stem + extension;
  }
  if (name == u".") return u"_";
  if (name == u"..") return u"__";
  return name;
}

std::u16string WithReferences(std::u16string_view text, std::size_t& count) {
  std::u16string out;
  count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t c = CodePointAt(text, i);
    const std::u16string character(text.substr(i, c >= 0x10000 ? 2 : 1));
    if (c >= 0x10000) ++i;
    try {
      if (!Surrogate(c)) EncodeText(character, TextEncoding::Cp932);
      out += character;
    } catch (const UnencodableCharError&) {
      char hex[16];
      std::snprintf(hex, sizeof hex, "&#x%X;", static_cast<unsigned>(c));
      out += std::u16string(hex, hex + std::strlen(hex));
      ++count;
    }
  }
  return out;
}

}  // namespace quillary::literal
