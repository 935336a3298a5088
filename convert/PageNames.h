#pragma once
// The file names of pages made from records: a name as the file system
// takes it, whatever the record's values hold.

#include <climits>
#include <cstddef>
#include <string>
#include <string_view>

namespace quillary {

// The file system's limit on one name, in bytes (UTF-8 on this system).
inline constexpr std::size_t kLongestFileName = NAME_MAX;

// The name made safe: the path separators "/" and "\", control characters
// (U+0000 to U+001F, U+007F to U+009F) and unpaired surrogates become "_";
// a name cut to at most maxBytes bytes of UTF-8 at a character boundary,
// keeping an extension of up to 16 characters ("…….html"); last, "." and
// ".." become "_" and "__". The empty name stays empty: it names nothing.
std::u16string SafeFileName(std::u16string_view name, std::size_t maxBytes = kLongestFileName);

}  // namespace quillary
