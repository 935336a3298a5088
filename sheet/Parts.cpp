#include "sheet/Parts.h"

#include "sheet/RS.h"
#include "sheet/SheetArray.h"

namespace quillary {

void AppendCsvRows(const SheetArray& array, int first, int end, char16_t separator, std::u16string_view lineSeparator,
                   char16_t quote, std::u16string& out) {
  const std::u16string quoteText(1, quote);
  const std::u16string doubledQuote(2, quote);
  for (int row = first; row < end; ++row) {
    for (int field = 0; field < array.Fields(); ++field) {
      out += quote;
      const std::u16string_view value = array.Text(field, row);
      if (value.find(quote) == std::u16string_view::npos)
        out += value;
      else
        out += ReplaceOccurrences(value, quoteText, doubledQuote);
      out += quote;
      if (field + 1 < array.Fields()) out += separator;
    }
    out += lineSeparator;
  }
}

std::u16string BuildCsv(const SheetArray& array, char16_t separator, std::u16string_view lineSeparator,
                        char16_t quote) {
  std::size_t size = 0;
  for (int field = 0; field < array.Fields(); ++field)
    array.Field(field).ForEach([&](std::size_t, const SharedText& text) { size += text.size() + 3; });
  std::u16string result;
  result.reserve(size + static_cast<std::size_t>(array.Rows()) * lineSeparator.size());
  AppendCsvRows(array, 0, array.Rows(), separator, lineSeparator, quote, result);
  return result;
}

}  // namespace quillary
