#pragma once
// Texts written one after another into one block of a size known
// beforehand: each text's handle is made as soon as it is written, so no
// list of places is kept while the block fills (replace-all knows every new
// text's length before it makes any).

#include <cstddef>
#include <string_view>

#include "sheet/SharedText.h"

namespace quillary {

class TextBlockWriter {
 public:
  // Room for `units` units, made at once; past a handle's 32-bit places it
  // is refused as memory running out.
  explicit TextBlockWriter(std::size_t units);
  ~TextBlockWriter();
  TextBlockWriter(const TextBlockWriter&) = delete;
  TextBlockWriter& operator=(const TextBlockWriter&) = delete;

  // The text, written after those before it; one the room cannot take gets
  // a block of its own.
  SharedText Add(std::u16string_view text);

 private:
  TextBlock* block_ = nullptr;
  std::size_t used_ = 0;
};

}  // namespace quillary
