#pragma once
// Loading and saving a sheet as the document commands do.

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/TextEncoding.h"
#include "sheet/CsvErrors.h"
#include "sheet/SheetArray.h"

namespace quillary {

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
LoadedCsv LoadCsvText(std::u16string_view text);
// The file in the encoding its bytes show. Also throws FileReadError.
LoadedCsv LoadCsvFile(const std::filesystem::path& path);

// The file's bytes for the array. Throws UnencodableCellError and
// ReadsBackDifferentlyError.
std::string EncodeCsv(const SheetArray& array, TextEncoding encoding = TextEncoding::Cp932);
// Throws what EncodeCsv throws and FileWriteError; writes nothing on failure.
void SaveCsvFile(const std::filesystem::path& path, const SheetArray& array,
                 TextEncoding encoding = TextEncoding::Cp932);

}  // namespace quillary
