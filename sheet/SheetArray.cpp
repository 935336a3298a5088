#include "sheet/SheetArray.h"

#include "sheet/Sheet.h"

namespace quillary {

namespace {
const std::u16string kEmpty;
}

SheetArray::SheetArray(int fields, int rows)
    : rows_(rows), fields_(fields, std::vector<std::optional<SharedText>>(rows)) {}

const std::u16string& SheetArray::Text(int field, int row) const {
  const auto& element = fields_[field][row];
  return element ? element->get() : kEmpty;
}

void SheetArray::ResizeRows(int rows) {
  for (auto& field : fields_) field.resize(rows);
  rows_ = rows;
}

SheetArray SheetArray::FromSheet(const Sheet& sheet) {
  SheetArray array(sheet.Cols() > 0 ? sheet.Cols() - 1 : 0, sheet.Rows());
  for (int f = 0; f < array.Fields(); ++f)
    for (int r = 0; r < array.Rows(); ++r) array.SetShared(f, r, sheet.Shared(r, f + 1));
  return array;
}

SheetArray MakeInitialSheetArray() { return SheetArray(41, 41); }

}  // namespace quillary
