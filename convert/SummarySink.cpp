#include "convert/SummarySink.h"

#include <algorithm>

namespace quillary {

namespace {

constexpr auto npos = std::u16string_view::npos;

bool IsRepeatComment(std::u16string_view name) { return name.starts_with(u"BeginRepeat ") || name == u"EndRepeat"; }

}  // namespace

void SummarySink::Append(std::u16string_view piece) {
  next_.Append(piece);
  if (pending_.empty()) {
    pending_.assign(piece.substr(Scan(piece, false)));
  } else {
    pending_.append(piece);
    pending_.erase(0, Scan(pending_, false));
  }
}

void SummarySink::Finish() {
  Scan(pending_, true);
  pending_.clear();
  next_.Finish();
}

// Counts each "<!-- " it can; returns where the text still to keep begins.
std::size_t SummarySink::Scan(std::u16string_view text, bool final) {
  std::size_t keepFrom = text.size() - std::min(text.size(), kTagOpen.size() - 1);
  for (std::size_t at = text.find(kTagOpen); at != npos; at = text.find(kTagOpen, at + kTagOpen.size())) {
    if (!Count(text, at, final)) return at;
    keepFrom = std::max(keepFrom, at + kTagOpen.size());
  }
  return final ? text.size() : std::min(keepFrom, text.size());
}

// False when the text ends too soon to tell what begins at `at`.
bool SummarySink::Count(std::u16string_view text, std::size_t at, bool final) {
  const std::size_t nameBegin = at + kTagOpen.size();
  const std::size_t longest = std::max(tags_.LongestTag(), kLongestListedName + kTagOpen.size() + kTagClose.size());
  std::size_t close = text.find(kTagClose, nameBegin);
  if (close != npos && close + kTagClose.size() - at > longest) close = npos;
  if (!final) {
    if (close == npos && text.size() - at < longest) return false;
    // Every tag that may begin here must have had the chance to end.
    bool seen = text.size() - at >= tags_.LongestTag();
    for (std::size_t closes = 0, c = nameBegin; !seen; c += kTagClose.size()) {
      c = text.find(kTagClose, c);
      if (c == npos) break;
      seen = ++closes > tags_.MostInnerCloses();
    }
    if (!seen) return false;
  }
  bool field = false;
  tags_.AtOpen(text, at, [&](int tag, std::size_t) {
    field = true;
    const std::u16string& full = tags_.TagText(tag);
    Add(summary_.unfilled, unfilledIndex_,
        std::u16string_view(full).substr(kTagOpen.size(), full.size() - kTagOpen.size() - kTagClose.size()));
  });
  if (!field && close != npos) {
    const std::u16string_view name = text.substr(nameBegin, close - nameBegin);
    // An outer "<!-- " of nested ones is not a comment of its own.
    if (name.find(kTagOpen) == npos && !IsRepeatComment(name)) Add(summary_.unknown, unknownIndex_, name);
  }
  return true;
}

void SummarySink::Add(NameCounts& counts, std::unordered_map<std::u16string, std::size_t>& index,
                      std::u16string_view name) {
  const auto [entry, isNew] = index.try_emplace(std::u16string(name), counts.size());
  if (isNew) counts.emplace_back(name, 0);
  ++counts[entry->second].second;
}

}  // namespace quillary
