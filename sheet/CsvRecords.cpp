#include "sheet/CsvRecords.h"

namespace quillary {

std::u16string_view LineSeparatorOf(std::u16string_view text) {
  constexpr std::u16string_view kCrLf = u"\r\n";
  if (text.find(kCrLf) != std::u16string_view::npos) return kCrLf;
  if (text.find(u'\r') != std::u16string_view::npos) return u"\r";
  if (text.find(u'\n') != std::u16string_view::npos) return u"\n";
  return kCrLf;
}

}  // namespace quillary
