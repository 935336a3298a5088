#pragma once
// The encodings of the user's text files: UTF-8 (with or without the
// byte-order mark) and the Japanese code page CP932. A file's encoding is
// decided from its bytes alone; text in memory is UTF-16.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/UndecodableBytes.h"

namespace quillary {

enum class TextEncoding { Cp932, Utf8, Utf8WithBom };

// "CP932", "UTF-8", "UTF-8 with BOM": for messages in English.
const char* EncodingName(TextEncoding encoding);

struct DecodedText {
  std::u16string text;
  TextEncoding encoding = TextEncoding::Cp932;
  // No byte of 0x80 or above: the text reads the same in every encoding.
  bool ascii = false;
  UndecodableBytes undecodable;
};

// The rule for every file the program reads: a UTF-8 byte-order mark means
// UTF-8 (the mark is not text); otherwise bytes that are all well-formed
// UTF-8 and hold at least one byte of 0x80 or above are UTF-8; anything else
// is CP932. Where bytes read as CP932 hold at least twice as many
// well-formed UTF-8 multi-byte sequences as malformed ones, they are taken
// for damaged UTF-8, and undecodable tells the malformed sequences.
DecodedText DecodeText(std::string_view bytes);
// The same rule without decoding: the encoding, and whether the bytes are
// all ASCII.
TextEncoding DetectEncoding(std::string_view bytes, bool& ascii);

// The file's bytes for the text, with the mark for Utf8WithBom. Throws
// UnencodableCharError for the first character the encoding cannot hold
// (any unpaired surrogate; in CP932 whatever its table lacks).
std::string EncodeText(std::u16string_view text, TextEncoding encoding);

}  // namespace quillary
