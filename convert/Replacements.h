#pragma once
// The replacements one sweep made, and the text around one of them as the
// field-by-field passes would have had it when that field replaced it.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillary {

struct Replacement {
  std::size_t inputBegin, inputEnd;  // the tag in the sweep's input
  std::size_t outBegin, outEnd;      // the value in its output
  int field;
};

// Runs of adjacent replacements with empty values: the text a pass that
// has filled them sees holds nothing of them, so a walk through the text
// jumps over them to the first that still shows its tag, however long the
// run (a template of many placeholders of a column of empty cells).
class SilentRuns {
 public:
  void Build(const std::vector<Replacement>& replacements);
  // Walking leftwards from replacement j, adjacent to j - 1: where to go on
  // from, replacements from there to j - 1 showing nothing to the pass of
  // `field` (those of it and of fields before it show their values).
  std::size_t SkipLeft(std::size_t j, int field) const;
  // Walking rightwards to replacement j, adjacent to what came before: where
  // to go on to, replacements j to there - 1 showing nothing to the pass of
  // `field` (those of fields before it show their values).
  std::size_t SkipRight(std::size_t j, int field) const;

 private:
  bool Empty(std::size_t j) const { return (*replacements_)[j].outBegin == (*replacements_)[j].outEnd; }
  int Field(std::size_t j) const { return (*replacements_)[j].field; }

  const std::vector<Replacement>* replacements_ = nullptr;
  // Per replacement with an empty value: its run's first and last, and the
  // nearest in the run before and after it with a higher field.
  std::vector<std::size_t> begin_, end_, higherBefore_, higherAfter_;
};

// The pieces around replacements[index] when its field replaced it: fields
// before it had filled all theirs (their values), the field itself those on
// the left, and later fields none yet (their tags). At least `left`
// characters before the value and `right` after it, where the text has them.
// `silent` is built over the replacements.
void TextAroundReplacement(std::u16string_view input, std::u16string_view out,
                           const std::vector<Replacement>& replacements, const SilentRuns& silent, std::size_t index,
                           std::size_t left, std::size_t right, std::u16string& text, std::size_t& valueBegin);

}  // namespace quillary
