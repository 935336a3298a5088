#pragma once
// The work array between the sheet and the files: [field][row], each element
// a text (an element never assigned reads as the empty text). Field f is
// grid column f + 1; row r is grid row r (row 0 holds the field names). Its
// fields are columns of shared cells: taken from the sheet, they share the
// sheet's chunks and texts.

#include <string>
#include <string_view>
#include <vector>

#include "sheet/CellColumn.h"
#include "sheet/SharedText.h"

namespace quillary {

class Sheet;

class SheetArray {
 public:
  SheetArray() = default;
  SheetArray(int fields, int rows);
  // Fields of `rows` cells each.
  SheetArray(int rows, std::vector<CellColumn> fields) : rows_(rows), fields_(std::move(fields)) {}

  int Fields() const { return static_cast<int>(fields_.size()); }
  int Rows() const { return rows_; }

  // The element holds a text that is not empty.
  bool HasValue(int field, int row) const { return !Shared(field, row).empty(); }
  std::u16string_view Text(int field, int row) const { return Shared(field, row).get(); }
  void Set(int field, int row, std::u16string text) { SetShared(field, row, SharedText(std::move(text))); }
  // The element's text as held, to share it with a sheet without copying.
  const SharedText& Shared(int field, int row) const {
    return fields_[static_cast<std::size_t>(field)].At(static_cast<std::size_t>(row));
  }
  void SetShared(int field, int row, SharedText text) {
    fields_[static_cast<std::size_t>(field)].Set(static_cast<std::size_t>(row), std::move(text));
  }
  const CellColumn& Field(int field) const { return fields_[static_cast<std::size_t>(field)]; }

  // Keeps the rows that stay; new elements are empty.
  void ResizeRows(int rows);

  // Fields 0..Cols-2 and rows 0..Rows-1 copied from the grid's cells
  // (column 0, the row labels, is not stored).
  static SheetArray FromSheet(const Sheet& sheet);

  bool operator==(const SheetArray&) const = default;

 private:
  int rows_ = 0;
  std::vector<CellColumn> fields_;
};

// The start-up array: 41 x 41 empty elements.
SheetArray MakeInitialSheetArray();

}  // namespace quillary
