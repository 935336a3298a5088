#pragma once
// Characters an HTML page's encoding lacks, written as numeric character
// references ("&#x1F600;") instead of refusing the page: a browser shows
// them as the characters themselves.

#include <cstddef>
#include <filesystem>
#include <string_view>

#include "platform/TextEncoder.h"

namespace quillary {

// A template named .htm or .html (in any case) makes HTML.
bool IsHtmlTemplateName(const std::filesystem::path& path);

// Hands a text on to a CP932 encoder, every character the code page cannot
// express written as a reference and counted. An unpaired surrogate is no
// character: it goes on as it is, and the encoder refuses it.
class ReferencingEncoder {
 public:
  explicit ReferencingEncoder(TextEncoder& encoder) : encoder_(encoder) {}
  void Append(std::u16string_view piece);
  // A high surrogate left waiting at the end goes on alone.
  void Finish();
  std::size_t References() const { return references_; }

 private:
  void Reference(char32_t character);

  TextEncoder& encoder_;
  std::size_t references_ = 0;
  // A high surrogate ending a piece waits for the low one.
  char16_t high_ = 0;
};

}  // namespace quillary
