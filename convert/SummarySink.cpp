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
    scanBegin_ = appended_;
    const std::size_t keep = Scan(piece, false);
    pending_.assign(piece.substr(keep));
    pendingBegin_ = appended_ + keep;
  } else {
    pending_.append(piece);
    scanBegin_ = pendingBegin_;
    const std::size_t keep = Scan(pending_, false);
    pending_.erase(0, keep);
    pendingBegin_ += keep;
  }
  appended_ += piece.size();
}

void SummarySink::Finish() {
  scanBegin_ = pendingBegin_;
  Scan(pending_, true);
  pending_.clear();
  next_.Finish();
}

// Counts each "<!-- " it can; returns where the text still to keep begins.
std::size_t SummarySink::Scan(std::u16string_view text, bool final) {
  std::size_t keepFrom = text.size() - std::min(text.size(), kTagOpen.size() - 1);
  for (std::size_t at = FindTagOpen(text); at != npos;) {
    const std::size_t next = FindTagOpen(text, at + kTagOpen.size());
    if (!Count(text, at, next, final)) return at;
    keepFrom = std::max(keepFrom, at + kTagOpen.size());
    at = next;
  }
  return final ? text.size() : std::min(keepFrom, text.size());
}

// False when the text ends too soon to tell what begins at `at`; `next` is
// the following "<!-- ", if any.
bool SummarySink::Count(std::u16string_view text, std::size_t at, std::size_t next, bool final) {
  const std::size_t nameBegin = at + kTagOpen.size();
  // A name holding a "<!-- " is no comment of its own (an outer one of
  // nested ones): its " -->" comes before the next "<!-- " is whole. So
  // nothing past that is read, nor past the longest name listed.
  std::size_t reach = at + kLongestListedName + kTagOpen.size() + kTagClose.size();
  if (next != npos) reach = std::min(reach, next + kTagOpen.size() - 1 + kTagClose.size());
  const std::size_t close = text.substr(0, reach).find(kTagClose, nameBegin);
  found_.clear();
  const bool told = tags_.AtOpen(text, at, [&](int tag, std::size_t) { found_.push_back(tag); });
  if (!final && (!told || (close == npos && text.size() < reach))) return false;
  for (const int tag : found_) {
    const std::u16string& full = tags_.TagText(tag);
    Add(summary_.unfilled, unfilledIndex_,
        std::u16string_view(full).substr(kTagOpen.size(), full.size() - kTagOpen.size() - kTagClose.size()));
  }
  if (found_.empty() && close != npos) {
    const std::u16string_view name = text.substr(nameBegin, close - nameBegin);
    if (!IsRepeatComment(name)) {
      Add(summary_.unknown, unknownIndex_, name);
      if (unknownAt_ && scanBegin_ + at < unknownBefore_)
        unknownAt_->push_back({scanBegin_ + at, scanBegin_ + close + kTagClose.size()});
    }
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
