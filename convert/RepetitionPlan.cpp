#include "convert/RepetitionPlan.h"

#include <algorithm>

#include "platform/UnitSearch.h"

namespace quillary {

// The same choice as the sweep's, every field of the body having rows: at
// each "<!-- " the lowest field not yet filled in this repetition.
RepetitionPlan::RepetitionPlan(std::u16string_view body, const std::vector<TagAt>& bodyTags,
                               const FieldTags& tags) {
  const auto fields = static_cast<std::size_t>(tags.Fields());
  std::vector<char> filled(fields, 0), inBody(fields, 0);
  std::size_t pos = 0;
  ForEachFilledTag(
      bodyTags,
      [&](int tag) {
        const std::vector<int>& named = tags.FieldsOf(tag);
        for (const int f : named) inBody[static_cast<std::size_t>(f)] = 1;
        const auto f = std::find_if(named.begin(), named.end(), [&](int g) { return !filled[static_cast<std::size_t>(g)]; });
        return f == named.end() ? -1 : *f;
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
// sits close before it. Values may be empty, so the pieces within reach
// are taken as if they were.
void RepetitionPlan::CheckSurroundings(const FieldTags& tags) {
  const std::size_t reach = tags.LongestTag();
  for (std::size_t i = 0; i < slots_.size() && usable_; ++i) {
    std::size_t gap = 0;
    for (std::size_t j = i + 1; j-- > 0;) {
      const bool tailWithin = gap < reach - 1;
      if (tailWithin && OpensTag(slots_[j].before)) usable_ = false;
      gap += slots_[j].before.size();
      if (j > 0 && gap < reach && slots_[j - 1].field > slots_[i].field) usable_ = false;
      if (!usable_ || gap >= reach) break;
    }
  }
}

namespace {

// Pieces are mostly a few units long: a call to copy them would cost more
// than the copy.
char16_t* Put(char16_t* to, std::u16string_view piece) {
  if (piece.size() > 8) return std::char_traits<char16_t>::copy(to, piece.data(), piece.size()) + piece.size();
  for (const char16_t unit : piece) *to++ = unit;
  return to;
}

}  // namespace

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
