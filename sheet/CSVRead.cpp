#include "sheet/CSVRead.h"

#include <string>

#include "sheet/SheetArray.h"

namespace quillary {

namespace {

// The text cut into lines at the line separator, one at a time. The line
// that no separator ends is the final one.
class LineReader {
 public:
  LineReader(std::u16string_view text, std::u16string_view separator)
      : text_(text), separator_(separator) {}

  bool AtEnd() const { return position_ >= text_.size() || finalTaken_; }
  bool FinalTaken() const { return finalTaken_; }

  std::u16string_view Take() {
    const std::size_t end = text_.find(separator_, position_);
    std::u16string_view line;
    if (end == std::u16string_view::npos) {
      line = text_.substr(std::min(position_, text_.size()));
      position_ = text_.size();
      finalTaken_ = true;
    } else {
      line = text_.substr(position_, end - position_);
      position_ = end + separator_.size();
    }
    return line;
  }

 private:
  std::u16string_view text_;
  std::u16string_view separator_;
  std::size_t position_ = 0;
  bool finalTaken_ = false;
};

// Positions below are 0-based; `next` is where the following field starts.
struct FieldEnd {
  std::size_t next;
  bool moreFields;  // the record goes on after this field
};

FieldEnd ReadPlainField(std::u16string_view line, std::size_t j, char16_t separator,
                        std::u16string& cell) {
  const std::size_t e = j < line.size() ? line.find(separator, j) : std::u16string_view::npos;
  if (e == std::u16string_view::npos) {
    if (j < line.size()) cell.append(line.substr(j));
    return {line.size() + 1, false};
  }
  cell.append(line.substr(j, e - j));
  return {e + 1, true};
}

// A quoted field may run over line breaks; the line separator itself then
// becomes part of the value.
FieldEnd ReadQuotedField(std::u16string_view& line, std::size_t j, LineReader& lines,
                         char16_t separator, std::u16string_view lineSeparator, char16_t quote,
                         std::u16string& cell) {
  ++j;  // past the opening quote
  for (;;) {
    const std::size_t e = j < line.size() ? line.find(quote, j) : std::u16string_view::npos;
    if (e != std::u16string_view::npos) {
      cell.append(line.substr(j, e - j));
      j = e + 1;
      if (j >= line.size()) return {j + 1, true};
      // A doubled quote may stand right before a line break inside the
      // value; any other last character of the line is not looked at.
      if (j + 1 == line.size() && line[j] != quote) return {j + 1, true};
      if (line[j] == separator) return {j + 1, true};
      if (line[j] == quote) {
        cell += quote;
        ++j;
      }
      continue;
    }
    if (j < line.size()) cell.append(line.substr(j));
    cell.append(lineSeparator);
    line = lines.Take();
    if (lines.FinalTaken() && line.find(separator) == std::u16string_view::npos) {
      cell.append(line);
      return {line.size() + 1, false};
    }
    j = 0;
  }
}

}  // namespace

int ParseCsv(std::u16string_view text, SheetArray& array, char16_t separator,
             std::u16string_view lineSeparator, char16_t quote, int maxRows) {
  const int lastField = array.Fields() - 1;
  LineReader lines(text, lineSeparator);
  int row = 0;
  std::u16string cell;
  while (!lines.AtEnd() && row < maxRows) {
    std::u16string_view line = lines.Take();
    array.ResizeRows(row + 1);
    std::size_t j = 0;
    for (int field = 0;; ++field) {
      cell.clear();
      const FieldEnd end =
          j < line.size() && line[j] == quote
              ? ReadQuotedField(line, j, lines, separator, lineSeparator, quote, cell)
              : ReadPlainField(line, j, separator, cell);
      if (field <= lastField) array.Set(field, row, cell);
      j = end.next;
      if (!end.moreFields) break;
    }
    ++row;
  }
  return array.Rows() - 1;
}

}  // namespace quillary
