#include "convert/Filler.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "convert/Replacements.h"
#include "convert/ScanBuffer.h"

namespace quillary {

namespace {

constexpr auto npos = std::u16string_view::npos;

}  // namespace

Filler::Filler(const FieldTags& tags, RowCursors& cursors)
    : tags_(tags),
      cursors_(cursors),
      nextComplex_(static_cast<std::size_t>(tags.Fields()) + 1, tags.Fields()),
      usedIn_(static_cast<std::size_t>(tags.Fields()), 0) {
  for (int f = tags.Fields() - 1; f >= 0; --f)
    nextComplex_[static_cast<std::size_t>(f)] = tags.Simple(f) ? nextComplex_[static_cast<std::size_t>(f) + 1] : f;
  firstOfTag_.assign(static_cast<std::size_t>(tags.TagCount()), {0, 0});
}

void Filler::FillStretch(std::u16string& text) {
  std::u16string out;
  Run(text, FindTags(text, tags_), false, out);
  text.swap(out);
}

bool Filler::FillRepetition(std::u16string_view pattern, const std::vector<TagAt>& patternTags,
                            const RepetitionPlan* plan, std::u16string& out) {
  // A cut splits the fields into runs: no longer one sweep.
  if (plan && cuts_.empty() && plan->Fill(tags_, cursors_, buffers_, out)) return true;
  if (!Run(pattern, patternTags, true, repetition_)) return false;
  out.append(repetition_);
  return true;
}

long long Filler::RowsLeft(const std::vector<TagAt>& bodyTags) const {
  long long most = 0;
  // A tag many fields share may stand in the body many times: its fields once.
  std::vector<char> seen(firstOfTag_.size(), 0);
  for (const TagAt& found : bodyTags) {
    if (std::exchange(seen[static_cast<std::size_t>(found.tag)], 1)) continue;
    for (const int f : tags_.FieldsOf(found.tag))
      most = std::max(most, static_cast<long long>(tags_.LastRow()) - cursors_[static_cast<std::size_t>(f)] + 1);
  }
  return most;
}

bool Filler::Run(std::u16string_view input, const std::vector<TagAt>& inputTags, bool oncePerField,
                 std::u16string& out) {
  // The text after the runs so far: the input until one has changed it.
  std::u16string& current = scratch_[0];
  std::u16string& swept = scratch_[1];
  bool changed = false, filled = false;
  std::vector<TagAt> currentTags;
  const std::vector<TagAt>* found = &inputTags;
  const auto text = [&] { return changed ? std::u16string_view(current) : input; };
  const auto hold = [&] {
    if (!changed) current.assign(input);
    changed = true;
  };
  for (int f = 0; f < tags_.Fields() && !found->empty();) {
    if (!tags_.Simple(f) || (!oncePerField && CutAtItself(f))) {
      hold();
      filled |= FillAlone(current, f++, oncePerField);
      currentTags = FindTags(current, tags_);
      found = &currentTags;
      continue;
    }
    const int end = BatchEnd(f);
    if (const std::optional<Cut> cut = Sweep(text(), *found, f, end, oncePerField, swept)) {
      cuts_.push_back(*cut);
      continue;
    }
    filled |= !replacements_.empty();
    current.swap(swept);
    changed = true;
    f = end;
    if (f < tags_.Fields()) {
      currentTags = FindTags(current, tags_);
      found = &currentTags;
    }
  }
  if (changed)
    out.swap(current);
  else
    out.assign(input);
  return filled;
}

int Filler::BatchEnd(int first) const {
  int end = nextComplex_[static_cast<std::size_t>(first) + 1];
  for (const Cut& cut : cuts_)
    if (cut.creator >= first && cut.field > first) end = std::min(end, cut.field);
  return end;
}

bool Filler::CutAtItself(int field) const {
  return std::any_of(cuts_.begin(), cuts_.end(),
                     [&](const Cut& cut) { return cut.field == field && cut.creator == field; });
}

std::optional<Filler::Cut> Filler::Sweep(std::u16string_view input, const std::vector<TagAt>& inputTags, int first,
                                         int end, bool oncePerField, std::u16string& out) {
  ++sweep_;
  replacements_.clear();
  toCheck_.clear();
  laterNear_.clear();
  out.clear();
  std::size_t pos = 0;
  // The lowest field with a row for any tag at a "<!-- " fills it.
  ForEachFilledTag(
      inputTags, [&](int tag) { return FirstEligible(tag, first, end, oncePerField); },
      [&](std::size_t at, int winner, std::size_t length) {
        out.append(input.substr(pos, at - pos));
        const std::u16string_view value = tags_.Value(winner, cursors_[static_cast<std::size_t>(winner)]++, buffers_);
        usedIn_[static_cast<std::size_t>(winner)] = sweep_;
        if (MayFormTag(out, value, winner)) toCheck_.push_back(replacements_.size());
        while (!laterNear_.empty() && replacements_[laterNear_.back()].field <= winner) laterNear_.pop_back();
        laterNear_.push_back(replacements_.size());
        replacements_.push_back({at, at + length, out.size(), out.size() + value.size(), winner});
        out.append(value);
        pos = at + length;
      });
  out.append(input.substr(pos));
  if (!toCheck_.empty()) silent_.Build(replacements_);
  for (const std::size_t index : toCheck_) {
    const int creator = replacements_[index].field;
    // In a repetition a field fills once, so a tag of its own stays text.
    const int formed = FormedField(input, out, index, oncePerField ? creator + 1 : creator, end);
    if (formed < 0) continue;
    for (const Replacement& r : replacements_) --cursors_[static_cast<std::size_t>(r.field)];
    replacements_.clear();
    return Cut{creator, formed};
  }
  return std::nullopt;
}

int Filler::FirstEligible(int tag, int first, int end, bool oncePerField) {
  // Fields only ever become ineligible during a sweep, so the position in
  // the tag's field list only moves on.
  const std::span<const int> fields = tags_.FieldsOf(tag);
  const auto eligible = [&](int field) {
    const auto f = static_cast<std::size_t>(field);
    return field >= first && field < end && cursors_[f] <= tags_.LastRow() && !(oncePerField && usedIn_[f] == sweep_);
  };
  // Most tags name one field.
  if (fields.size() == 1) return eligible(fields[0]) ? fields[0] : -1;
  auto& [sweep, k] = firstOfTag_[static_cast<std::size_t>(tag)];
  if (sweep != sweep_) {
    sweep = sweep_;
    k = static_cast<std::size_t>(std::lower_bound(fields.begin(), fields.end(), first) - fields.begin());
  }
  for (; k < fields.size() && fields[k] < end; ++k)
    if (eligible(fields[k])) return fields[k];
  return -1;
}

// Whether a tag could begin before the value's end and reach into it or
// past it, in the text as the field's own pass had it: only from a "<!-- "
// in the value, one cut by either join, or one close enough before it. That
// text differs from out only where a later field has filled a placeholder
// nearby (the pass saw the tag there).
bool Filler::MayFormTag(const std::u16string& out, std::u16string_view value, int field) {
  const std::size_t reach = tags_.LongestTag();
  if (OpensTag(value) || OpensTag(std::u16string_view(out).substr(out.size() - std::min(out.size(), reach - 1))))
    return true;
  while (!laterNear_.empty() && replacements_[laterNear_.front()].outEnd + reach <= out.size()) laterNear_.pop_front();
  return !laterNear_.empty() && replacements_[laterNear_.front()].field > field;
}

// The lowest field from lowest to end - 1 whose tag replacement `index`
// formed, in the text as its field's pass had it; -1 for none. Simple tags
// hold one "<!-- " only, so no earlier one can start them.
int Filler::FormedField(std::u16string_view input, std::u16string_view out, std::size_t index, int lowest, int end) {
  std::size_t valueBegin = 0;
  TextAroundReplacement(input, out, replacements_, silent_, index, tags_.LongestTag() - 1, tags_.LongestTag(), window_,
                        valueBegin);
  const Replacement& self = replacements_[index];
  const std::size_t valueEnd = valueBegin + (self.outEnd - self.outBegin);
  int formed = -1;
  for (std::size_t s = window_.find(kTagOpen); s != npos && s < valueEnd;
       s = window_.find(kTagOpen, s + kTagOpen.size())) {
    tags_.AtOpen(window_, s, [&](int tag, std::size_t length) {
      if (s + length <= valueBegin) return;  // wholly before the value: not new
      const std::span<const int> fields = tags_.FieldsOf(tag);
      const auto g = std::lower_bound(fields.begin(), fields.end(), lowest);
      if (g != fields.end() && *g < end && (formed < 0 || *g < formed)) formed = *g;
    });
  }
  return formed;
}

bool Filler::FillAlone(std::u16string& text, int field, bool oncePerField) {
  int& cursor = cursors_[static_cast<std::size_t>(field)];
  if (cursor > tags_.LastRow()) return false;
  const int before = cursor;
  if (oncePerField) {
    const std::size_t at = text.find(tags_.Tag(field));
    if (at == npos) return false;
    text.replace(at, tags_.Tag(field).size(), tags_.Value(field, cursor++, buffers_));
  } else {
    FillAllOf(text, field);
  }
  return cursor != before;
}

// Fills the successive placeholders of one field. Each one is the first tag
// of the current text, searched again from the start in the slow way; since
// the text ahead of a replaced tag held no tag, the next one cannot begin
// more than tag length - 1 before it. So the text is split at that point:
// done (final) and ahead (still to scan), and an inserted value is pushed in
// front of ahead together with the last tag length - 1 characters of done,
// so that a tag formed across either join is found.
void Filler::FillAllOf(std::u16string& text, int field) {
  int& cursor = cursors_[static_cast<std::size_t>(field)];
  const std::u16string& tag = tags_.Tag(field);
  const std::size_t first = text.find(tag);
  if (first == npos) return;
  std::u16string& done = window_;
  ScanBuffer ahead;
  done.assign(text, 0, first);
  ahead.Assign(std::u16string_view(text).substr(first + tag.size()));
  const std::size_t overlap = tag.size() - 1;
  for (;;) {
    ahead.Push(tags_.Value(field, cursor++, buffers_));
    const std::size_t back = std::min(overlap, done.size());
    ahead.Push(std::u16string_view(done).substr(done.size() - back));
    done.resize(done.size() - back);
    if (cursor > tags_.LastRow()) break;
    const std::size_t hit = ahead.View().find(tag);
    if (hit == npos) break;
    done.append(ahead.View().substr(0, hit));
    ahead.Drop(hit + tag.size());
  }
  done.append(ahead.View());
  text.swap(done);
}

}  // namespace quillary
