#include "sheet/CsvDocument.h"

#include "platform/CodePage.h"
#include "platform/FileIO.h"
#include "sheet/CSVRead.h"
#include "sheet/Parts.h"
#include "sheet/RS.h"
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

// The last line as a line reader sees it: lines end at CR or CR LF (and at
// LF alone in a file that has no CR), and a final line end adds no line.
std::u16string LastLine(std::u16string_view text) {
  const bool lfEndsLines = text.find(u'\r') == std::u16string_view::npos;
  const auto endsLine = [&](char16_t c) { return c == u'\r' || (lfEndsLines && c == u'\n'); };
  if (text.ends_with(kCrLf))
    text.remove_suffix(2);
  else if (!text.empty() && endsLine(text.back()))
    text.remove_suffix(1);
  std::size_t start = text.size();
  while (start > 0 && !endsLine(text[start - 1])) --start;
  // An LF right after the CR belongs to the line end.
  if (!lfEndsLines && start > 0 && start < text.size() && text[start] == u'\n') ++start;
  return std::u16string(text.substr(start));
}

// The first cell, row by row, holding a character the code page lacks.
[[noreturn]] void ThrowUnencodableCell(const SheetArray& array, const UnencodableCharError& error) {
  for (int row = 0; row < array.Rows(); ++row) {
    for (int field = 0; field < array.Fields(); ++field) {
      try {
        EncodeCodePage(array.Text(field, row));
      } catch (const UnencodableCharError& inCell) {
        throw UnencodableCellError(row, field, inCell.character());
      }
    }
  }
  throw error;
}

}  // namespace

LoadedCsv LoadCsvText(std::u16string_view text) {
  std::u16string lastLine = LastLine(text);
  const int fields = ReplaceAll(lastLine, u",", u"");
  // Refuse before allocating: the sheet needs at least two rows.
  if (!FitsCellLimit(2, static_cast<long long>(fields) + 1)) throw SheetTooLargeError(2, fields + 1LL);
  LoadedCsv loaded;
  loaded.array = SheetArray(fields, 0);
  // One record more than the sheet can hold is enough to refuse it: a file
  // of millions of empty lines would otherwise fill the memory first.
  const int mostRecords = kMaxCells / (fields + 1);
  const int records =
      ParseCsv(text, loaded.array, kSeparator, LineSeparatorOf(text), kQuote, mostRecords + 1) + 1;
  if (records < 2) throw SheetTooSmallError();
  if (!FitsCellLimit(records, fields + 1LL)) throw SheetTooLargeError(records, fields + 1LL);
  loaded.rows = records;
  loaded.cols = fields + 1;
  return loaded;
}

LoadedCsv LoadCsvFile(const std::filesystem::path& path) {
  return LoadCsvText(DecodeCodePage(ReadFileBytes(path)));
}

std::string EncodeCsv(const SheetArray& array) {
  const std::u16string text = BuildCsv(array, kSeparator, kCrLf, kQuote);
  try {
    return EncodeCodePage(text);
  } catch (const UnencodableCharError& error) {
    ThrowUnencodableCell(array, error);
  }
}

void SaveCsvFile(const std::filesystem::path& path, const SheetArray& array) {
  WriteFileAtomically(path, EncodeCsv(array));
}

}  // namespace quillary
