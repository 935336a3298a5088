#include "sheet/CsvDocument.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "platform/FileIO.h"
#include "sheet/CSVRead.h"
#include "sheet/Parts.h"
#include "sheet/Sheet.h"

namespace quillary {

namespace {

constexpr char16_t kSeparator = u',';
constexpr char16_t kQuote = u'"';
constexpr std::u16string_view kCrLf = u"\r\n";

// Files written here end lines with CR LF; files from elsewhere may use CR
// or LF alone, and reading those with CR LF would make one record of all.
std::u16string_view LineSeparatorOf(std::u16string_view text) {
  if (text.find(kCrLf) != std::u16string_view::npos) return kCrLf;
  if (text.find(u'\r') != std::u16string_view::npos) return u"\r";
  if (text.find(u'\n') != std::u16string_view::npos) return u"\n";
  return kCrLf;
}

// A sheet has two rows at least, so a record may have at most this many
// fields (and the row-label column beside them).
constexpr std::size_t kMostFields = kMaxCells / 2 - 1;

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
  CsvReader reader(text, kSeparator, LineSeparatorOf(text), kQuote);
  // Every record's fields one after another; record r starts at starts[r].
  std::vector<std::u16string> cells;
  std::vector<std::size_t> starts;
  std::size_t fields = 0;
  // Empty lines wait until a record follows them: at the end they add none.
  long long emptyLines = 0;
  CsvRecord record;
  while (reader.Next(record, kMostFields + 1)) {
    if (record.fieldCount > kMostFields) throw SheetTooLargeError(2, static_cast<long long>(record.fieldCount) + 1);
    if (record.emptyLine) {
      ++emptyLines;
      continue;
    }
    fields = std::max(fields, record.fieldCount);
    // Refused at the first record past the limit: a file of millions of
    // lines would otherwise fill the memory first.
    const long long rows = static_cast<long long>(starts.size()) + emptyLines + 1;
    if (!FitsCellLimit(rows, static_cast<long long>(fields) + 1)) throw SheetTooLargeError(rows, fields + 1LL);
    for (; emptyLines > 0; --emptyLines) {
      starts.push_back(cells.size());
      cells.emplace_back();
    }
    starts.push_back(cells.size());
    // Moved, since a cell may hold megabytes; not the extra field read past
    // a line end.
    cells.insert(cells.end(), std::make_move_iterator(record.fields.begin()),
                 std::make_move_iterator(record.fields.begin() + static_cast<std::ptrdiff_t>(record.fieldCount)));
  }
  if (starts.size() < 2) throw SheetTooSmallError();
  starts.push_back(cells.size());
  LoadedCsv loaded;
  loaded.rows = static_cast<int>(starts.size()) - 1;
  loaded.cols = static_cast<int>(fields) + 1;
  loaded.array = SheetArray(static_cast<int>(fields), loaded.rows);
  for (int row = 0; row < loaded.rows; ++row) {
    const std::size_t first = starts[static_cast<std::size_t>(row)];
    for (std::size_t cell = first; cell < starts[static_cast<std::size_t>(row) + 1]; ++cell)
      loaded.array.Set(static_cast<int>(cell - first), row, std::move(cells[cell]));
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
