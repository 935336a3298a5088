#include "convert/FindRep.h"

#include <algorithm>
#include <optional>

#include "convert/Module1.h"
#include "platform/CodePage.h"
#include "platform/FileIO.h"
#include "sheet/RS.h"
#include "sheet/SheetArray.h"

namespace quillary {

namespace {

constexpr auto npos = std::u16string_view::npos;
constexpr std::u16string_view kCommentEnd = u"-->";

// The placeholder tags and the values of the processed fields.
class FieldTable {
 public:
  FieldTable(const SheetArray& array, std::size_t fields) : array_(array) {
    const int count = std::min(static_cast<int>(fields), array.Fields());
    tags_.reserve(count);
    for (int f = 0; f < count; ++f) {
      const std::u16string name = array.Rows() > 0 ? array.Text(f, 0) : std::u16string();
      tags_.push_back(u"<!-- " + name + u" -->");
    }
  }

  int Fields() const { return static_cast<int>(tags_.size()); }
  int LastRow() const { return array_.Rows() - 1; }
  const std::u16string& Tag(int field) const { return tags_[field]; }

  // The cell as it is written: every line-break marker becomes "<BR>".
  std::u16string Value(int field, int row) const {
    std::u16string value = array_.Text(field, row);
    ReplaceAll(value, u"|", u"<BR>");
    return value;
  }

 private:
  const SheetArray& array_;
  std::vector<std::u16string> tags_;
};

// 0-based positions of a well-formed repeat block.
struct BlockBounds {
  std::size_t start, countBegin, countEnd, bodyBegin, bodyEnd, afterBegin;
};

std::optional<BlockBounds> FindRepeatBlock(std::u16string_view text) {
  const std::size_t start = text.find(kBeginRepeat);
  if (start == npos) return std::nullopt;
  const std::size_t countBegin = start + kBeginRepeat.size();
  const std::size_t space = text.find(u' ', countBegin);
  if (space == npos) return std::nullopt;
  // A start comment closed before any space lacks the space after its count.
  if (text.substr(countBegin, space - countBegin).find(kCommentEnd) != npos) return std::nullopt;
  const std::size_t close = text.find(kCommentEnd, space + 1);
  if (close == npos) return std::nullopt;
  const std::size_t end = text.find(kEndRepeat, close + 1);
  if (end == npos) return std::nullopt;
  return BlockBounds{start, countBegin, space, close + kCommentEnd.size(), end,
                     end + kEndRepeat.size()};
}

// The text still to scan, kept at the end of a buffer with room in front,
// so that pushing a value ahead of it costs only the value's length.
class ScanBuffer {
 public:
  void Assign(std::u16string_view text) {
    buffer_.resize(text.size() + kSlack);
    head_ = kSlack;
    std::copy(text.begin(), text.end(), buffer_.begin() + static_cast<std::ptrdiff_t>(head_));
  }
  std::u16string_view View() const {
    return std::u16string_view(buffer_).substr(head_);
  }
  void Drop(std::size_t count) { head_ += count; }
  void Push(std::u16string_view text) {
    if (text.size() > head_) MakeRoom(text.size());
    head_ -= text.size();
    std::copy(text.begin(), text.end(), buffer_.begin() + static_cast<std::ptrdiff_t>(head_));
  }

 private:
  static constexpr std::size_t kSlack = 256;
  // At least as much room as the text holds: the copies stay linear overall.
  void MakeRoom(std::size_t needed) {
    const std::size_t room = std::max(needed, buffer_.size() - head_) + kSlack;
    std::u16string grown(room, u'\0');
    grown.append(View());
    buffer_.swap(grown);
    head_ = room;
  }

  std::u16string buffer_;
  std::size_t head_ = 0;
};

// Scratch texts shared by the field passes of a stretch.
struct FillBuffers {
  std::u16string done;
  ScanBuffer ahead;
};

// Fills the successive placeholders of one field. Each one is the first tag
// of the current text, searched again from the start in the slow way; since
// the text ahead of a replaced tag held no tag, the next one cannot begin
// more than tag length - 1 before it. So the text is split at that point:
// done (final) and ahead (still to scan), and an inserted value is pushed in
// front of ahead together with the last tag length - 1 characters of done,
// so that a tag formed across either join is found.
void FillField(std::u16string& text, FillBuffers& buffers, const FieldTable& table, int field,
               int& cursor) {
  if (cursor > table.LastRow()) return;
  const std::u16string& tag = table.Tag(field);
  const std::size_t first = text.find(tag);
  if (first == npos) return;

  std::u16string& done = buffers.done;
  ScanBuffer& ahead = buffers.ahead;
  done.assign(text, 0, first);
  ahead.Assign(std::u16string_view(text).substr(first + tag.size()));
  const std::size_t overlap = tag.size() - 1;
  for (;;) {
    ahead.Push(table.Value(field, cursor++));
    const std::size_t back = std::min(overlap, done.size());
    ahead.Push(std::u16string_view(done).substr(done.size() - back));
    done.resize(done.size() - back);
    if (cursor > table.LastRow()) break;
    const std::size_t hit = ahead.View().find(tag);
    if (hit == npos) break;
    done.append(ahead.View().substr(0, hit));
    ahead.Drop(hit + tag.size());
  }
  done.append(ahead.View());
  text.swap(done);
}

void FillStretch(std::u16string& text, RowCursors& rowCursor, const FieldTable& table) {
  FillBuffers buffers;
  for (int f = 0; f < table.Fields(); ++f) FillField(text, buffers, table, f, rowCursor[f]);
}

void ExpandBlock(std::u16string& body, RowCursors& rowCursor, const FieldTable& table,
                 int count) {
  const std::u16string pattern = std::move(body);
  std::u16string result;
  if (count > 0) result.reserve(pattern.size() * static_cast<std::size_t>(count));
  std::u16string repetition;
  for (int i = 0; i < count; ++i) {
    repetition = pattern;
    bool filled = false;
    for (int f = 0; f < table.Fields(); ++f) {
      // A field without rows left fills nothing, as outside blocks.
      if (rowCursor[f] > table.LastRow()) continue;
      const std::size_t at = repetition.find(table.Tag(f));
      if (at == npos) continue;
      repetition.replace(at, table.Tag(f).size(), table.Value(f, rowCursor[f]++));
      filled = true;
    }
    // Without a change the cursors stand still: every later repetition is the
    // same unfilled pattern.
    if (!filled) {
      for (; i < count; ++i) result += pattern;
      break;
    }
    result += repetition;
  }
  body = std::move(result);
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

std::u16string_view DigitRun(std::u16string_view text, std::size_t& i) {
  const std::size_t begin = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  return text.substr(begin, i - begin);
}

// The exponent's value, saturated far beyond anything that still matters.
long long ReadExponent(std::u16string_view text, std::size_t i) {
  if (i >= text.size() || (text[i] != u'E' && text[i] != u'e' && text[i] != u'D' && text[i] != u'd'))
    return 0;
  ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  long long exponent = 0;
  for (const char16_t c : DigitRun(text, i)) exponent = std::min(exponent * 10 + (c - u'0'), 1000000000LL);
  return negative ? -exponent : exponent;
}

// digits x 10^scale (digits without leading zeros) rounded half to even;
// magnitudes of 100000 and more give 100000.
long long RoundHalfEven(std::u16string_view digits, long long scale) {
  const long long intLength = static_cast<long long>(digits.size()) + scale;
  if (intLength > 5) return 100000;
  long long whole = 0;
  for (long long i = 0; i < intLength; ++i)
    whole = whole * 10 + (i < static_cast<long long>(digits.size()) ? digits[i] - u'0' : 0);
  if (intLength < 0 || intLength >= static_cast<long long>(digits.size())) return whole;
  const std::u16string_view fraction = digits.substr(static_cast<std::size_t>(intLength));
  const bool aboveHalf = fraction[0] > u'5' ||
                         (fraction[0] == u'5' && fraction.find_first_not_of(u'0', 1) != npos);
  const bool half = fraction[0] == u'5' && !aboveHalf;
  return whole + ((aboveHalf || (half && whole % 2 == 1)) ? 1 : 0);
}

}  // namespace

int ReadRepeatCount(std::u16string_view countText) {
  std::size_t i = 0;
  while (i < countText.size() && IsBlank(countText[i])) ++i;
  bool negative = false;
  if (i < countText.size() && (countText[i] == u'+' || countText[i] == u'-'))
    negative = countText[i++] == u'-';
  const std::u16string_view whole = DigitRun(countText, i);
  std::u16string_view fraction;
  if (i + 1 < countText.size() && countText[i] == u'.' && IsDigit(countText[i + 1])) {
    ++i;
    fraction = DigitRun(countText, i);
  } else if (!whole.empty() && i < countText.size() && countText[i] == u'.') {
    ++i;
  }
  if (whole.empty() && fraction.empty()) return 0;

  std::u16string digits(whole);
  digits.append(fraction);
  const std::size_t significant = digits.find_first_not_of(u'0');
  if (significant == npos) return 0;
  const long long scale = ReadExponent(countText, i) - static_cast<long long>(fraction.size());
  const long long magnitude = RoundHalfEven(std::u16string_view(digits).substr(significant), scale);
  return static_cast<int>(std::clamp(negative ? -magnitude : magnitude, -32768LL, 32767LL));
}

RepeatSplit SplitAtRepeatBlock(std::u16string_view text) {
  RepeatSplit split;
  const auto block = FindRepeatBlock(text);
  if (!block) {
    split.before = text;
    return split;
  }
  split.found = true;
  split.count =
      ReadRepeatCount(text.substr(block->countBegin, block->countEnd - block->countBegin));
  split.before = text.substr(0, block->start);
  split.body = text.substr(block->bodyBegin, block->bodyEnd - block->bodyBegin);
  split.after = text.substr(block->afterBegin);
  return split;
}

int ProcessedFields(const SheetArray& array, int k) {
  return std::max(0, std::min(k, array.Fields()));
}

void FillPlaceholders(std::u16string& text, RowCursors& rowCursor, const SheetArray& array) {
  FillStretch(text, rowCursor, FieldTable(array, rowCursor.size()));
}

void ExpandRepeatBlock(std::u16string& body, RowCursors& rowCursor, const SheetArray& array,
                       int count) {
  ExpandBlock(body, rowCursor, FieldTable(array, rowCursor.size()), count);
}

int ReplaceFirst(std::u16string& text, std::u16string_view find, std::u16string_view replacement) {
  if (find.empty()) return 0;
  const std::size_t at = text.find(find);
  if (at == npos) return 0;
  text.replace(at, find.size(), replacement);
  return 1;
}

std::u16string ExpandTemplate(std::u16string_view templateText, const SheetArray& array, int k) {
  const int fields = ProcessedFields(array, k);
  if (fields == 0) return std::u16string(templateText);
  const FieldTable table(array, static_cast<std::size_t>(fields));
  RowCursors rowCursor(static_cast<std::size_t>(fields), 1);

  // Stretch by stretch in document order; the cursors carry over.
  std::u16string result;
  result.reserve(templateText.size());
  std::u16string_view rest = templateText;
  for (;;) {
    const auto block = FindRepeatBlock(rest);
    std::u16string stretch(rest.substr(0, block ? block->start : rest.size()));
    FillStretch(stretch, rowCursor, table);
    result += stretch;
    if (!block) return result;
    std::u16string body(rest.substr(block->bodyBegin, block->bodyEnd - block->bodyBegin));
    const int count =
        ReadRepeatCount(rest.substr(block->countBegin, block->countEnd - block->countBegin));
    ExpandBlock(body, rowCursor, table, count);
    result += body;
    rest.remove_prefix(block->afterBegin);
  }
}

void ConvertTemplate(const std::filesystem::path& templatePath,
                     const std::filesystem::path& outputPath, const SheetArray& array, int k) {
  // Read whole before anything is written, so the output may replace the template.
  std::u16string text = ExpandTemplate(ReadWholeFile(templatePath), array, k);
  TruncateAtNul(text);
  WriteFileAtomically(outputPath, EncodeCodePage(text));
}

}  // namespace quillary
