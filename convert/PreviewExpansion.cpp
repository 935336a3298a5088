#include "convert/PreviewExpansion.h"

#include <algorithm>

#include "convert/FieldTags.h"
#include "convert/FindRep.h"
#include "convert/OutputSink.h"
#include "sheet/CellSource.h"
#include "sheet/SheetArray.h"

namespace quillary {

namespace {

// Noncharacters, which no page holds: a second expansion brackets every
// inserted value with them, so the values can be found in the first one.
constexpr char16_t kValueOpen = u'\uFDD0';
constexpr char16_t kValueClose = u'\uFDD1';

// The work array as the engine reads it; bracketed, every value between the
// two marks (the field names stay as they are, or no tag would match).
class PreviewCells final : public CellSource {
 public:
  PreviewCells(const SheetArray& array, bool bracketed) : array_(array), bracketed_(bracketed) {}
  int Fields() const override { return array_.Fields(); }
  int Rows() const override { return array_.Rows(); }
  std::u16string_view Text(int field, int row, std::u16string& scratch) const override {
    const std::u16string& text = array_.Text(field, row);
    if (!bracketed_ || row == 0) return text;
    scratch.assign(1, kValueOpen);
    scratch.append(text);
    scratch.push_back(kValueClose);
    return scratch;
  }

 private:
  const SheetArray& array_;
  bool bracketed_;
};

// Keeps the output's first `limit` units, then stops the expansion: the
// rest would only be thrown away.
class PrefixSink final : public OutputSink {
 public:
  struct Full {};
  PrefixSink(std::u16string& text, std::size_t limit) : text_(text), limit_(limit) {}
  void Append(std::u16string_view piece) override {
    const std::size_t room = limit_ - text_.size();
    text_.append(piece.substr(0, room));
    if (piece.size() > room) throw Full();
  }
  void Expect(std::size_t units) override {
    const std::size_t wanted = text_.size() + std::min(units, limit_ - text_.size());
    if (wanted > text_.capacity()) text_.reserve(std::min(std::max(wanted, 2 * text_.capacity()), limit_));
  }

 private:
  std::u16string& text_;
  std::size_t limit_;
};

// False when the output ran past the limit.
bool ExpandPrefix(std::u16string_view templateText, const CellSource& cells, int k, std::u16string& text,
                  std::size_t limit, ConversionSummary* summary) {
  PrefixSink sink(text, limit);
  try {
    ExpandTemplate(templateText, cells, k, sink, kMaxOutputUnits, summary);
    return true;
  } catch (const PrefixSink::Full&) {
    return false;
  }
}

void Unmarked(PreviewExpansion& preview) {
  preview.values.clear();
  preview.valuesMarked = false;
}

// Follows the brackets of a second expansion through the first `units` of
// the output. Any other difference means that a value formed a placeholder
// with the text beside it, which the brackets prevented: no value is marked.
void MarkValues(std::u16string_view templateText, const SheetArray& array, int k, std::size_t units,
                PreviewExpansion& preview) {
  std::u16string bracketed;
  // Two marks a value: three units for each unit of one-unit values. Empty
  // values may need more; then fewer are marked.
  const bool whole = ExpandPrefix(templateText, PreviewCells(array, true), k, bracketed, 3 * units + 2, nullptr);
  std::vector<std::size_t> open;
  std::size_t out = 0;
  for (const char16_t c : bracketed) {
    if (c == kValueOpen) {
      open.push_back(out);
    } else if (c == kValueClose) {
      if (open.empty()) return Unmarked(preview);
      if (open.back() < out) preview.values.push_back({open.back(), out});
      open.pop_back();
    } else {
      if (out == units) break;
      if (preview.text[out] != c) return Unmarked(preview);
      ++out;
    }
  }
  if (whole && out < units) return Unmarked(preview);
  // Values running past the marked part end with it.
  for (const std::size_t begin : open)
    if (begin < out) preview.values.push_back({begin, out});
  std::sort(preview.values.begin(), preview.values.end(), [](const TextSpan& a, const TextSpan& b) {
    return a.begin != b.begin ? a.begin < b.begin : a.end > b.end;
  });
}

// Every placeholder of a processed field the output holds is one left
// unfilled, as the summary counts them.
void MarkUnfilled(const SheetArray& array, int k, std::size_t units, PreviewExpansion& preview) {
  const PreviewCells cells(array, false);
  const FieldTags tags(cells, std::max(0, k));
  // One beginning in the marked part is marked whole.
  const std::u16string_view text = std::u16string_view(preview.text).substr(0, units + tags.LongestTag());
  for (const TagAt& tag : FindTags(text, tags))
    if (tag.at < units) preview.unfilled.push_back({tag.at, tag.at + tag.length});
}

}  // namespace

PreviewExpansion ExpandForPreview(std::u16string_view templateText, const SheetArray& array, int k,
                                  std::size_t maxUnits, std::size_t markUnits) {
  PreviewExpansion preview;
  preview.cut = !ExpandPrefix(templateText, PreviewCells(array, false), k, preview.text, maxUnits, &preview.summary);
  // Convert's output ends before its first NUL: one within the limit ends it there.
  if (const std::size_t nul = preview.text.find(u'\0'); nul != std::u16string::npos) {
    preview.text.resize(nul);
    preview.cut = false;
  }
  const std::size_t units = std::min(markUnits, preview.text.size());
  MarkValues(templateText, array, k, units, preview);
  MarkUnfilled(array, k, units, preview);
  return preview;
}

}  // namespace quillary
