#pragma once
// The records of a CSV text as Open takes them, for any store of cells: the
// line ends the text uses, empty lines, the widest record and the limits.

#include <algorithm>
#include <climits>
#include <cstddef>
#include <string_view>

#include "sheet/CSVRead.h"
#include "sheet/CsvDocument.h"
#include "sheet/Sheet.h"

namespace quillary {

// Files written here end lines with CR LF; files from elsewhere may use CR
// or LF alone, and reading those with CR LF would make one record of all.
std::u16string_view LineSeparatorOf(std::u16string_view text);

// Whether a sheet is held to the window's kMaxCells, or only to what an int
// can count (the batch converter's sheets).
enum class CellLimit { Sheet, None };

// Hands each record to store.Record(record) (its first fieldCount fields
// are the record's) and each empty line that a later record follows to
// store.EmptyRecord(); returns the fields of the widest record. Throws
// SheetTooSmallError and SheetTooLargeError as LoadCsvText does.
template <typename Store>
std::size_t ReadCsvRecords(std::u16string_view text, CellLimit limit, Store& store) {
  // A sheet has two rows at least, so a record may have at most this many
  // fields (and the row-label column beside them).
  const std::size_t mostFields = limit == CellLimit::Sheet ? kMaxCells / 2 - 1 : INT_MAX - 1;
  CsvReader reader(text, u',', LineSeparatorOf(text), u'"');
  std::size_t fields = 0;
  long long records = 0;
  // Empty lines wait until a record follows them: at the end they add none.
  long long emptyLines = 0;
  CsvRecord record;
  while (reader.Next(record, mostFields + 1)) {
    if (record.fieldCount > mostFields) throw SheetTooLargeError(2, static_cast<long long>(record.fieldCount) + 1);
    if (record.emptyLine) {
      ++emptyLines;
      continue;
    }
    fields = std::max(fields, record.fieldCount);
    // Refused at the first record past the limit: a file of millions of
    // lines would otherwise fill the memory first.
    const long long rows = records + emptyLines + 1;
    if (limit == CellLimit::Sheet ? !FitsCellLimit(rows, static_cast<long long>(fields) + 1) : rows > INT_MAX)
      throw SheetTooLargeError(rows, fields + 1LL);
    for (; emptyLines > 0; --emptyLines, ++records) store.EmptyRecord();
    store.Record(record);
    ++records;
  }
  if (records < 2) throw SheetTooSmallError();
  return fields;
}

}  // namespace quillary
