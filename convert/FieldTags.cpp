#include "convert/FieldTags.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <utility>

#include "platform/UnitSearch.h"

namespace quillary {

namespace {

std::size_t Count(std::u16string_view text, std::u16string_view part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::u16string_view::npos; at = text.find(part, at + part.size()))
    ++count;
  return count;
}

}  // namespace

// Runs for every value and the text before it, so it is written out: four
// units without a "<" at a time.
bool OpensTag(std::u16string_view text) {
  constexpr std::uint64_t kOpens = unit_search::kOnes * u'<';
  const std::size_t size = text.size();
  for (std::size_t i = 0; i < size; ++i) {
    for (std::uint64_t units; i + 4 <= size; i += 4) {
      std::memcpy(&units, text.data() + i, sizeof units);
      if (unit_search::HasZeroUnit(units ^ kOpens)) break;
    }
    if (i >= size) break;
    if (text[i] != u'<') continue;
    std::size_t matched = 1;
    while (matched < kTagOpen.size() && i + matched < size && text[i + matched] == kTagOpen[matched]) ++matched;
    if (matched == kTagOpen.size() || i + matched == size) return true;
  }
  return false;
}

FieldTags::FieldTags(const CellSource& cells, int fields) : cells_(cells), lastRow_(cells.Rows() - 1) {
  const int count = std::clamp(fields, 0, cells.Fields());
  // Reserved, the tags never move: the names found so far are views into them.
  tags_.reserve(static_cast<std::size_t>(count));
  tagOf_.reserve(static_cast<std::size_t>(count));
  {
    std::unordered_map<std::u16string_view, int> seen;
    std::u16string scratch, tag;
    for (int f = 0; f < count; ++f) {
      tag.assign(kTagOpen);
      tag.append(cells.Rows() > 0 ? cells.Text(f, 0, scratch) : std::u16string_view());
      tag.append(kTagClose);
      const auto found = seen.find(tag);
      if (found != seen.end()) {
        tagOf_.push_back(found->second);
        continue;
      }
      tagOf_.push_back(static_cast<int>(tags_.size()));
      tags_.push_back(tag);
      seen.emplace(tags_.back(), tagOf_.back());
    }
  }
  // Each tag's fields side by side, in field order.
  fieldsStart_.assign(tags_.size() + 1, 0);
  for (const int tag : tagOf_) ++fieldsStart_[static_cast<std::size_t>(tag) + 1];
  for (std::size_t t = 0; t < tags_.size(); ++t) fieldsStart_[t + 1] += fieldsStart_[t];
  fieldsByTag_.resize(tagOf_.size());
  std::vector<std::size_t> next(fieldsStart_.begin(), fieldsStart_.end() - 1);
  for (int f = 0; f < count; ++f)
    fieldsByTag_[next[static_cast<std::size_t>(tagOf_[static_cast<std::size_t>(f)])]++] = f;

  std::vector<NameIndex::Entry> names;
  names.reserve(tags_.size());
  for (const std::u16string& tag : tags_) {
    const auto id = static_cast<int>(names.size());
    names.push_back(
        {std::u16string_view(tag).substr(kTagOpen.size(), tag.size() - kTagOpen.size() - kTagClose.size()), id});
    simple_.push_back(Count(tag, kTagOpen) == 1);
    longestTag_ = std::max(longestTag_, tag.size());
  }
  names_ = NameIndex(std::move(names));
}

std::u16string_view FieldTags::Value(int field, int row, ValueBuffers& buffers) const {
  const std::u16string_view cell = cells_.Text(field, row, buffers.cell);
  if (FindUnit(cell, u'|') == std::u16string_view::npos) return cell;
  buffers.value.clear();
  for (const char16_t c : cell) {
    if (c == u'|')
      buffers.value.append(u"<BR>");
    else
      buffers.value.push_back(c);
  }
  return buffers.value;
}

std::vector<TagAt> FindTags(std::u16string_view text, const FieldTags& tags) {
  std::vector<TagAt> found;
  for (std::size_t at = text.find(kTagOpen); at != std::u16string_view::npos;
       at = text.find(kTagOpen, at + kTagOpen.size()))
    tags.AtOpen(text, at, [&](int tag, std::size_t length) { found.push_back({at, tag, length}); });
  return found;
}

}  // namespace quillary
