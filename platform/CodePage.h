#pragma once
// The Japanese code page CP932, through glibc's iconv tables. Text in memory
// is UTF-16; TextEncoding decides when a file is in this code page.

#include <string>
#include <string_view>

#include "platform/UndecodableBytes.h"

namespace quillary {

// Every byte that does not decode becomes one U+FFFD; nothing is dropped.
// The bytes that did not decode are counted in undecodable when given.
std::u16string DecodeCodePage(std::string_view bytes, UndecodableBytes* undecodable = nullptr);

// Throws UnencodableCharError for the first character the code page cannot
// express exactly (including an unpaired surrogate); never substitutes.
std::string EncodeCodePage(std::u16string_view text);
// The same written at out, which has room for two bytes a unit; returns the
// end of what was written.
char* EncodeCodePageTo(std::u16string_view text, char* out);
// How many units from the start of text the code page can express: the
// position of the first unit it cannot (text.size() when there is none).
std::size_t CodePagePrefix(std::u16string_view text);

// Reads one whole character (a surrogate pair counts as one) at position.
char32_t CodePointAt(std::u16string_view text, std::size_t position);

}  // namespace quillary
