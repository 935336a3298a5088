#pragma once
// The one place that knows the file code page (Japanese multi-byte, CP932).
// Text in memory is UTF-16; files are bytes in the code page.

#include <string>
#include <string_view>

namespace quillary {

// Every byte that does not decode becomes one U+FFFD; nothing is dropped.
std::u16string DecodeCodePage(std::string_view bytes);

// Throws UnencodableCharError for the first character the code page cannot
// express exactly (including an unpaired surrogate); never substitutes.
std::string EncodeCodePage(std::u16string_view text);

// Reads one whole character (a surrogate pair counts as one) at position.
char32_t CodePointAt(std::u16string_view text, std::size_t position);

}  // namespace quillary
