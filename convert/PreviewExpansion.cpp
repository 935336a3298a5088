#include "convert/PreviewExpansion.h"

#include <algorithm>

#include "convert/FieldTags.h"
#include "convert/FindRep.h"
#include "convert/Module1.h"
#include "convert/OutputSink.h"
#include "convert/SummarySink.h"
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
    const std::u16string_view text = array_.Text(field, row);
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

// Follows a second expansion, every value bracketed, along the first: the
// values' spans within its first `markUnits` units, and how many values
// begin within its first `countUnits`. It stops there (Done) or where the
// two differ (Diverged): a value then formed a placeholder with the text
// beside it, which the brackets prevented. Every cell is filled once at
// most, so the brackets add at most two units a cell to what it reads.
class ValueFollower final : public OutputSink {
 public:
  struct Done {};
  struct Diverged {};

  ValueFollower(std::u16string_view text, std::size_t markUnits, std::size_t countUnits)
      : text_(text),
        markUnits_(markUnits),
        stop_(std::min(std::max(markUnits, countUnits), text.size())),
        countUnits_(countUnits) {}

  void Append(std::u16string_view piece) override {
    while (!piece.empty()) {
      const auto mark =
          std::find_if(piece.begin(), piece.end(), [](char16_t c) { return c == kValueOpen || c == kValueClose; });
      Plain(piece.substr(0, static_cast<std::size_t>(mark - piece.begin())));
      if (mark == piece.end()) return;
      Bracket(*mark);
      piece.remove_prefix(static_cast<std::size_t>(mark - piece.begin()) + 1);
    }
  }
  void Finish() override {
    if (out_ < stop_) throw Diverged();
  }

  // Values running past the marked part end with it.
  std::vector<TextSpan> Values() {
    for (const std::size_t begin : open_) Mark(begin);
    open_.clear();
    std::sort(values_.begin(), values_.end(), [](const TextSpan& a, const TextSpan& b) {
      return a.begin != b.begin ? a.begin < b.begin : a.end > b.end;
    });
    return std::move(values_);
  }
  std::size_t Begun() const { return begun_; }

 private:
  void Plain(std::u16string_view plain) {
    const std::size_t room = stop_ - out_;
    if (text_.substr(out_, std::min(plain.size(), room)) != plain.substr(0, room)) throw Diverged();
    out_ += std::min(plain.size(), room);
    if (plain.size() > room) throw Done();
  }
  void Bracket(char16_t mark) {
    if (mark == kValueOpen) {
      open_.push_back(out_);
      if (out_ < countUnits_) ++begun_;
      return;
    }
    if (open_.empty()) throw Diverged();
    Mark(open_.back());
    open_.pop_back();
  }
  void Mark(std::size_t begin) {
    if (begin < out_ && begin < markUnits_) values_.push_back({begin, std::min(out_, markUnits_)});
  }

  std::u16string_view text_;
  std::size_t markUnits_, stop_, countUnits_;
  std::size_t out_ = 0, begun_ = 0;
  std::vector<std::size_t> open_;
  std::vector<TextSpan> values_;
};

// Marks the values in the first `markUnits` units; where the output was cut,
// counts the values begun before the cut, which the engine's count, ended
// by the cut, does not know.
void FollowValues(std::u16string_view templateText, const SheetArray& array, int k, std::size_t markUnits,
                  PreviewExpansion& preview) {
  ValueFollower follower(preview.text, markUnits, preview.cut ? preview.text.size() : 0);
  try {
    ExpandTemplate(templateText, PreviewCells(array, true), k, follower, kMaxOutputUnits, nullptr);
  } catch (const ValueFollower::Done&) {
  } catch (const ValueFollower::Diverged&) {
    // Counted only up to there: values formed that way are rare.
    if (preview.cut) preview.summary.filled = follower.Begun();
    return Unmarked(preview);
  }
  preview.values = follower.Values();
  if (preview.cut) preview.summary.filled = follower.Begun();
}

class DiscardSink final : public OutputSink {
 public:
  void Append(std::u16string_view) override {}
};

// The comments naming no field that begin in the marked part. The
// placeholders left and those comments of a cut output are counted over the
// text kept: the engine's count stopped short of the last piece.
void FindUnknown(const SheetArray& array, int k, std::size_t units, PreviewExpansion& preview) {
  const PreviewCells cells(array, false);
  const FieldTags tags(cells, std::max(0, k));
  DiscardSink discard;
  ConversionSummary counted;
  SummarySink counter(discard, tags, counted);
  counter.TellUnknownAt(preview.unknown, units);
  // A comment beginning in the marked part is read whole.
  const std::size_t reach = units + kTagOpen.size() + kLongestListedName + kTagClose.size();
  counter.Append(preview.cut ? std::u16string_view(preview.text) : std::u16string_view(preview.text).substr(0, reach));
  counter.Finish();
  if (!preview.cut) return;
  preview.summary.unfilled = std::move(counted.unfilled);
  preview.summary.unknown = std::move(counted.unknown);
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
  const std::size_t expanded = preview.text.size();
  TruncateAtNul(preview.text);
  if (preview.text.size() < expanded) preview.cut = false;
  const std::size_t units = std::min(markUnits, preview.text.size());
  FollowValues(templateText, array, k, units, preview);
  FindUnknown(array, k, units, preview);
  MarkUnfilled(array, k, units, preview);
  return preview;
}

}  // namespace quillary
