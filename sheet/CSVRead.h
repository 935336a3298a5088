#pragma once
// Reading CSV text: the record reader, and ParseCsv, which stores the
// records into a work array whose field count the caller has fixed.

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillary {

class SheetArray;

// One record as the reader reads it; valid until the reader reads the next.
struct CsvRecord {
  // The fields read, up to the most the caller keeps: a plain field's
  // characters in the text, a quoted field's value (quotes undone) held in
  // `values`. After a quoted field that ends at the end of its line the
  // reader reads one more, empty field from past the line end; it is kept
  // here too.
  std::vector<std::u16string_view> fields;
  // Where each kept field's characters start in the text (past the opening
  // quote of a quoted field); its value is never longer than what lies
  // between there and the field's end.
  std::vector<std::size_t> offsets;
  // The fields the record has: every field read except that extra one.
  std::size_t fieldCount = 0;
  // The record is an empty line (not even a pair of quotes).
  bool emptyLine = false;
  // Values of quoted fields, their buffers kept from record to record.
  std::vector<std::u16string> values;
};

// Splits CSV text into records, one at a time. A quoted field may run over
// line breaks; the line separator then becomes part of its value.
class CsvReader {
 public:
  CsvReader(std::u16string_view text, char16_t separator, std::u16string_view lineSeparator, char16_t quote);

  // Reads the next record into record, keeping at most maxFields of its
  // fields (the others are read and counted); false when the text is used
  // up. A text ending with the line separator has no record after it.
  bool Next(CsvRecord& record, std::size_t maxFields = std::numeric_limits<std::size_t>::max());
  // Where the next record begins.
  std::size_t Position() const { return position_; }

 private:
  struct FieldEnd;
  std::u16string_view TakeLine();
  std::size_t LineOffset() const { return static_cast<std::size_t>(line_.data() - text_.data()); }
  FieldEnd ReadPlainField(std::size_t j, std::u16string_view& cell) const;
  FieldEnd ReadQuotedField(std::size_t j, std::u16string& cell);

  std::u16string_view text_;
  char16_t separator_;
  std::u16string_view lineSeparator_;
  char16_t quote_;
  std::size_t position_ = 0;
  bool finalTaken_ = false;
  std::u16string_view line_;
  // The kept quoted fields of the record being read: (field, value).
  std::vector<std::pair<std::size_t, std::size_t>> quotedFields_;
};

// Splits CSV text into records and fields and stores record i into row i of
// the array, keeping the array's field count (surplus fields are dropped,
// missing ones stay empty). The row count becomes the number of records.
// Returns the highest row index written (records read - 1). Reading stops
// after maxRows records; the rest of the text is not looked at.
int ParseCsv(std::u16string_view text, SheetArray& array, char16_t separator, std::u16string_view lineSeparator,
             char16_t quote, int maxRows = std::numeric_limits<int>::max());

}  // namespace quillary
