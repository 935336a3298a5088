#include "sheet/TextBlockWriter.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <new>
#include <string>

namespace quillary {

TextBlockWriter::TextBlockWriter(std::size_t units) {
  if (units > std::numeric_limits<std::uint32_t>::max()) throw std::bad_alloc();
  if (units > 0) block_ = TextBlock::Held(UnitBuffer(units));
}

TextBlockWriter::~TextBlockWriter() {
  if (block_) block_->Release();
}

SharedText TextBlockWriter::Add(std::u16string_view text) {
  if (text.empty()) return SharedText();
  if (!block_ || text.size() > block_->View().size() - used_) return SharedText::Copy(text);
  std::copy(text.begin(), text.end(), block_->WritableUnits() + used_);
  SharedText written(block_, used_, text.size());
  used_ += text.size();
  return written;
}

}  // namespace quillary
