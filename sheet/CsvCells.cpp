#include "sheet/CsvCells.h"

#include <cstring>
#include <exception>
#include <limits>
#include <thread>
#include <utility>

#include "platform/FileIO.h"

namespace quillary {

namespace {

constexpr int kLengthShift = 40;
constexpr std::uint64_t kStartMask = (std::uint64_t{1} << kLengthShift) - 1;
constexpr std::uint64_t kLongCell = (std::uint64_t{1} << (64 - kLengthShift)) - 1;

// Texts this long are read in two halves side by side.
constexpr std::size_t kHalvesFrom = std::size_t{1} << 22;

// Room for the cells of a text this long, so that a large sheet's list is
// not copied over and over as it grows: a cell takes at least its
// separator, and most take several characters more. Room never written
// costs no memory.
void ReserveCells(std::vector<std::uint64_t>& cells, std::size_t units) {
  cells.reserve(units / 4);
}

}  // namespace

// Each value goes back into the text where its field began: it is never
// longer than the field's characters there (quotes only shrink it), and the
// reader never looks back at a record it has read. A reader of the second
// half keeps those writes until its half is known to begin with a record.
struct CsvCells::Store {
  CsvCells& cells;
  std::u16string& text;
  std::size_t base = 0;  // where the reader's text begins in text
  std::vector<std::pair<std::size_t, std::u16string>>* heldWrites = nullptr;

  void EmptyRecord() { cells.rowStarts_.push_back(cells.cells_.size()); }
  void Record(const CsvRecord& record) {
    for (std::size_t f = 0; f < record.fieldCount; ++f) {
      const std::u16string& value = record.fields[f];
      const std::size_t start = base + record.offsets[f];
      if (std::memcmp(text.data() + start, value.data(), value.size() * sizeof(char16_t)) != 0) {
        if (heldWrites)
          heldWrites->emplace_back(start, value);
        else
          value.copy(text.data() + start, value.size());
      }
      if (start > kStartMask) throw SheetTooLargeError(static_cast<long long>(cells.rowStarts_.size()), 0);
      std::uint64_t length = value.size();
      if (length >= kLongCell) {
        cells.longCells_[cells.cells_.size()] = value.size();
        length = kLongCell;
      }
      cells.cells_.push_back(start | length << kLengthShift);
    }
    EmptyRecord();
  }
};

// The records from a line start in the second half, read on a thread of
// their own while the first half is read.
struct CsvCells::SecondHalf {
  CsvCells cells;
  std::vector<std::pair<std::size_t, std::u16string>> writes;
  std::size_t fields = 0;
  long long records = 0;
  std::exception_ptr failure;

  void Read(std::u16string& text, std::size_t start, std::u16string_view lineSeparator) {
    try {
      Store store{cells, text, start, &writes};
      RecordSheet sheet(CellLimit::None, store);
      CsvReader reader = MakeCsvReader(std::u16string_view(text).substr(start), lineSeparator);
      CsvRecord record;
      while (reader.Next(record, sheet.MostFields() + 1)) sheet.Add(record);
      fields = sheet.Fields();
      records = sheet.Records();
    } catch (...) {
      failure = std::current_exception();
    }
  }
};

std::u16string_view CsvCells::Text(int field, int row, std::u16string&) const {
  const std::size_t cell = rowStarts_[static_cast<std::size_t>(row)] + static_cast<std::size_t>(field);
  if (cell >= rowStarts_[static_cast<std::size_t>(row) + 1]) return {};
  const std::uint64_t packed = cells_[cell];
  std::size_t length = packed >> kLengthShift;
  if (length == kLongCell) length = longCells_.at(cell);
  return std::u16string_view(text_).substr(packed & kStartMask, length);
}

void CsvCells::AppendRows(const CsvCells& other) {
  const std::size_t offset = cells_.size();
  for (const auto& [cell, length] : other.longCells_) longCells_[offset + cell] = length;
  cells_.insert(cells_.end(), other.cells_.begin(), other.cells_.end());
  for (std::size_t row = 1; row < other.rowStarts_.size(); ++row) rowStarts_.push_back(offset + other.rowStarts_[row]);
}

// The first half is read up to the line start where the second half's
// reader began; if a record runs over that line start (a quoted field
// holding line breaks), the second half's work is dropped and the first
// reader goes on to the end. False for a text read whole in one go.
bool CsvCells::ReadInHalves(CsvCells& cells, std::u16string_view lineSeparator) {
  std::u16string& text = cells.text_;
  const std::size_t split = text.find(lineSeparator, text.size() / 2);
  if (split == std::u16string::npos || split + lineSeparator.size() >= text.size()) return false;
  const std::size_t start = split + lineSeparator.size();
  SecondHalf second;
  ReserveCells(cells.cells_, text.size());
  ReserveCells(second.cells.cells_, text.size() - start);
  std::thread reading([&] { second.Read(text, start, lineSeparator); });
  Store store{cells, text};
  RecordSheet sheet(CellLimit::None, store);
  CsvReader reader = MakeCsvReader(text, lineSeparator);
  CsvRecord record;
  bool joined = false;
  try {
    while (reader.Next(record, sheet.MostFields() + 1)) {
      sheet.Add(record);
      if (!joined && reader.Position() == start) {
        reading.join();
        joined = true;
        if (second.failure) std::rethrow_exception(second.failure);
        if (second.records > 0) sheet.TakeEmptyLines();
        for (auto& [at, value] : second.writes) value.copy(text.data() + at, value.size());
        cells.AppendRows(second.cells);
        const long long records = sheet.Records() + second.records;
        if (records > INT_MAX) throw SheetTooLargeError(records, 0);
        if (records < 2) throw SheetTooSmallError();
        cells.fields_ = static_cast<int>(std::max(sheet.Fields(), second.fields));
        return true;
      }
    }
  } catch (...) {
    if (!joined) reading.join();
    throw;
  }
  if (!joined) reading.join();
  if (sheet.Records() < 2) throw SheetTooSmallError();
  cells.fields_ = static_cast<int>(sheet.Fields());
  return true;
}

CsvCells LoadCsvCells(DecodedText file, CellLimit limit) {
  CsvCells cells;
  cells.text_ = std::move(file.text);
  cells.encoding = file.encoding;
  cells.undecodable = file.undecodable;
  if (limit == CellLimit::None && cells.text_.size() >= kHalvesFrom &&
      CsvCells::ReadInHalves(cells, LineSeparatorOf(cells.text_)))
    return cells;
  CsvCells::Store store{cells, cells.text_};
  cells.fields_ = static_cast<int>(ReadCsvRecords(cells.text_, limit, store));
  return cells;
}

CsvCells LoadCsvCellsFile(const std::filesystem::path& path, CellLimit limit) {
  const std::uintmax_t most = limit == CellLimit::Sheet ? kMaxReadBytes : std::numeric_limits<std::uintmax_t>::max();
  // The bytes are let go before the records are read.
  DecodedText file = DecodeText(ReadFileBytes(path, most));
  return LoadCsvCells(std::move(file), limit);
}

}  // namespace quillary
