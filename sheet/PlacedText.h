#pragma once
// A cell's text and where it stands: changes scattered over a sheet (a
// replace-all's) are listed as these rather than held as a whole table.

#include "sheet/SharedText.h"

namespace quillary {

struct PlacedText {
  int row = 0;
  int col = 0;
  SharedText text;
};

}  // namespace quillary
