#pragma once
// A work array read through CellSource: how the window's sheet reaches the
// page writer (RecordPages.h) and the record preview.

#include "sheet/CellSource.h"
#include "sheet/SheetArray.h"

namespace quillary {

class SheetArrayCells final : public CellSource {
 public:
  explicit SheetArrayCells(const SheetArray& array) : array_(array) {}
  int Fields() const override { return array_.Fields(); }
  int Rows() const override { return array_.Rows(); }
  std::u16string_view Text(int field, int row, std::u16string&) const override { return array_.Text(field, row); }

 private:
  const SheetArray& array_;
};

}  // namespace quillary
