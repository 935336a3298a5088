#pragma once
// Sheets and work arrays for tests.

#include <algorithm>
#include <string>
#include <vector>

#include "sheet/Sheet.h"
#include "sheet/SheetArray.h"

namespace quillary::testing {

// Each inner list is one field: its name, then its records.
inline SheetArray SheetOf(const std::vector<std::vector<std::u16string>>& fields) {
  std::size_t rows = 0;
  for (const auto& field : fields) rows = std::max(rows, field.size());
  SheetArray array(static_cast<int>(fields.size()), static_cast<int>(rows));
  for (std::size_t f = 0; f < fields.size(); ++f)
    for (std::size_t r = 0; r < fields[f].size(); ++r)
      array.Set(static_cast<int>(f), static_cast<int>(r), fields[f][r]);
  return array;
}

// Title, Name and Price with three records.
inline SheetArray FruitSheet() {
  return SheetOf({{u"Title", u"Fruit list", u"x", u"y"},
                  {u"Name", u"Apple", u"Pear", u"Plum"},
                  {u"Price", u"120", u"80|sale", u"95"}});
}

// records x fields, labelled; data cell (r, c) holds "r,c", so moved or
// lost cells show.
inline Sheet NumberedSheet(int records, int fields) {
  Sheet sheet(records + 1, fields + 1);
  LabelSheet(sheet);
  for (int r = 1; r <= records; ++r)
    for (int c = 1; c <= fields; ++c) sheet.SetText(r, c, DecimalText(r) + u"," + DecimalText(c));
  return sheet;
}

}  // namespace quillary::testing
