#pragma once
// Finding and replacing text in a sheet's cells (sheet coordinates). The
// line-break marker "|" is ordinary text here.

#include <optional>

#include <QString>

#include "sheet/Sheet.h"

namespace quillary {

struct SearchOptions {
  QString text;
  bool matchCase = false;
  bool wholeCell = false;   // the cell's whole text, not a part of it
  bool fieldNames = false;  // row 0 too
};

struct SheetCell {
  int row = 0;
  int col = 0;
};

bool CellMatches(const std::u16string& cell, const SearchOptions& options);

// The next matching cell after `from` in reading order (backwards: before
// it), wrapping round the sheet; `from` itself is looked at last.
std::optional<SheetCell> FindCell(const Sheet& sheet, SheetCell from, bool forward, const SearchOptions& options);

// A cell's text with every match replaced; how many in `count`.
QString ReplacedText(const QString& cell, const QString& replacement, const SearchOptions& options, int& count);

// The sheet with every match in the searched cells replaced; how many in
// `count`.
Sheet WithAllReplaced(const Sheet& sheet, const QString& replacement, const SearchOptions& options, int& count);

}  // namespace quillary
