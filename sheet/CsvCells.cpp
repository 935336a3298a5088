#include "sheet/CsvCells.h"

#include <limits>

#include "platform/FileIO.h"

namespace quillary {

namespace {

constexpr int kLengthShift = 40;
constexpr std::uint64_t kStartMask = (std::uint64_t{1} << kLengthShift) - 1;
constexpr std::uint64_t kLongCell = (std::uint64_t{1} << (64 - kLengthShift)) - 1;

}  // namespace

// Each value goes back into the text where its field began: it is never
// longer than the field's characters there (quotes only shrink it), and the
// reader never looks back at a record it has read.
struct CsvCells::Store {
  CsvCells& cells;
  std::u16string& text;

  void EmptyRecord() { cells.rowStarts_.push_back(cells.cells_.size()); }
  void Record(const CsvRecord& record) {
    for (std::size_t f = 0; f < record.fieldCount; ++f) {
      const std::u16string& value = record.fields[f];
      const std::size_t start = record.offsets[f];
      if (text.compare(start, value.size(), value) != 0) value.copy(text.data() + start, value.size());
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

std::u16string_view CsvCells::Text(int field, int row, std::u16string&) const {
  const std::size_t cell = rowStarts_[static_cast<std::size_t>(row)] + static_cast<std::size_t>(field);
  if (cell >= rowStarts_[static_cast<std::size_t>(row) + 1]) return {};
  const std::uint64_t packed = cells_[cell];
  std::size_t length = packed >> kLengthShift;
  if (length == kLongCell) length = longCells_.at(cell);
  return std::u16string_view(text_).substr(packed & kStartMask, length);
}

CsvCells LoadCsvCells(DecodedText file, CellLimit limit) {
  CsvCells cells;
  cells.text_ = std::move(file.text);
  cells.encoding = file.encoding;
  cells.undecodable = file.undecodable;
  CsvCells::Store store{cells, cells.text_};
  // The first record's end is the first row's start.
  cells.rowStarts_.clear();
  cells.rowStarts_.push_back(0);
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
