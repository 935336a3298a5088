#pragma once
// A CSV file's cells held lean, for sheets far larger than the window's:
// the decoded text once, and each cell as a place in it.

#include <cstdint>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/LargeTextFile.h"
#include "platform/TextEncoding.h"
#include "sheet/CellSource.h"
#include "sheet/CsvRecords.h"

namespace quillary {

class CsvCells : public CellSource {
 public:
  int Fields() const override { return fields_; }
  int Rows() const override { return static_cast<int>(parts_[0].Rows() + parts_[1].Rows()); }
  std::u16string_view Text(int field, int row, std::u16string& scratch) const override;
  void Texts(const CellAt* cells, std::size_t count, std::u16string_view* texts,
             std::u16string* scratches) const override;

  // How the file was written, and what of it did not decode (U+FFFD).
  TextEncoding encoding = TextEncoding::Cp932;
  UndecodableBytes undecodable;

 private:
  friend CsvCells LoadCsvCells(LargeDecodedText file, CellLimit limit);
  struct Store;
  struct SecondHalf;
  static bool ReadInHalves(CsvCells& cells, std::u16string_view lineSeparator);
  std::u16string_view TextAt(int field, int row) const;

  // The rows read by one reader.
  struct Part {
    // Per cell: where it starts in text_ (low 40 bits) and its length (high
    // 24 bits; kLongCell for a length kept in longCells).
    std::vector<std::uint64_t> cells;
    std::unordered_map<std::size_t, std::size_t> longCells;
    // Row r's cells are cells[rowStarts[r]] up to rowStarts[r + 1]; a
    // shorter record's missing fields are empty.
    std::vector<std::size_t> rowStarts{0};
    std::size_t Rows() const { return rowStarts.size() - 1; }
  };

  UnitBuffer text_;
  // The first rows, and those a second reader read side by side with it.
  Part parts_[2];
  int fields_ = 0;
};

// The cells as LoadCsvText reads them, with the same field count, rows and
// refusals; CellLimit::None lifts the window's cell limit.
CsvCells LoadCsvCells(LargeDecodedText file, CellLimit limit);
CsvCells LoadCsvCells(DecodedText file, CellLimit limit);
// The file in the encoding its bytes show; with no cell limit, no file
// size limit either. Also throws FileReadError.
CsvCells LoadCsvCellsFile(const std::filesystem::path& path, CellLimit limit);

}  // namespace quillary
