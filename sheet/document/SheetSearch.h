#pragma once
// Finding and replacing text in a sheet's cells (sheet coordinates). The
// line-break marker "|" is ordinary text here. An empty search text finds
// nothing, but with wholeCell it finds the empty cells. A regular
// expression (Qt's) may be searched for instead of the text, with \1 ... in
// the replacement standing for what its groups caught.

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include <QString>

#include "platform/WorkProgress.h"
#include "sheet/Sheet.h"

namespace quillary {

class MatchFinder;

struct SearchOptions {
  QString text;
  bool matchCase = false;
  bool wholeCell = false;          // the cell's whole text, not a part of it
  bool fieldNames = false;         // row 0 too
  bool regularExpression = false;  // text is a pattern
};

// Empty when the options can be searched for; otherwise why not (a pattern
// that is not a regular expression), in Japanese.
QString SearchProblem(const SearchOptions& options);

struct SheetCell {
  int row = 0;
  int col = 0;
};

bool CellMatches(std::u16string_view cell, const SearchOptions& options);

// The next matching cell after `from` in reading order (backwards: before
// it), wrapping round the sheet; `from` itself is looked at last.
std::optional<SheetCell> FindCell(const Sheet& sheet, SheetCell from, bool forward, const SearchOptions& options);

// The length of a cell's text once every match is replaced, known before
// it is made: exact where the replacement is longer than what it replaces
// or replaces the whole cell, else the cell's own length, which it cannot
// pass. None when the cell has no match.
std::optional<std::uint64_t> ReplacedLength(std::u16string_view cell, const QString& replacement,
                                            const SearchOptions& options);

// A cell's text with every match replaced, in room for `length` units (what
// ReplacedLength gave); how many in `count`.
std::u16string ReplacedText(std::u16string_view cell, const QString& replacement, const SearchOptions& options,
                            std::uint64_t length, long long& count);

// Every match in the searched cells of a sheet replaced. Made in two goes:
// the matching cells and their new lengths first, so that what the new
// sheet takes is known before it is built.
class AllReplaced {
 public:
  // The sheet must outlive it. Both goes report to `progress`, and throw
  // WorkCancelled when it is asked to stop.
  AllReplaced(const Sheet& sheet, const QString& replacement, const SearchOptions& options,
              WorkProgress* progress = nullptr);
  ~AllReplaced();

  // What building takes: a new table of cells and the new texts.
  std::uint64_t Bytes() const { return bytes_; }
  // The sheet with the matches replaced; how many in `count`.
  Sheet Build(long long& count, WorkProgress* progress = nullptr) const;

 private:
  struct Cell {
    int row, col;
    std::uint64_t length;
  };
  const Sheet& sheet_;
  QString replacement_;
  SearchOptions options_;
  std::unique_ptr<MatchFinder> matches_;  // of options_
  std::vector<Cell> cells_;
  std::uint64_t bytes_ = 0;
};

}  // namespace quillary
