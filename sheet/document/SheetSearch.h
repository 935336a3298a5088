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
#include "sheet/PlacedText.h"
#include "sheet/Sheet.h"
#include "sheet/document/SheetDocument.h"

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

// Whether no other unit matches this one when case is ignored (a digit,
// kana, a kanji): such a unit is searched for as it is.
bool FoldsAlone(char16_t unit);

bool CellMatches(std::u16string_view cell, const SearchOptions& options);

// The next matching cell after `from` in reading order (backwards: before
// it), wrapping round the sheet; `from` itself is looked at last.
std::optional<SheetCell> FindCell(const Sheet& sheet, SheetCell from, bool forward, const SearchOptions& options);

// The length of a cell's text once every match is replaced, known before
// it is made. None when the cell has no match.
std::optional<std::uint64_t> ReplacedLength(std::u16string_view cell, const QString& replacement,
                                            const SearchOptions& options);

// A cell's text with every match replaced, in room for `length` units (what
// ReplacedLength gave); how many in `count`.
std::u16string ReplacedText(std::u16string_view cell, const QString& replacement, const SearchOptions& options,
                            std::uint64_t length, long long& count);

// Every match in the searched cells of a sheet replaced. Made in two goes:
// the matching cells are counted with their new lengths first, so that what
// the change takes is known before anything is built.
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
  // The cells with a match and their new texts, row by row; how many
  // matches in `count`.
  std::vector<PlacedText> Changes(long long& count, WorkProgress* progress = nullptr) const;
  // The replacement made one step of the document that holds the sheet,
  // the way that takes less memory: the changed cells set in place when
  // their list takes less than the table of cells the sheet holds alone
  // (which a new sheet would make again while the step kept the old one),
  // else a new sheet. `run(build)` gives build(progress), the cells or the
  // sheet: a command runs it on a thread of its own; the document changes
  // here, on the caller's thread.
  template <typename Run>
  void ApplyTo(SheetDocument& document, long long& count, Run run) const {
    if (InPlace())
      document.SetCells(bytes_ + ListBytes(),
                        [&] { return run([&](WorkProgress* progress) { return Changes(count, progress); }); });
    else
      document.Change(bytes_, [&] { return run([&](WorkProgress* progress) { return Build(count, progress); }); });
  }
  void ApplyTo(SheetDocument& document, long long& count) const;

 private:
  // put(row, col, text) for each cell with a match, row by row.
  template <typename Put>
  void Replace(long long& count, WorkProgress* progress, Put put) const;
  std::uint64_t ListBytes() const { return cells_ * sizeof(PlacedText); }
  bool InPlace() const;

  const Sheet& sheet_;
  QString replacement_;
  SearchOptions options_;
  std::unique_ptr<MatchFinder> matches_;  // of options_
  std::vector<bool> matched_;             // searched cells, row by row
  std::uint64_t cells_ = 0;               // with a match
  std::uint64_t blockUnits_ = 0;          // of the new texts that share a block
  std::uint64_t bytes_ = 0;
};

}  // namespace quillary
