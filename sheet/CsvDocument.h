#pragma once
// Loading and saving a sheet as the document commands do.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/LargeTextFile.h"
#include "platform/TextEncoding.h"
#include "sheet/CsvErrors.h"
#include "sheet/Sheet.h"
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
// The cells share the text's units: a cell costs little beyond its text.
LoadedCsv LoadCsvText(std::u16string text);
LoadedCsv LoadCsvUnits(UnitBuffer units, WorkProgress* progress = nullptr);
// The file in the encoding its bytes show. Also throws FileReadError, and
// WorkCancelled when `progress` is asked to stop.
LoadedCsv LoadCsvFile(const std::filesystem::path& path, WorkProgress* progress = nullptr);
// What loading a file of this many bytes takes, roughly: its text as UTF-16
// and a handle a cell (a cell every eight bytes, as in most files).
inline std::uint64_t LoadCsvBytes(std::uintmax_t fileBytes) { return std::uint64_t{fileBytes} * 4; }
// The sheet a loaded file gives: its records under its field names, the
// rows labelled. It shares the array's columns: no cell is copied.
Sheet SheetFromFile(const LoadedCsv& loaded);

// The file's bytes for the array. Throws UnencodableCellError and
// ReadsBackDifferentlyError.
std::string EncodeCsv(const SheetArray& array, TextEncoding encoding = TextEncoding::Cp932,
                      WorkProgress* progress = nullptr);
// Throws what EncodeCsv throws, FileWriteError and WorkCancelled; the file
// stays as it was on any of them.
void SaveCsvFile(const std::filesystem::path& path, const SheetArray& array,
                 TextEncoding encoding = TextEncoding::Cp932, WorkProgress* progress = nullptr);

}  // namespace quillary
