#pragma once
// A sheet of the field names and one record of another: a record's page is
// the template expanded against it, so every placeholder takes that
// record's value and repeat blocks follow the usual rules over one row.

#include "sheet/CellSource.h"
#include "sheet/SheetArray.h"

namespace quillary {

class RecordCells final : public CellSource {
 public:
  // record: a row of cells from 1.
  RecordCells(const CellSource& cells, int record) : cells_(cells), record_(record) {}
  int Fields() const override { return cells_.Fields(); }
  int Rows() const override { return 2; }
  std::u16string_view Text(int field, int row, std::u16string& scratch) const override {
    return cells_.Text(field, row == 0 ? 0 : record_, scratch);
  }

 private:
  const CellSource& cells_;
  int record_;
};

// The same as a work array, its texts shared with the array's: for the
// preview of one record's page.
SheetArray RecordArray(const SheetArray& array, int record);

}  // namespace quillary
