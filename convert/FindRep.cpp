#include "convert/FindRep.h"

#include <algorithm>
#include <optional>

#include "convert/Module1.h"
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

// A well-formed repeat block: where its start comment begins, its count
// text and body, and where the text after its end comment begins.
struct RepeatBlock {
  std::size_t start;
  std::u16string_view countText, body;
  std::size_t afterBegin;
};

std::optional<RepeatBlock> FindRepeatBlock(std::u16string_view text) {
  const std::size_t start = text.find(kBeginRepeat);
  if (start == npos) return std::nullopt;
  const std::size_t countBegin = start + kBeginRepeat.size();
  const std::size_t space = text.find(u' ', countBegin);
  if (space == npos) return std::nullopt;
  // A start comment closed before any space lacks the space after its count.
  const std::u16string_view countText = text.substr(countBegin, space - countBegin);
  if (countText.find(kCommentEnd) != npos) return std::nullopt;
  const std::size_t close = text.find(kCommentEnd, space + 1);
  if (close == npos) return std::nullopt;
  const std::size_t end = text.find(kEndRepeat, close + 1);
  if (end == npos) return std::nullopt;
  const std::size_t bodyBegin = close + kCommentEnd.size();
  return RepeatBlock{start, countText, text.substr(bodyBegin, end - bodyBegin),
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
  std::u16string_view View() const { return std::u16string_view(buffer_).substr(head_); }
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

// Appends piece to out unless out would pass maxOutput (out never does).
void AppendCapped(std::u16string& out, std::u16string_view piece, std::size_t maxOutput) {
  if (piece.size() > maxOutput - out.size()) throw OutputTooLargeError(maxOutput);
  out += piece;
}

// Appends count repetitions of pattern to out.
void AppendRepetitions(std::u16string& out, std::u16string_view pattern, RowCursors& rowCursor,
                       const FieldTable& table, int count, std::size_t maxOutput) {
  if (count <= 0) return;
  const std::size_t needed = out.size() + pattern.size() * static_cast<std::size_t>(count);
  // Never more room than the cap: the values may be shorter than their tags,
  // so a pattern too big in total is only refused once the output passes.
  if (needed > out.capacity()) out.reserve(std::min(std::max(needed, 2 * out.capacity()), maxOutput));
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
      for (; i < count; ++i) AppendCapped(out, pattern, maxOutput);
      return;
    }
    AppendCapped(out, repetition, maxOutput);
  }
}

}  // namespace

RepeatSplit SplitAtRepeatBlock(std::u16string_view text) {
  RepeatSplit split;
  const auto block = FindRepeatBlock(text);
  if (!block) {
    split.before = text;
    return split;
  }
  split.found = true;
  split.count = ReadRepeatCount(block->countText);
  split.before = text.substr(0, block->start);
  split.body = block->body;
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
                       int count, std::size_t maxOutput) {
  std::u16string result;
  AppendRepetitions(result, body, rowCursor, FieldTable(array, rowCursor.size()), count, maxOutput);
  body = std::move(result);
}

int ReplaceFirst(std::u16string& text, std::u16string_view find, std::u16string_view replacement) {
  if (find.empty()) return 0;
  const std::size_t at = text.find(find);
  if (at == npos) return 0;
  text.replace(at, find.size(), replacement);
  return 1;
}

std::u16string ExpandTemplate(std::u16string_view templateText, const SheetArray& array, int k,
                              std::size_t maxOutput) {
  const int fields = ProcessedFields(array, k);
  if (fields == 0) {
    std::u16string result;
    AppendCapped(result, templateText, maxOutput);
    return result;
  }
  const FieldTable table(array, static_cast<std::size_t>(fields));
  RowCursors rowCursor(static_cast<std::size_t>(fields), 1);

  // Stretch by stretch in document order; the cursors carry over.
  std::u16string result;
  result.reserve(std::min(templateText.size(), maxOutput));
  std::u16string_view rest = templateText;
  for (;;) {
    const auto block = FindRepeatBlock(rest);
    std::u16string stretch(rest.substr(0, block ? block->start : rest.size()));
    FillStretch(stretch, rowCursor, table);
    AppendCapped(result, stretch, maxOutput);
    if (!block) return result;
    AppendRepetitions(result, block->body, rowCursor, table, ReadRepeatCount(block->countText),
                      maxOutput);
    rest.remove_prefix(block->afterBegin);
  }
}

TextEncoding OutputEncoding(const DecodedText& templateFile, TextEncoding sheetEncoding) {
  return templateFile.ascii ? sheetEncoding : templateFile.encoding;
}

EncodedOutput ConvertTemplateToBytes(const std::filesystem::path& templatePath, const SheetArray& array, int k,
                                     TextEncoding sheetEncoding, std::size_t maxOutput) {
  // Read whole before anything is written, so the output may replace the template.
  const DecodedText templateFile = ReadWholeTextFile(templatePath);
  // Replacement characters in the page would be a garbled page reported as made.
  if (templateFile.undecodable.count > 0)
    throw UndecodableTextError(templatePath, templateFile.encoding, templateFile.undecodable);
  std::u16string text = ExpandTemplate(templateFile.text, array, k, maxOutput);
  TruncateAtNul(text);
  const TextEncoding encoding = OutputEncoding(templateFile, sheetEncoding);
  return {EncodeText(text, encoding), encoding};
}

TextEncoding ConvertTemplate(const std::filesystem::path& templatePath,
                             const std::filesystem::path& outputPath, const SheetArray& array, int k,
                             TextEncoding sheetEncoding, std::size_t maxOutput) {
  const EncodedOutput output = ConvertTemplateToBytes(templatePath, array, k, sheetEncoding, maxOutput);
  ReplaceFileContents(outputPath, output.bytes);
  return output.encoding;
}

}  // namespace quillary
