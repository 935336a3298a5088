#include "sheet/SheetArray.h"

#include <algorithm>

#include "sheet/Sheet.h"

namespace quillary {

SheetArray::SheetArray(int fields, int rows)
    : rows_(rows), fields_(static_cast<std::size_t>(fields), CellColumn(static_cast<std::size_t>(rows))) {}

void SheetArray::ResizeRows(int rows) {
  for (auto& field : fields_) field.Resize(static_cast<std::size_t>(rows));
  rows_ = rows;
}

SheetArray SheetArray::FromSheet(const Sheet& sheet) {
  std::vector<CellColumn> fields;
  fields.reserve(static_cast<std::size_t>(std::max(sheet.Cols() - 1, 0)));
  for (int c = 1; c < sheet.Cols(); ++c) fields.push_back(sheet.Column(c));
  return SheetArray(sheet.Rows(), std::move(fields));
}

SheetArray MakeInitialSheetArray() { return SheetArray(41, 41); }

}  // namespace quillary
