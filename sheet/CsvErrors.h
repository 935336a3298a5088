#pragma once
// The ways a CSV file can fail to become a sheet, or a sheet a CSV file.

#include <string>

#include "platform/Errors.h"
#include "platform/TextEncoding.h"

namespace quillary {

// A file needs field names and at least one record.
class SheetTooSmallError : public Error {
 public:
  SheetTooSmallError() : Error("the file needs field names and at least one record") {}
};

// The sheet would exceed kMaxRows or kMaxCols. rows() and cols() are the
// file's own size as a sheet: its records with the field-name row, its
// widest record's fields with the row-label column.
class SheetTooLargeError : public Error {
 public:
  SheetTooLargeError(long long rows, long long cols)
      : Error("the sheet would exceed the limits"), rows_(rows), cols_(cols) {}
  long long rows() const { return rows_; }
  long long cols() const { return cols_; }

 private:
  long long rows_, cols_;
};

// A cell the encoding cannot express. row is the grid row (0 = field
// names), field counts from 0 (grid column field + 1).
class UnencodableCellError : public Error {
 public:
  UnencodableCellError(int row, int field, char32_t character, TextEncoding encoding)
      : Error("a cell holds a character the file's encoding cannot express"),
        row_(row),
        field_(field),
        character_(character),
        encoding_(encoding) {}
  int row() const { return row_; }
  int field() const { return field_; }
  char32_t character() const { return character_; }
  TextEncoding encoding() const { return encoding_; }

 private:
  int row_, field_;
  char32_t character_;
  TextEncoding encoding_;
};

// Bytes written in `written` that Open would take for `readAs` (CP932 that
// happens to be well-formed UTF-8, such as half-width katakana pairs like
// ﾃｽ and nothing else beyond ASCII): the file would not open as the same sheet.
class ReadsBackDifferentlyError : public Error {
 public:
  ReadsBackDifferentlyError(TextEncoding written, TextEncoding readAs)
      : Error(std::string("the file would be read back as ") + EncodingName(readAs)),
        written_(written),
        readAs_(readAs) {}
  TextEncoding written() const { return written_; }
  TextEncoding readAs() const { return readAs_; }

 private:
  TextEncoding written_, readAs_;
};

}  // namespace quillary
