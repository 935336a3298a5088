#include "sheet/CSVRead.h"

#include <algorithm>

#include "platform/UnitSearch.h"
#include "sheet/SheetArray.h"

namespace quillary {

// Positions are 0-based; `next` is where the following field starts.
struct CsvReader::FieldEnd {
  std::size_t next;
  bool moreFields;  // the record goes on after this field
  // A quoted field that ends at the end of its line: the field read after
  // it, from past the line end, is not one of the record's.
  bool endsLine = false;
};

CsvReader::CsvReader(std::u16string_view text, char16_t separator, std::u16string_view lineSeparator, char16_t quote)
    : text_(text), separator_(separator), lineSeparator_(lineSeparator), quote_(quote) {}

// The text up to the next line separator; the line no separator ends is the
// final one.
std::u16string_view CsvReader::TakeLine() {
  std::size_t end = FindUnit(text_, lineSeparator_[0], position_);
  while (end != std::u16string_view::npos && text_.substr(end, lineSeparator_.size()) != lineSeparator_)
    end = FindUnit(text_, lineSeparator_[0], end + 1);
  std::u16string_view line;
  if (end == std::u16string_view::npos) {
    line = text_.substr(std::min(position_, text_.size()));
    position_ = text_.size();
    finalTaken_ = true;
  } else {
    line = text_.substr(position_, end - position_);
    position_ = end + lineSeparator_.size();
  }
  return line;
}

CsvReader::FieldEnd CsvReader::ReadPlainField(std::size_t j, std::u16string_view& cell) const {
  const std::size_t e = j < line_.size() ? FindUnit(line_, separator_, j) : std::u16string_view::npos;
  if (e == std::u16string_view::npos) {
    cell = line_.substr(std::min(j, line_.size()));
    return {line_.size() + 1, false};
  }
  cell = line_.substr(j, e - j);
  return {e + 1, true};
}

CsvReader::FieldEnd CsvReader::ReadQuotedField(std::size_t j, std::u16string& cell) {
  ++j;  // past the opening quote
  for (;;) {
    const std::size_t e = j < line_.size() ? FindUnit(line_, quote_, j) : std::u16string_view::npos;
    if (e != std::u16string_view::npos) {
      cell.append(line_.substr(j, e - j));
      j = e + 1;
      if (j >= line_.size()) return {j + 1, true, true};
      // A doubled quote may stand right before a line break inside the
      // value; any other last character of the line is not looked at.
      if (j + 1 == line_.size() && line_[j] != quote_ && line_[j] != separator_) return {j + 1, true, true};
      if (line_[j] == separator_) return {j + 1, true};
      if (line_[j] == quote_) {
        cell += quote_;
        ++j;
      }
      continue;
    }
    if (j < line_.size()) cell.append(line_.substr(j));
    // An unbalanced quote takes the rest of the text.
    if (finalTaken_) return {line_.size() + 1, false};
    cell.append(lineSeparator_);
    // The next line is read like any other, the text's last one included:
    // its closing quote ends the value and is not part of it.
    line_ = TakeLine();
    j = 0;
  }
}

bool CsvReader::Next(CsvRecord& record, std::size_t maxFields) {
  if (position_ >= text_.size() || finalTaken_) return false;
  line_ = TakeLine();
  record.fieldCount = 0;
  record.emptyLine = line_.empty();
  quotedFields_.clear();
  // The value strings the caller left in the record are written over,
  // keeping their buffers.
  std::size_t kept = 0, quoted = 0;
  std::u16string dropped;
  std::u16string_view plain;
  bool extraField = false;
  std::size_t j = 0;
  for (;;) {
    if (kept < maxFields && kept == record.fields.size()) {
      record.fields.emplace_back();
      record.offsets.emplace_back();
    }
    const bool isQuoted = j < line_.size() && line_[j] == quote_;
    if (kept < maxFields) record.offsets[kept] = LineOffset() + std::min(j + (isQuoted ? 1 : 0), line_.size());
    FieldEnd end{};
    if (isQuoted) {
      const bool keep = kept < maxFields;
      if (keep && quoted == record.values.size()) record.values.emplace_back();
      std::u16string& value = keep ? record.values[quoted] : dropped;
      value.clear();
      end = ReadQuotedField(j, value);
      if (keep) quotedFields_.emplace_back(kept++, quoted++);
    } else {
      end = ReadPlainField(j, plain);
      if (kept < maxFields) record.fields[kept++] = plain;
    }
    if (!extraField) ++record.fieldCount;
    extraField = end.endsLine;
    j = end.next;
    if (!end.moreFields) break;
  }
  record.fields.resize(kept);
  record.offsets.resize(kept);
  // The value strings no longer move once all are read.
  for (const auto& [field, value] : quotedFields_) record.fields[field] = record.values[value];
  return true;
}

int ParseCsv(std::u16string_view text, SheetArray& array, char16_t separator, std::u16string_view lineSeparator,
             char16_t quote, int maxRows) {
  const auto fields = static_cast<std::size_t>(array.Fields());
  CsvReader reader(text, separator, lineSeparator, quote);
  CsvRecord record;
  int row = 0;
  for (; row < maxRows && reader.Next(record, fields); ++row) {
    // Past the first record the rows grow in doubling steps, cut to the
    // records read at the end: a row at a time would make every column's
    // last chunk again for each record.
    if (row == 0)
      array.ResizeRows(1);
    else if (row >= array.Rows())
      array.ResizeRows(static_cast<int>(std::min(2LL * row, static_cast<long long>(maxRows))));
    for (std::size_t f = 0; f < record.fields.size(); ++f)
      array.Set(static_cast<int>(f), row, std::u16string(record.fields[f]));
  }
  if (row > 0) array.ResizeRows(row);
  return array.Rows() - 1;
}

}  // namespace quillary
