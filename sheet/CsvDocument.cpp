#include "sheet/CsvDocument.h"

#include <algorithm>
#include <vector>

#include "platform/FileIO.h"
#include "sheet/CSVRead.h"
#include "sheet/CsvRecords.h"
#include "sheet/Parts.h"
#include "sheet/Sheet.h"

namespace quillary {

namespace {

constexpr char16_t kSeparator = u',';
constexpr char16_t kQuote = u'"';
constexpr std::u16string_view kCrLf = u"\r\n";

// The first cell, row by row, holding a character the encoding lacks.
[[noreturn]] void ThrowUnencodableCell(const SheetArray& array, TextEncoding encoding,
                                       const UnencodableCharError& error) {
  for (int row = 0; row < array.Rows(); ++row) {
    for (int field = 0; field < array.Fields(); ++field) {
      try {
        EncodeText(array.Text(field, row), encoding);
      } catch (const UnencodableCharError& inCell) {
        throw UnencodableCellError(row, field, inCell.character(), inCell.encoding());
      }
    }
  }
  throw error;
}

}  // namespace

LoadedCsv LoadCsvText(std::u16string_view text) {
  // Every record's fields one after another; record r starts at starts[r].
  struct Cells {
    std::vector<std::u16string> cells;
    std::vector<std::size_t> starts;
    void EmptyRecord() {
      starts.push_back(cells.size());
      cells.emplace_back();
    }
    void Record(CsvRecord& record) {
      starts.push_back(cells.size());
      // Not the extra field read past a line end.
      cells.insert(cells.end(), record.fields.begin(),
                   record.fields.begin() + static_cast<std::ptrdiff_t>(record.fieldCount));
    }
  } read;
  const std::size_t fields = ReadCsvRecords(text, CellLimit::Sheet, read);
  read.starts.push_back(read.cells.size());
  LoadedCsv loaded;
  loaded.rows = static_cast<int>(read.starts.size()) - 1;
  loaded.cols = static_cast<int>(fields) + 1;
  loaded.array = SheetArray(static_cast<int>(fields), loaded.rows);
  for (int row = 0; row < loaded.rows; ++row) {
    const std::size_t first = read.starts[static_cast<std::size_t>(row)];
    for (std::size_t cell = first; cell < read.starts[static_cast<std::size_t>(row) + 1]; ++cell)
      loaded.array.Set(static_cast<int>(cell - first), row, std::move(read.cells[cell]));
  }
  return loaded;
}

LoadedCsv LoadCsvFile(const std::filesystem::path& path) {
  DecodedText file = ReadTextFile(path);
  LoadedCsv loaded = LoadCsvText(file.text);
  loaded.encoding = file.encoding;
  loaded.undecodable = file.undecodable;
  return loaded;
}

std::string EncodeCsv(const SheetArray& array, TextEncoding encoding) {
  const std::u16string text = BuildCsv(array, kSeparator, kCrLf, kQuote);
  std::string bytes;
  try {
    bytes = EncodeText(text, encoding);
  } catch (const UnencodableCharError& error) {
    ThrowUnencodableCell(array, encoding, error);
  }
  // Open decides the encoding from the bytes alone; a file it would read in
  // another encoding would come back as another sheet. (Plain ASCII reads
  // the same in every encoding.)
  bool ascii = false;
  const TextEncoding readAs = DetectEncoding(bytes, ascii);
  if (readAs != encoding && !ascii) throw ReadsBackDifferentlyError(encoding, readAs);
  return bytes;
}

void SaveCsvFile(const std::filesystem::path& path, const SheetArray& array, TextEncoding encoding) {
  ReplaceFileContents(path, EncodeCsv(array, encoding));
}

}  // namespace quillary
