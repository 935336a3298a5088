#pragma once
// Read access to a sheet's cells by [field][row], whatever holds them: the
// template engine reads through it.

#include <string>
#include <string_view>

namespace quillary {

class CellSource {
 public:
  virtual ~CellSource() = default;
  virtual int Fields() const = 0;
  virtual int Rows() const = 0;
  // The cell's text (empty for a cell never set), valid until the next call
  // with the same scratch or until the source changes; scratch may be used
  // to hold it.
  virtual std::u16string_view Text(int field, int row, std::u16string& scratch) const = 0;
};

}  // namespace quillary
