#pragma once
// Fills the placeholders of a text exactly as the field-by-field passes do
// (each field in order searching the whole text again), in one sweep over
// the text for many fields at once.

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "convert/FieldTags.h"
#include "convert/RepetitionPlan.h"
#include "convert/Replacements.h"

namespace quillary {

// Two passes of different fields commute unless a value one inserts forms
// a tag of the other: a sweep takes a run of fields in field order and
// stops as soon as a value would do that; the run is then cut before the
// field whose tag was formed and swept again (a cut is remembered for the
// rest of the conversion). A tag holding a "<!-- " of its own may overlap
// others anywhere, so its field is filled on its own, the slow way.
class Filler {
 public:
  Filler(const FieldTags& tags, RowCursors& cursors);

  const FieldTags& Tags() const { return tags_; }

  // A stretch outside blocks: each field fills all its placeholders in
  // turn while it has rows, values searched again.
  void FillStretch(std::u16string& text);
  // One repetition of a block, appended to out: each field with rows fills
  // the first of its placeholders. Appends nothing and returns false when
  // no placeholder was filled. The plan, if any, is the pattern's: it
  // makes the repetition where it holds.
  bool FillRepetition(std::u16string_view pattern, const std::vector<TagAt>& patternTags, const RepetitionPlan* plan,
                      std::u16string& out);
  // For "BeginRepeat *": the most rows any field with a tag in the body
  // has left (0 when none has).
  long long RowsLeft(const std::vector<TagAt>& bodyTags) const;

 private:
  struct Cut {
    int creator, field;
  };
  bool Run(std::u16string_view input, const std::vector<TagAt>& inputTags, bool oncePerField, std::u16string& out);
  int BatchEnd(int first) const;
  bool CutAtItself(int field) const;
  // Sweeps fields first..end-1 over input into out; a cut if a value
  // would form a tag of one of them.
  std::optional<Cut> Sweep(std::u16string_view input, const std::vector<TagAt>& inputTags, int first, int end,
                           bool oncePerField, std::u16string& out);
  int FirstEligible(int tag, int first, int end, bool oncePerField);
  bool MayFormTag(const std::u16string& out, std::u16string_view value, int field);
  int FormedField(std::u16string_view input, std::u16string_view out, std::size_t index, int lowest, int end);
  bool FillAlone(std::u16string& text, int field, bool oncePerField);
  void FillAllOf(std::u16string& text, int field);

  const FieldTags& tags_;
  RowCursors& cursors_;
  std::vector<int> nextComplex_;  // the first field at or after f whose tag is not simple
  std::vector<Cut> cuts_;
  unsigned sweep_ = 0;
  std::vector<std::pair<unsigned, std::size_t>> firstOfTag_;  // per tag, for the current sweep
  std::vector<unsigned> usedIn_;                              // per field: the sweep it filled in
  std::vector<Replacement> replacements_;                     // made by the current sweep
  std::vector<std::size_t> toCheck_;                          // those that may have formed a tag
  // The replacements whose value ends within a tag's length of the output's
  // end, highest field first (a lower one before a higher is never asked for).
  std::deque<std::size_t> laterNear_;
  SilentRuns silent_;  // over replacements_, once a sweep has some to check
  FieldTags::ValueBuffers buffers_;
  std::u16string window_, scratch_[2], repetition_;
};

}  // namespace quillary
