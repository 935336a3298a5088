#include "convert/RepetitionPlan.h"

#include <algorithm>
#include <deque>

#include "platform/UnitSearch.h"

namespace quillary {

namespace {

constexpr auto npos = std::u16string_view::npos;

// Pieces are mostly a few units long: a call to copy them would cost more
// than the copy.
char16_t* Put(char16_t* to, std::u16string_view piece) {
  if (piece.size() > 8) return std::char_traits<char16_t>::copy(to, piece.data(), piece.size()) + piece.size();
  for (const char16_t unit : piece) *to++ = unit;
  return to;
}

}  // namespace

// The same choice as the sweep's, every field of the body having rows: at
// each "<!-- " the lowest field not yet filled in this repetition.
RepetitionPlan::RepetitionPlan(std::u16string_view body, const std::vector<TagAt>& bodyTags, const FieldTags& tags) {
  const auto fields = static_cast<std::size_t>(tags.Fields());
  std::vector<char> filled(fields, 0), inBody(fields, 0);
  // Per tag, the first of its fields that may be unfilled: fields only ever
  // become filled, and a tag many fields share may stand here many times.
  std::vector<std::size_t> firstUnfilled(static_cast<std::size_t>(tags.TagCount()), npos);
  std::size_t pos = 0;
  ForEachFilledTag(
      bodyTags,
      [&](int tag) {
        const std::span<const int> named = tags.FieldsOf(tag);
        std::size_t& k = firstUnfilled[static_cast<std::size_t>(tag)];
        if (k == npos) {
          k = 0;
          for (const int f : named) inBody[static_cast<std::size_t>(f)] = 1;
        }
        while (k < named.size() && filled[static_cast<std::size_t>(named[k])]) ++k;
        return k < named.size() ? named[k] : -1;
      },
      [&](std::size_t at, int winner, std::size_t length) {
        filled[static_cast<std::size_t>(winner)] = 1;
        slots_.push_back({body.substr(pos, at - pos), winner});
        pos = at + length;
      });
  after_ = body.substr(pos);
  literalSize_ = after_.size();
  for (const Slot& slot : slots_) literalSize_ += slot.before.size();
  cells_.resize(slots_.size());
  values_.resize(slots_.size());
  held_.resize(slots_.size());
  for (std::size_t f = 0; f < fields; ++f)
    if (inBody[f]) bodyFields_.push_back(static_cast<int>(f));
  for (int f = 0; f < tags.Fields() && usable_; ++f) usable_ = tags.Simple(f);
  if (usable_) CheckSurroundings(tags);
}

// What the sweep checks besides the value itself: whether the text before
// a value could start a tag reaching into it, or a later field's value
// sits close before it. Values may be empty, so only the pieces between
// count towards the distance.
void RepetitionPlan::CheckSurroundings(const FieldTags& tags) {
  if (std::any_of(slots_.begin(), slots_.end(), [](const Slot& slot) { return OpensTag(slot.before); })) {
    usable_ = false;
    return;
  }
  const std::size_t reach = tags.LongestTag();
  // Where each value stands among the pieces alone, and the slots whose
  // value stands less than reach before slot i's, highest field first: a
  // window sliding over the slots, so that many adjacent placeholders cost
  // no more than a few.
  std::vector<std::size_t> valueAt(slots_.size());
  std::deque<std::size_t> near;
  std::size_t pieces = 0;
  for (std::size_t i = 0; i < slots_.size() && usable_; ++i) {
    if (i > 0) {
      while (!near.empty() && slots_[near.back()].field <= slots_[i - 1].field) near.pop_back();
      near.push_back(i - 1);
    }
    pieces += slots_[i].before.size();
    valueAt[i] = pieces;
    while (!near.empty() && pieces - valueAt[near.front()] >= reach) near.pop_front();
    usable_ = near.empty() || slots_[near.front()].field <= slots_[i].field;
  }
}

bool RepetitionPlan::Fill(const FieldTags& tags, RowCursors& cursors, FieldTags::ValueBuffers& buffers,
                          std::u16string& out) const {
  if (!usable_ || slots_.empty()) return false;
  for (const int f : bodyFields_)
    if (cursors[static_cast<std::size_t>(f)] > tags.LastRow()) return false;
  for (std::size_t i = 0; i < slots_.size(); ++i)
    cells_[i] = {slots_[i].field, cursors[static_cast<std::size_t>(slots_[i].field)]};
  tags.Cells(cells_.data(), cells_.size(), values_.data(), held_.data());
  std::size_t size = literalSize_;
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    // Most cells hold neither a line-break marker nor a "<": they are their
    // values, and form no tag.
    if (HoldsEitherUnit(values_[i], u'<', u'|')) {
      const std::u16string_view value = tags.Value(cells_[i].field, cells_[i].row, buffers);
      if (OpensTag(value)) return false;
      values_[i] = held_[i].assign(value);
    }
    size += values_[i].size();
  }
  const std::size_t at = out.size();
  out.resize(at + size);
  char16_t* to = out.data() + at;
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    to = Put(to, slots_[i].before);
    to = Put(to, values_[i]);
  }
  Put(to, after_);
  for (const Slot& slot : slots_) ++cursors[static_cast<std::size_t>(slot.field)];
  return true;
}

}  // namespace quillary
