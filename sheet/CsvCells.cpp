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
void ReserveCells(std::vector<std::uint64_t>& cells, std::size_t units) { cells.reserve(units / 4); }

}  // namespace

// Each value goes back into the text where its field began: it is never
// longer than the field's characters there (quotes only shrink it), and the
// reader never looks back at a record it has read. A reader of the second
// half keeps those writes until its half is known to begin with a record.
struct CsvCells::Store {
  Part& cells;
  char16_t* text;
  std::size_t base = 0;  // where the reader's text begins in text
  std::vector<std::pair<std::size_t, std::u16string>>* heldWrites = nullptr;

  void EmptyRecord() { cells.rowStarts.push_back(cells.cells.size()); }
  void Record(const CsvRecord& record) {
    // Missing fields read as empty, so empty ones at the end are not kept:
    // a record of empty fields costs its row's start alone.
    std::size_t kept = record.fieldCount;
    while (kept > 0 && record.fields[kept - 1].empty()) --kept;
    for (std::size_t f = 0; f < kept; ++f) {
      const std::u16string_view value = record.fields[f];
      const std::size_t start = base + record.offsets[f];
      // A plain field is where it stands; a quoted one is its value.
      if (!value.empty() && value.data() != text + start &&
          std::memcmp(text + start, value.data(), value.size() * sizeof(char16_t)) != 0) {
        if (heldWrites)
          heldWrites->emplace_back(start, value);
        else
          value.copy(text + start, value.size());
      }
      if (start > kStartMask) throw SheetTooLargeError(static_cast<long long>(cells.rowStarts.size()), 0);
      std::uint64_t length = value.size();
      if (length >= kLongCell) {
        cells.longCells[cells.cells.size()] = value.size();
        length = kLongCell;
      }
      cells.cells.push_back(start | length << kLengthShift);
    }
    EmptyRecord();
  }
};

// The records from a line start in the second half, read on a thread of
// their own while the first half is read.
struct CsvCells::SecondHalf {
  Part cells;
  std::vector<std::pair<std::size_t, std::u16string>> writes;
  std::size_t fields = 0;
  long long records = 0;
  std::exception_ptr failure;

  void Read(UnitBuffer& text, std::size_t start, std::u16string_view lineSeparator) {
    try {
      Store store{cells, text.data(), start, &writes};
      RecordSheet sheet(CellLimit::None, store);
      CsvReader reader = MakeCsvReader(text.View().substr(start), lineSeparator);
      CsvRecord record;
      while (reader.Next(record, sheet.FieldsToKeep())) sheet.Add(record);
      sheet.Refuse();
      fields = sheet.Fields();
      records = sheet.Records();
    } catch (...) {
      failure = std::current_exception();
    }
  }
};

std::u16string_view CsvCells::Text(int field, int row, std::u16string&) const { return TextAt(field, row); }

void CsvCells::Texts(const CellAt* cells, std::size_t count, std::u16string_view* texts, std::u16string*) const {
  for (std::size_t i = 0; i < count; ++i) texts[i] = TextAt(cells[i].field, cells[i].row);
}

inline std::u16string_view CsvCells::TextAt(int field, int row) const {
  auto r = static_cast<std::size_t>(row);
  const bool second = r >= parts_[0].Rows();
  const Part& part = parts_[second ? 1 : 0];
  if (second) r -= parts_[0].Rows();
  const std::size_t cell = part.rowStarts[r] + static_cast<std::size_t>(field);
  if (cell >= part.rowStarts[r + 1]) return {};
  const std::uint64_t packed = part.cells[cell];
  std::size_t length = packed >> kLengthShift;
  if (length == kLongCell) length = part.longCells.at(cell);
  return text_.View().substr(packed & kStartMask, length);
}

// The first half is read up to the line start where the second half's
// reader began; if a record runs over that line start (a quoted field
// holding line breaks), the second half's work is dropped and the first
// reader goes on to the end. False for a text read whole in one go.
bool CsvCells::ReadInHalves(CsvCells& cells, std::u16string_view lineSeparator) {
  UnitBuffer& text = cells.text_;
  const std::size_t split = text.View().find(lineSeparator, text.size() / 2);
  if (split == std::u16string_view::npos || split + lineSeparator.size() >= text.size()) return false;
  const std::size_t start = split + lineSeparator.size();
  SecondHalf second;
  ReserveCells(cells.parts_[0].cells, start);
  ReserveCells(second.cells.cells, text.size() - start);
  std::thread reading([&] { second.Read(text, start, lineSeparator); });
  Store store{cells.parts_[0], text.data()};
  RecordSheet sheet(CellLimit::None, store);
  CsvReader reader = MakeCsvReader(text.View(), lineSeparator);
  CsvRecord record;
  bool joined = false;
  try {
    while (reader.Next(record, sheet.FieldsToKeep())) {
      sheet.Add(record);
      if (!joined && reader.Position() == start) {
        reading.join();
        joined = true;
        sheet.Refuse();
        if (second.failure) std::rethrow_exception(second.failure);
        if (second.records > 0) sheet.TakeEmptyLines();
        for (auto& [at, value] : second.writes) value.copy(text.data() + at, value.size());
        cells.parts_[1] = std::move(second.cells);
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
  sheet.Refuse();
  if (sheet.Records() < 2) throw SheetTooSmallError();
  cells.fields_ = static_cast<int>(sheet.Fields());
  return true;
}

CsvCells LoadCsvCells(LargeDecodedText file, CellLimit limit) {
  CsvCells cells;
  cells.text_ = std::move(file.text);
  cells.encoding = file.encoding;
  cells.undecodable = file.undecodable;
  if (limit == CellLimit::None && cells.text_.size() >= kHalvesFrom &&
      CsvCells::ReadInHalves(cells, LineSeparatorOf(cells.text_.View())))
    return cells;
  CsvCells::Store store{cells.parts_[0], cells.text_.data()};
  cells.fields_ = static_cast<int>(ReadCsvRecords(cells.text_.View(), limit, store));
  return cells;
}

CsvCells LoadCsvCells(DecodedText file, CellLimit limit) { return LoadCsvCells(ToLargeText(std::move(file)), limit); }

CsvCells LoadCsvCellsFile(const std::filesystem::path& path, CellLimit limit) {
  const std::uintmax_t most = limit == CellLimit::Sheet ? kMaxReadBytes : std::numeric_limits<std::uintmax_t>::max();
  return LoadCsvCells(ReadLargeTextFile(path, most), limit);
}

}  // namespace quillary
