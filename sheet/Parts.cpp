#include "sheet/Parts.h"

#include "sheet/RS.h"
#include "sheet/SheetArray.h"

namespace quillary {

std::u16string BuildCsv(const SheetArray& array, char16_t separator, std::u16string_view lineSeparator,
                        char16_t quote) {
  const std::u16string quoteText(1, quote);
  const std::u16string doubledQuote(2, quote);
  std::u16string result;
  std::size_t size = 0;
  for (int row = 0; row < array.Rows(); ++row)
    for (int field = 0; field < array.Fields(); ++field) size += array.Text(field, row).size() + 3;
  result.reserve(size + array.Rows() * lineSeparator.size());
  for (int row = 0; row < array.Rows(); ++row) {
    for (int field = 0; field < array.Fields(); ++field) {
      result += quote;
      const std::u16string& value = array.Text(field, row);
      if (value.find(quote) == std::u16string::npos)
        result += value;
      else
        result += ReplaceOccurrences(value, quoteText, doubledQuote);
      result += quote;
      if (field + 1 < array.Fields()) result += separator;
    }
    result += lineSeparator;
  }
  return result;
}

}  // namespace quillary
