#include "sheet/CsvDocument.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

#include "platform/FileIO.h"
#include "platform/LargeTextFile.h"
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

// Every cell a place in the file's text: a quoted value goes back into the
// text where its field began (it is never longer than the field's
// characters there, and the reader never looks back at a record it has
// read). Shorter records' missing fields are empty cells.
struct ColumnStore {
  TextBlock* block;
  char16_t* text;
  std::size_t size;
  WorkProgress* progress;
  std::vector<CellColumn> columns;
  std::size_t rows = 0;

  void EmptyRecord() { ++rows; }
  void Record(const CsvRecord& record) {
    if (progress && rows % 4096 == 0 && record.fieldCount > 0) progress->Report(record.offsets[0], size);
    for (std::size_t f = 0; f < record.fieldCount; ++f) {
      const std::u16string_view value = record.fields[f];
      const std::size_t start = record.offsets[f];
      if (!value.empty() && value.data() != text + start) value.copy(text + start, value.size());
      if (f == columns.size()) columns.emplace_back();
      Pad(columns[f], rows);
      columns[f].Append(SharedText(block, start, value.size()));
    }
    ++rows;
  }
  static void Pad(CellColumn& column, std::size_t size) {
    if (size - column.Size() >= CellColumn::kChunkCells) column.Resize(size);
    while (column.Size() < size) column.Append(SharedText());
  }
};

// Lets the block go once the cells hold it.
struct BlockHold {
  TextBlock* block;
  ~BlockHold() { block->Release(); }
};

}  // namespace

LoadedCsv LoadCsvUnits(UnitBuffer units, WorkProgress* progress) {
  if (units.size() > std::numeric_limits<std::uint32_t>::max()) throw SheetTooLargeError(0, 0);
  const BlockHold hold{TextBlock::Held(std::move(units))};
  ColumnStore read{hold.block, hold.block->WritableUnits(), hold.block->View().size(), progress, {}, 0};
  const std::u16string_view text = hold.block->View();
  const std::size_t fields = ReadCsvRecords(text, CellLimit::Sheet, read);
  read.columns.resize(fields);
  for (CellColumn& column : read.columns) ColumnStore::Pad(column, read.rows);
  LoadedCsv loaded;
  loaded.rows = static_cast<int>(read.rows);
  loaded.cols = static_cast<int>(fields) + 1;
  loaded.array = SheetArray(loaded.rows, std::move(read.columns));
  return loaded;
}

LoadedCsv LoadCsvText(std::u16string text) { return LoadCsvUnits(UnitBuffer(std::move(text))); }

LoadedCsv LoadCsvFile(const std::filesystem::path& path, WorkProgress* progress) {
  ProgressPart(progress, 0, 500);
  LargeDecodedText file = ReadLargeTextFile(path, kMaxReadBytes, progress);
  ProgressPart(progress, 500, 1000);
  LoadedCsv loaded = LoadCsvUnits(std::move(file.text), progress);
  loaded.encoding = file.encoding;
  loaded.undecodable = file.undecodable;
  return loaded;
}

Sheet SheetFromFile(const LoadedCsv& loaded) {
  std::vector<CellColumn> columns;
  columns.reserve(static_cast<std::size_t>(loaded.cols));
  columns.emplace_back(static_cast<std::size_t>(loaded.rows));
  for (int f = 0; f < loaded.cols - 1; ++f)
    columns.push_back(f < loaded.array.Fields() && loaded.array.Rows() == loaded.rows
                          ? loaded.array.Field(f)
                          : CellColumn(static_cast<std::size_t>(loaded.rows)));
  Sheet sheet(loaded.rows, std::move(columns));
  LabelRows(sheet, 1, sheet.Rows() - 1);
  return sheet;
}

std::string EncodeCsv(const SheetArray& array, TextEncoding encoding, WorkProgress* progress) {
  // Made and encoded a piece of rows at a time: the text of a large sheet is
  // never held whole beside its bytes.
  constexpr std::size_t kPieceUnits = std::size_t{1} << 20;
  std::string bytes;
  std::u16string piece;
  try {
    for (int row = 0; row < array.Rows();) {
      ReportProgress(progress, static_cast<std::uint64_t>(row), static_cast<std::uint64_t>(array.Rows()));
      const int first = row;
      piece.clear();
      for (; row < array.Rows() && piece.size() < kPieceUnits; ++row)
        AppendCsvRows(array, row, row + 1, kSeparator, kCrLf, kQuote, piece);
      // The byte-order mark once, before the first piece.
      bytes += EncodeText(piece, first > 0 && encoding == TextEncoding::Utf8WithBom ? TextEncoding::Utf8 : encoding);
    }
    if (array.Rows() == 0) bytes = EncodeText(u"", encoding);
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

void SaveCsvFile(const std::filesystem::path& path, const SheetArray& array, TextEncoding encoding,
                 WorkProgress* progress) {
  if (!progress) {
    ReplaceFileContents(path, EncodeCsv(array, encoding));
    return;
  }
  progress->Part(0, 600);
  const std::string bytes = EncodeCsv(array, encoding, progress);
  // Written in pieces, so that a stop asked for on the way leaves the old
  // file as it was.
  progress->Part(600, 1000);
  constexpr std::size_t kPiece = std::size_t{8} << 20;
  ReplaceFileContents(path, [&](const std::function<void(std::string_view)>& write) {
    for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
      progress->Report(at, bytes.size());
      write(std::string_view(bytes).substr(at, kPiece));
    }
    progress->Check();
  });
}

}  // namespace quillary
