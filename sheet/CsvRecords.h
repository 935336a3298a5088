#pragma once
// The records of a CSV text as Open takes them, for any store of cells: the
// line ends the text uses, empty lines, the widest record and the limits.

#include <algorithm>
#include <climits>
#include <cstddef>
#include <string_view>

#include "sheet/CSVRead.h"
#include "sheet/CsvErrors.h"
#include "sheet/Sheet.h"

namespace quillary {

// Files written here end lines with CR LF; files from elsewhere may use CR
// or LF alone, and reading those with CR LF would make one record of all.
std::u16string_view LineSeparatorOf(std::u16string_view text);

inline CsvReader MakeCsvReader(std::u16string_view text, std::u16string_view lineSeparator) {
  return CsvReader(text, u',', lineSeparator, u'"');
}

// Whether a sheet is held to the window's limits (kMaxRows x kMaxCols), or
// only to what an int can count (the batch converter's sheets).
enum class CellLimit { Sheet, None };

// Takes records in order and hands each to store.Record(record) (its first
// fieldCount fields are the record's) and each empty line that a later
// record follows to store.EmptyRecord(). Past the window's limits it stores
// nothing more but goes on counting, so that the refusal can tell the
// file's own size: Refusal() then says what to throw.
template <typename Store>
class RecordSheet {
 public:
  RecordSheet(CellLimit limit, Store& store) : limit_(limit), store_(store) {}

  // The most fields a record may have (the row-label column comes beside
  // them).
  std::size_t MostFields() const { return limit_ == CellLimit::Sheet ? kMaxFields : INT_MAX - 1; }
  // The fields of the next record worth keeping: none once only counting.
  std::size_t FieldsToKeep() const { return over_ ? 0 : MostFields() + 1; }

  void Add(CsvRecord& record) {
    if (record.emptyLine) {
      ++emptyLines_;
      return;
    }
    fields_ = std::max(fields_, record.fieldCount);
    const long long rows = records_ + emptyLines_ + 1;
    if (limit_ == CellLimit::None && rows > INT_MAX) throw SheetTooLargeError(rows, fields_ + 1LL);
    // Nothing is stored past the limit: a file of millions of lines would
    // otherwise fill the memory first.
    over_ = over_ || fields_ > MostFields() || (limit_ == CellLimit::Sheet && rows > kMaxRows);
    if (over_) {
      records_ = rows;
      emptyLines_ = 0;
      return;
    }
    TakeEmptyLines();
    store_.Record(record);
    ++records_;
  }
  // Empty lines waiting for a record, which another reader has read.
  void TakeEmptyLines() {
    for (; emptyLines_ > 0; --emptyLines_, ++records_) store_.EmptyRecord();
  }

  std::size_t Fields() const { return fields_; }
  long long Records() const { return records_; }
  // Throws SheetTooLargeError with the file's size when it is over the
  // limits.
  void Refuse() const {
    if (over_) throw SheetTooLargeError(records_, static_cast<long long>(fields_) + 1);
  }

 private:
  CellLimit limit_;
  Store& store_;
  std::size_t fields_ = 0;
  long long records_ = 0;
  // Empty lines wait until a record follows them: at the end they add none.
  long long emptyLines_ = 0;
  bool over_ = false;
};

// Every record of the text; returns the fields of the widest. Throws
// SheetTooSmallError and SheetTooLargeError as LoadCsvText does.
template <typename Store>
std::size_t ReadCsvRecords(std::u16string_view text, CellLimit limit, Store& store) {
  RecordSheet sheet(limit, store);
  CsvReader reader = MakeCsvReader(text, LineSeparatorOf(text));
  CsvRecord record;
  while (reader.Next(record, sheet.FieldsToKeep())) sheet.Add(record);
  sheet.Refuse();
  if (sheet.Records() < 2) throw SheetTooSmallError();
  return sheet.Fields();
}

}  // namespace quillary
