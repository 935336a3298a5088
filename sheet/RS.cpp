#include "sheet/RS.h"

namespace quillary {

int ReplaceAll(std::u16string& text, std::u16string_view find, std::u16string_view replacement) {
  if (find.empty()) return 1;
  std::size_t p = text.find(find);
  if (p == std::u16string::npos) return 1;
  // Build the result in one pass: resuming after each inserted replacement
  // means the replacements never take part in later matches.
  std::u16string result;
  result.reserve(text.size());
  std::size_t start = 0;
  int count = 1;
  while (p != std::u16string::npos) {
    result.append(text, start, p - start);
    result.append(replacement);
    start = p + find.size();
    ++count;
    p = text.find(find, start);
  }
  result.append(text, start, std::u16string::npos);
  text = std::move(result);
  return count;
}

std::u16string ReplaceOccurrences(std::u16string_view text, std::u16string_view find, std::u16string_view replacement) {
  std::u16string result(text);
  ReplaceAll(result, find, replacement);
  return result;
}

}  // namespace quillary
