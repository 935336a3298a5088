#pragma once
// Sheets of mixed Japanese and ASCII values for benchmarks and large tests.

#include <string>

#include "sheet/Sheet.h"
#include "sheet/SheetArray.h"

namespace quillary::testing {

inline std::u16string SampleValue(int record, int field) {
  static const std::u16string words[] = {u"りんご",     u"Pear", u"東京都千代田区", u"120",
                                         u"say \"hi\"", u"a、b", u"改行|あり",      u"ｶﾀｶﾅ"};
  return words[(record + field) % 8] + DecimalText(record * 7 + field);
}

// records data rows plus the field-name row; fields data columns.
inline SheetArray SampleArray(int records, int fields) {
  SheetArray array(fields, records + 1);
  for (int f = 0; f < fields; ++f) {
    array.Set(f, 0, u"項目" + DecimalText(f + 1));
    for (int r = 1; r <= records; ++r) array.Set(f, r, SampleValue(r, f));
  }
  return array;
}

inline Sheet SampleSheet(int records, int fields) {
  Sheet sheet(records + 1, fields + 1);
  const SheetArray array = SampleArray(records, fields);
  for (int f = 0; f < fields; ++f)
    for (int r = 0; r <= records; ++r) sheet.SetShared(r, f + 1, array.Shared(f, r));
  LabelRows(sheet, 1, records);
  return sheet;
}

}  // namespace quillary::testing
