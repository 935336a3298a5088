#pragma once
// Loading and saving a sheet as the document commands do.

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/Errors.h"
#include "sheet/SheetArray.h"

namespace quillary {

// A file needs field names and at least one record.
class SheetTooSmallError : public Error {
 public:
  SheetTooSmallError() : Error("the file needs field names and at least one record") {}
};

// The sheet would exceed kMaxCells. A file is read only one record past
// the limit, so rows() may be less than the file's records.
class SheetTooLargeError : public Error {
 public:
  SheetTooLargeError(long long rows, long long cols)
      : Error("the sheet would exceed the cell limit"), rows_(rows), cols_(cols) {}
  long long rows() const { return rows_; }
  long long cols() const { return cols_; }

 private:
  long long rows_, cols_;
};

// A cell the code page cannot express. row is the grid row (0 = field
// names), field counts from 0 (grid column field + 1).
class UnencodableCellError : public Error {
 public:
  UnencodableCellError(int row, int field, char32_t character)
      : Error("a cell holds a character the file code page cannot express"),
        row_(row), field_(field), character_(character) {}
  int row() const { return row_; }
  int field() const { return field_; }
  char32_t character() const { return character_; }

 private:
  int row_, field_;
  char32_t character_;
};

struct LoadedCsv {
  SheetArray array;  // Fields() = fields of the last line, Rows() = records
  int rows = 0;      // grid rows = records (field-name row included)
  int cols = 0;      // grid columns = fields + 1
};

// Sizes the sheet from the fields of the last line and the records the
// reader finds. Throws SheetTooSmallError, SheetTooLargeError.
LoadedCsv LoadCsvText(std::u16string_view text);
// Also throws FileReadError.
LoadedCsv LoadCsvFile(const std::filesystem::path& path);

// The file's bytes for the array. Throws UnencodableCellError.
std::string EncodeCsv(const SheetArray& array);
// Throws UnencodableCellError, FileWriteError; writes nothing on failure.
void SaveCsvFile(const std::filesystem::path& path, const SheetArray& array);

}  // namespace quillary
