#include "convert/RecordCells.h"

namespace quillary {

SheetArray RecordArray(const SheetArray& array, int record) {
  SheetArray one(array.Fields(), 2);
  for (int f = 0; f < array.Fields(); ++f) {
    if (array.HasValue(f, 0)) one.SetShared(f, 0, array.Shared(f, 0));
    if (record < array.Rows() && array.HasValue(f, record)) one.SetShared(f, 1, array.Shared(f, record));
  }
  return one;
}

}  // namespace quillary
