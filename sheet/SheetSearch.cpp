#include "sheet/SheetSearch.h"

#include <algorithm>

namespace quillary {

namespace {

Qt::CaseSensitivity Sensitivity(const SearchOptions& options) {
  return options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

QStringView View(const std::u16string& text) { return QStringView(text.data(), static_cast<qsizetype>(text.size())); }

// Data cells, and the field names when asked: the searched rows and columns.
int FirstRow(const SearchOptions& options) { return options.fieldNames ? 0 : 1; }

}  // namespace

bool CellMatches(const std::u16string& cell, const SearchOptions& options) {
  if (options.text.isEmpty()) return false;
  if (options.wholeCell) return View(cell).compare(options.text, Sensitivity(options)) == 0;
  return View(cell).contains(options.text, Sensitivity(options));
}

std::optional<SheetCell> FindCell(const Sheet& sheet, SheetCell from, bool forward, const SearchOptions& options) {
  const int firstRow = FirstRow(options);
  const int rows = sheet.Rows() - firstRow;
  const int cols = sheet.Cols() - 1;
  if (rows <= 0 || cols <= 0) return std::nullopt;
  const long long cells = static_cast<long long>(rows) * cols;
  // Positions in reading order over the searched cells.
  long long at = static_cast<long long>(std::clamp(from.row - firstRow, 0, rows - 1)) * cols +
                 std::clamp(from.col - 1, 0, cols - 1);
  for (long long step = 0; step < cells; ++step) {
    at = ((forward ? at + 1 : at - 1) % cells + cells) % cells;
    const SheetCell cell{static_cast<int>(at / cols) + firstRow, static_cast<int>(at % cols) + 1};
    if (CellMatches(sheet.Text(cell.row, cell.col), options)) return cell;
  }
  return std::nullopt;
}

QString ReplacedText(const QString& cell, const QString& replacement, const SearchOptions& options, int& count) {
  count = 0;
  if (options.text.isEmpty()) return cell;
  if (options.wholeCell) {
    if (cell.compare(options.text, Sensitivity(options)) != 0) return cell;
    count = 1;
    return replacement;
  }
  count = static_cast<int>(cell.count(options.text, Sensitivity(options)));
  QString text = cell;
  return text.replace(options.text, replacement, Sensitivity(options));
}

Sheet WithAllReplaced(const Sheet& sheet, const QString& replacement, const SearchOptions& options, int& count) {
  count = 0;
  Sheet result = sheet;
  for (int r = FirstRow(options); r < sheet.Rows(); ++r)
    for (int c = 1; c < sheet.Cols(); ++c) {
      if (!CellMatches(sheet.Text(r, c), options)) continue;
      int inCell = 0;
      const QString text = ReplacedText(QString::fromStdU16String(sheet.Text(r, c)), replacement, options, inCell);
      result.SetText(r, c, text.toStdU16String());
      count += inCell;
    }
  return result;
}

}  // namespace quillary
