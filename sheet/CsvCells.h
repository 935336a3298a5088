#pragma once
// A CSV file's cells held lean, for sheets far larger than the window's:
// the decoded text once, and each cell as a place in it.

#include <cstdint>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/TextEncoding.h"
#include "sheet/CellSource.h"
#include "sheet/CsvRecords.h"

namespace quillary {

class CsvCells : public CellSource {
 public:
  int Fields() const override { return fields_; }
  int Rows() const override { return static_cast<int>(rowStarts_.size()) - 1; }
  std::u16string_view Text(int field, int row, std::u16string& scratch) const override;

  // How the file was written, and what of it did not decode (U+FFFD).
  TextEncoding encoding = TextEncoding::Cp932;
  UndecodableBytes undecodable;

 private:
  friend CsvCells LoadCsvCells(DecodedText file, CellLimit limit);
  struct Store;
  struct SecondHalf;
  static bool ReadInHalves(CsvCells& cells, std::u16string_view lineSeparator);
  void AppendRows(const CsvCells& other);

  std::u16string text_;
  // Per cell: where it starts in text_ (low 40 bits) and its length (high
  // 24 bits; kLongCell for a length kept in longCells_).
  std::vector<std::uint64_t> cells_;
  std::unordered_map<std::size_t, std::size_t> longCells_;
  // Row r's cells are cells_[rowStarts_[r]] up to rowStarts_[r + 1]; a
  // shorter record's missing fields are empty.
  std::vector<std::size_t> rowStarts_{0};
  int fields_ = 0;
};

// The cells as LoadCsvText reads them, with the same field count, rows and
// refusals; CellLimit::None lifts the window's cell limit.
CsvCells LoadCsvCells(DecodedText file, CellLimit limit);
// The file in the encoding its bytes show; with no cell limit, no file
// size limit either. Also throws FileReadError.
CsvCells LoadCsvCellsFile(const std::filesystem::path& path, CellLimit limit);

}  // namespace quillary
