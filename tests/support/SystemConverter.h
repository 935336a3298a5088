#pragma once
// glibc's iconv asked directly, a whole text in one pass: the reference the
// encoding layer's own tables and UTF-8 code must agree with.

#include <iconv.h>

#include <optional>
#include <string>
#include <string_view>

namespace quillary::testing {

// The bytes converted, or nothing where the converter refuses them.
inline std::optional<std::string> Converted(const char* to, const char* from, std::string_view in) {
  iconv_t handle = iconv_open(to, from);
  std::string out(in.size() * 4 + 8, '\0');
  char* inPtr = const_cast<char*>(in.data());
  std::size_t inLeft = in.size();
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  const bool ok = iconv(handle, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(handle);
  if (!ok) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

// UTF-16 text as the converter's "UTF-16LE" bytes.
inline std::string Wide(std::u16string_view text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

}  // namespace quillary::testing
