#pragma once
// The placeholder tags of the processed fields, found by name: which tags
// begin at a "<!-- " in a text, the fields each tag belongs to, and the
// values the fields insert.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "convert/NameIndex.h"
#include "platform/UnitSearch.h"
#include "sheet/CellSource.h"

namespace quillary {

inline constexpr std::u16string_view kTagOpen = u"<!-- ";
inline constexpr std::u16string_view kTagClose = u" -->";

// Where the next "<!-- " begins, at or after `from`; npos if none. Found by
// its "!", far rarer in a page than its "<": the whole output is searched.
inline std::size_t FindTagOpen(std::u16string_view text, std::size_t from = 0) {
  for (std::size_t bang = FindUnit(text, u'!', from + 1); bang != std::u16string_view::npos;
       bang = FindUnit(text, u'!', bang + 1))
    if (text.substr(bang - 1, kTagOpen.size()) == kTagOpen) return bang - 1;
  return std::u16string_view::npos;
}

class FieldTags {
 public:
  FieldTags(const CellSource& cells, int fields);
  // Names are views into the tags: never copied or moved.
  FieldTags(const FieldTags&) = delete;
  FieldTags& operator=(const FieldTags&) = delete;

  int Fields() const { return static_cast<int>(tagOf_.size()); }
  int LastRow() const { return lastRow_; }
  const std::u16string& Tag(int field) const { return tags_[static_cast<std::size_t>(tagOf_[field])]; }
  int TagOf(int field) const { return tagOf_[static_cast<std::size_t>(field)]; }
  // The fields sharing one tag, in field order.
  std::span<const int> FieldsOf(int tag) const {
    const auto t = static_cast<std::size_t>(tag);
    return std::span<const int>(fieldsByTag_).subspan(fieldsStart_[t], fieldsStart_[t + 1] - fieldsStart_[t]);
  }
  int TagCount() const { return static_cast<int>(tags_.size()); }
  const std::u16string& TagText(int tag) const { return tags_[static_cast<std::size_t>(tag)]; }
  std::size_t LongestTag() const { return longestTag_; }
  // A tag holding one "<!-- " only (its own first characters): no other
  // tag's occurrence can overlap or contain one of it at another start.
  bool Simple(int field) const { return simple_[static_cast<std::size_t>(TagOf(field))]; }

  // Calls visit(tag, length) for each tag that occurs at `at`, where the
  // text holds a "<!-- ", shortest first. Reads no further than the longest
  // name that matches there, and a " -->" after each. False when the text
  // ends too soon to rule out a longer tag.
  template <typename Visit>
  bool AtOpen(std::u16string_view text, std::size_t at, Visit&& visit) const {
    bool cut = false;
    const bool walked = names_.Walk(text, at + kTagOpen.size(), [&](int tag, std::size_t nameEnd) {
      const std::u16string_view close = text.substr(nameEnd, kTagClose.size());
      if (close == kTagClose)
        visit(tag, nameEnd + kTagClose.size() - at);
      else if (close.size() < kTagClose.size() && kTagClose.starts_with(close))
        cut = true;
    });
    return walked && !cut;
  }

  // The cell as it is written: every line-break marker becomes "<BR>".
  // Valid until the next call with the same buffers.
  struct ValueBuffers {
    std::u16string cell, value;
  };
  std::u16string_view Value(int field, int row, ValueBuffers& buffers) const;
  // The cells themselves, scratches[i] serving cells[i].
  void Cells(const CellAt* cells, std::size_t count, std::u16string_view* texts, std::u16string* scratches) const {
    cells_.Texts(cells, count, texts, scratches);
  }

 private:
  const CellSource& cells_;
  int lastRow_;
  std::vector<std::u16string> tags_;
  std::vector<int> tagOf_;
  std::vector<int> fieldsByTag_;          // the fields of tag t are those from fieldsStart_[t]
  std::vector<std::size_t> fieldsStart_;  // to fieldsStart_[t + 1]
  std::vector<bool> simple_;
  std::size_t longestTag_ = 0;
  // Names are views into tags_, which never grows after construction.
  NameIndex names_;
};

// Each "<!-- " of the text with the tags that occur there.
struct TagAt {
  std::size_t at;
  int tag;
  std::size_t length;
};
std::vector<TagAt> FindTags(std::u16string_view text, const FieldTags& tags);

// The placeholders a sweep fills, in text order: at each "<!-- " the lowest
// field that candidate(tag) gives (-1: none) for any tag there fills it,
// and the other tags there are gone with the characters it replaces, as
// is a tag that begins inside one filled before. Calls
// fill(at, field, length) for each.
template <typename Candidate, typename Fill>
void ForEachFilledTag(const std::vector<TagAt>& found, Candidate&& candidate, Fill&& fill) {
  std::size_t end = 0;
  for (std::size_t i = 0; i < found.size();) {
    const std::size_t at = found[i].at;
    int winner = -1;
    std::size_t length = 0;
    for (; i < found.size() && found[i].at == at; ++i) {
      const int f = candidate(found[i].tag);
      if (f >= 0 && (winner < 0 || f < winner)) {
        winner = f;
        length = found[i].length;
      }
    }
    if (winner < 0 || at < end) continue;
    fill(at, winner, length);
    end = at + length;
  }
}

// Whether text holds a "<!-- " or ends with its first characters: whether
// a tag could begin in it.
bool OpensTag(std::u16string_view text);

}  // namespace quillary
