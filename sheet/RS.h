#pragma once
// Substring replacement (ReplaceAll), used throughout: markers, line
// breaks, quotes.

#include <string>
#include <string_view>

namespace quillary {

// Replaces every occurrence of find in text, resuming just after each
// inserted replacement. Returns the number of replacements plus one, so for
// find = "," it counts the comma-separated pieces. An empty find leaves the
// text alone and returns 1.
int ReplaceAll(std::u16string& text, std::u16string_view find, std::u16string_view replacement);

// The copying form: text with every occurrence of find replaced, resuming
// after each inserted replacement; an empty find returns the text unchanged.
std::u16string ReplaceOccurrences(std::u16string_view text, std::u16string_view find, std::u16string_view replacement);

}  // namespace quillary
