#include "platform/Errors.h"

#include <cstdio>

namespace quillary {

std::string UnencodableCharError::Hex(char32_t c) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%04X", static_cast<unsigned>(c));
  return buffer;
}

}  // namespace quillary
