#pragma once
// Read access to a sheet's cells by [field][row], whatever holds them: the
// template engine reads through it.

#include <cstddef>
#include <string>
#include <string_view>

namespace quillary {

struct CellAt {
  int field, row;
};

class CellSource {
 public:
  virtual ~CellSource() = default;
  virtual int Fields() const = 0;
  virtual int Rows() const = 0;
  // The cell's text (empty for a cell never set), valid until the next call
  // with the same scratch or until the source changes; scratch may be used
  // to hold it.
  virtual std::u16string_view Text(int field, int row, std::u16string& scratch) const = 0;
  // Several cells at once, scratches[i] serving cells[i]: the converter
  // asks for a repetition's values in one call.
  virtual void Texts(const CellAt* cells, std::size_t count, std::u16string_view* texts,
                     std::u16string* scratches) const {
    for (std::size_t i = 0; i < count; ++i) texts[i] = Text(cells[i].field, cells[i].row, scratches[i]);
  }
};

}  // namespace quillary
