#pragma once
// UTF-8 <-> UTF-16, written out: it must be exact about what is well-formed
// (no overlong forms, no surrogates, nothing past U+10FFFF, nothing cut off).

#include <optional>
#include <string>
#include <string_view>

#include "platform/UndecodableBytes.h"

namespace quillary {

// The text, or nothing at the first malformed sequence. sawHighByte tells
// whether any byte was 0x80 or above.
std::optional<std::u16string> DecodeWellFormedUtf8(std::string_view bytes, bool& sawHighByte);

// The units well-formed UTF-8 decodes to: one a sequence, two for those of
// four bytes. The bytes are counted, not checked.
std::size_t Utf16Length(std::string_view bytes);
// Decodes to out, which has room for a unit a byte; the end of what was
// written, or nullptr at the first malformed sequence (one cut off at the
// end included).
char16_t* DecodeWellFormedUtf8To(std::string_view bytes, char16_t* out, bool& sawHighByte);

// Whether the bytes are well-formed UTF-8, without decoding them.
bool IsWellFormedUtf8(std::string_view bytes, bool& sawHighByte);

// Every malformed sequence (its longest well-formed start, or one byte)
// becomes one U+FFFD and is counted in undecodable; offsets count from
// `base`, where these bytes start in the file.
std::u16string DecodeUtf8(std::string_view bytes, UndecodableBytes& undecodable, std::size_t base = 0);

// What keeps bytes from being well-formed UTF-8: each malformed sequence
// counted once, as DecodeUtf8 replaces them, beside the well-formed
// sequences of two bytes or more.
struct Utf8Damage {
  std::size_t wellFormed = 0;
  UndecodableBytes malformed;  // firstLine is not set
};
Utf8Damage FindUtf8Damage(std::string_view bytes);

// Throws UnencodableCharError at an unpaired surrogate.
std::string EncodeUtf8(std::u16string_view text);
// The same written at out, which has room for three bytes a unit; returns
// the end of what was written.
char* EncodeUtf8To(std::u16string_view text, char* out);

}  // namespace quillary
