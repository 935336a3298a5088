#pragma once
// Work arrays for the engine's tests, written field by field.

#include <algorithm>
#include <string>
#include <vector>

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

}  // namespace quillary::testing
