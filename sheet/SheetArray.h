#pragma once
// The work array between the sheet and the files: [field][row], each element
// a text or empty (never assigned). Field f is grid column f + 1; row r is
// grid row r (row 0 holds the field names).

#include <optional>
#include <string>
#include <vector>

#include "sheet/SharedText.h"

namespace quillary {

class Sheet;

class SheetArray {
 public:
  SheetArray() = default;
  SheetArray(int fields, int rows);

  int Fields() const { return static_cast<int>(fields_.size()); }
  int Rows() const { return rows_; }

  bool HasValue(int field, int row) const { return fields_[field][row].has_value(); }
  // An empty element reads as the empty text.
  const std::u16string& Text(int field, int row) const;
  void Set(int field, int row, std::u16string text) { fields_[field][row] = SharedText(std::move(text)); }
  // The element's text as held (empty for an empty element), to share it
  // with a sheet without copying.
  SharedText Shared(int field, int row) const { return fields_[field][row].value_or(SharedText()); }
  void SetShared(int field, int row, SharedText text) { fields_[field][row] = std::move(text); }

  // Keeps the rows that stay; new elements are empty.
  void ResizeRows(int rows);

  // Fields 0..Cols-2 and rows 0..Rows-1 copied from the grid's cells
  // (column 0, the row labels, is not stored).
  static SheetArray FromSheet(const Sheet& sheet);

  bool operator==(const SheetArray&) const = default;

 private:
  int rows_ = 0;
  std::vector<std::vector<std::optional<SharedText>>> fields_;
};

// The start-up array: 41 x 41 empty elements.
SheetArray MakeInitialSheetArray();

}  // namespace quillary
