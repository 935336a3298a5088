#pragma once
// Loading and saving a sheet as the document commands do.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/Errors.h"
#include "platform/LargeTextFile.h"
#include "platform/TextEncoding.h"
#include "sheet/Sheet.h"
#include "sheet/SheetArray.h"

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
        row_(row), field_(field), character_(character), encoding_(encoding) {}
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
      : Error(std::string("the file would be read back as ") + EncodingName(readAs)), written_(written), readAs_(readAs) {}
  TextEncoding written() const { return written_; }
  TextEncoding readAs() const { return readAs_; }

 private:
  TextEncoding written_, readAs_;
};

struct LoadedCsv {
  SheetArray array;  // Fields() = fields of the widest record, Rows() = records
  int rows = 0;      // grid rows = records (field-name row included)
  int cols = 0;      // grid columns = fields + 1
  // How the file was written, and what of it did not decode (shown as
  // U+FFFD in the cells).
  TextEncoding encoding = TextEncoding::Cp932;
  UndecodableBytes undecodable;
};

// Every field of every record: the sheet is as wide as the widest record
// (a quoted field ending its line ends its record) and has one row per
// record; shorter records get empty cells at the right, and empty lines at
// the end of the text add no record. Throws SheetTooSmallError,
// SheetTooLargeError.
// The cells share the text's units: a cell costs little beyond its text.
LoadedCsv LoadCsvText(std::u16string text);
LoadedCsv LoadCsvUnits(UnitBuffer units);
// The file in the encoding its bytes show. Also throws FileReadError.
LoadedCsv LoadCsvFile(const std::filesystem::path& path);
// What loading a file of this many bytes takes, roughly: its text as UTF-16
// and a handle a cell (a cell every eight bytes, as in most files).
inline std::uint64_t LoadCsvBytes(std::uintmax_t fileBytes) { return std::uint64_t{fileBytes} * 4; }
// The sheet a loaded file gives: its records under its field names, the
// rows labelled. It shares the array's columns: no cell is copied.
Sheet SheetFromFile(const LoadedCsv& loaded);

// The file's bytes for the array. Throws UnencodableCellError and
// ReadsBackDifferentlyError.
std::string EncodeCsv(const SheetArray& array, TextEncoding encoding = TextEncoding::Cp932);
// Throws what EncodeCsv throws and FileWriteError; writes nothing on failure.
void SaveCsvFile(const std::filesystem::path& path, const SheetArray& array,
                 TextEncoding encoding = TextEncoding::Cp932);

}  // namespace quillary
