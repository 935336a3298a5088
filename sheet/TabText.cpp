#include "sheet/TabText.h"

namespace quillary {

namespace {

constexpr char16_t kTab = u'\t';
constexpr char16_t kLf = u'\n';
constexpr char16_t kCr = u'\r';
constexpr char16_t kQuote = u'"';
constexpr char16_t kMarker = u'|';

bool NeedsQuotes(std::u16string_view cell) {
  for (const char16_t c : cell)
    if (c == kMarker || c == kTab || c == kLf || c == kCr || c == kQuote) return true;
  return false;
}

// Appended in place: a range may hold millions of cells, most of them plain.
void AppendField(std::u16string& text, std::u16string_view cell) {
  if (!NeedsQuotes(cell)) {
    text += cell;
    return;
  }
  text += kQuote;
  for (const char16_t c : cell) {
    if (c == kQuote) text += kQuote;
    text += c == kMarker ? kLf : c;
  }
  text += kQuote;
}

}  // namespace

std::u16string ToTabText(const Sheet& sheet, int top, int left, int bottom, int right) {
  std::u16string text;
  for (int r = top; r <= bottom; ++r) {
    for (int c = left; c <= right; ++c) {
      if (c > left) text += kTab;
      AppendField(text, sheet.Text(r, c));
    }
    text += kLf;
  }
  return text;
}

std::vector<std::vector<std::u16string>> FromTabText(std::u16string_view text) {
  std::vector<std::vector<std::u16string>> records;
  std::vector<std::u16string> record;
  std::u16string field;
  bool quoted = false;    // inside a quoted field
  bool anything = false;  // the current record has begun
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (quoted) {
      if (c == kQuote && i + 1 < text.size() && text[i + 1] == kQuote) {
        field += kQuote;
        ++i;
      } else if (c == kQuote) {
        quoted = false;
      } else if (c == kCr || c == kLf) {
        if (c == kCr && i + 1 < text.size() && text[i + 1] == kLf) ++i;
        field += kMarker;
      } else {
        field += c;
      }
      continue;
    }
    anything = true;
    if (c == kQuote && field.empty()) {
      quoted = true;
    } else if (c == kTab) {
      record.push_back(std::move(field));
      field.clear();
    } else if (c == kCr || c == kLf) {
      if (c == kCr && i + 1 < text.size() && text[i + 1] == kLf) ++i;
      record.push_back(std::move(field));
      field.clear();
      records.push_back(std::move(record));
      record.clear();
      anything = false;
    } else {
      field += c;
    }
  }
  if (anything || quoted) {
    record.push_back(std::move(field));
    records.push_back(std::move(record));
  }
  return records;
}

std::uint64_t FromTabTextBytes(std::u16string_view text) {
  std::uint64_t fields = 1;
  for (const char16_t c : text) fields += c == kTab || c == kLf || c == kCr ? 1 : 0;
  // A field grows by doubling while it is read.
  return text.size() * 2 * sizeof(char16_t) + fields * (sizeof(std::u16string) + sizeof(std::vector<std::u16string>));
}

}  // namespace quillary
