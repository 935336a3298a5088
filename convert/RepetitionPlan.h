#pragma once
// One repetition of a block as a single sweep makes it while every field of
// the body has rows left: the body's literal pieces and, between them, the
// fields that fill. A repetition made by the plan is the sweep's own result
// whenever no value can form a tag, which is checked value by value; the
// text around each value is checked once, when the plan is made.

#include <string>
#include <string_view>
#include <vector>

#include "convert/FieldTags.h"
#include "convert/RowCursors.h"

namespace quillary {

class RepetitionPlan {
 public:
  RepetitionPlan(std::u16string_view body, const std::vector<TagAt>& bodyTags, const FieldTags& tags);

  // Appends the repetition to out and moves the cursors on; false, with
  // out and the cursors untouched, where the sweep must make it instead.
  bool Fill(const FieldTags& tags, RowCursors& cursors, FieldTags::ValueBuffers& buffers, std::u16string& out) const;

 private:
  struct Slot {
    std::u16string_view before;  // the body's text since the previous slot
    int field;
  };
  void CheckSurroundings(const FieldTags& tags);

  std::vector<Slot> slots_;
  std::u16string_view after_;
  std::vector<int> bodyFields_;  // every field of a tag in the body
  std::size_t literalSize_ = 0;  // of the pieces together
  bool usable_ = true;
  // A repetition's cells and values, all looked at before any is written;
  // each value's own buffer.
  mutable std::vector<CellAt> cells_;
  mutable std::vector<std::u16string_view> values_;
  mutable std::vector<std::u16string> held_;
};

}  // namespace quillary
