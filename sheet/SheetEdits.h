#pragma once
// Whole rows and columns of a sheet inserted, deleted and sorted: each
// makes a new sheet (the document records it as one step). Row labels are
// renumbered; field names stay with their columns, and an inserted column
// takes the name "フィールド n" with the smallest n no other field uses.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <numeric>
#include <string>

#include "platform/WorkProgress.h"
#include "sheet/Sheet.h"

namespace quillary {

// count rows inserted before data row `at` (1 .. Rows; Rows appends).
Sheet WithRowsInserted(const Sheet& sheet, int at, int count);
// Data rows first .. first + count - 1 removed.
Sheet WithRowsDeleted(const Sheet& sheet, int first, int count);
// count columns inserted before data column `at` (1 .. Cols; Cols appends).
Sheet WithColsInserted(const Sheet& sheet, int at, int count);
// Data columns first .. first + count - 1 removed.
Sheet WithColsDeleted(const Sheet& sheet, int first, int count);

// The sheet at a new size (fixed row and column included), the rows it adds
// labelled and the columns it adds given their default names; existing
// labels and names stay.
Sheet ResizedAndLabelled(const Sheet& sheet, int rows, int cols);

// At most what one of these edits takes to make a sheet of rows x cols,
// known before it is made: a new table (most share all but a chunk a
// column; a sort makes every data column again) and the sort's working
// lists.
std::uint64_t EditBytes(long long rows, long long cols);

// Orders texts: negative, zero or positive as a is before, with or after b.
using TextOrder = std::function<int(std::u16string_view a, std::u16string_view b)>;

// The rank of each of a column's distinct texts in an order: equal texts
// (in that order) the same rank. For an order that ranks many texts faster
// than comparing them pair by pair (collation by sort keys).
using TextRanking =
    std::function<std::vector<double>(const std::vector<std::u16string_view>& distinct, WorkProgress* progress)>;

// The rank of each of `count` items sorted by `compare(a, b)` (negative,
// zero or positive as item a is before, with or after item b): items it
// holds equal share a rank. Stops when `progress` asks it to. A template:
// a million texts take some twenty million comparisons, each worth
// inlining.
template <typename Compare>
std::vector<double> RanksInOrder(std::size_t count, const Compare& compare, WorkProgress* progress) {
  std::vector<std::uint32_t> sorted(count);  // a column holds far fewer than 2^32 texts
  std::iota(sorted.begin(), sorted.end(), 0u);
  std::size_t calls = 0;
  std::sort(sorted.begin(), sorted.end(), [&](std::uint32_t a, std::uint32_t b) {
    if (progress && ++calls % 65536 == 0) progress->Check();
    return compare(a, b) < 0;
  });
  std::vector<double> rankOf(count);
  double rank = 0;
  for (std::size_t i = 0; i < sorted.size(); ++i) {
    if (i > 0 && compare(sorted[i - 1], sorted[i]) < 0) ++rank;
    rankOf[sorted[i]] = rank;
  }
  return rankOf;
}

// The data rows reordered by column `col`, stably: as numbers when every
// non-empty value of the column reads as one ("1,200", "-3.5", "１２"),
// else by the texts' ranking; empty cells last either way. Reports to
// `progress`, and throws WorkCancelled when it is asked to stop.
Sheet WithRowsSortedByRanks(const Sheet& sheet, int col, bool descending, const TextRanking& ranking,
                            WorkProgress* progress = nullptr);
// The same, the texts ranked by comparing them.
Sheet WithRowsSorted(const Sheet& sheet, int col, bool descending, const TextOrder& textOrder,
                     WorkProgress* progress = nullptr);

// The value of a text that reads as a decimal number, if it does.
bool ReadsAsNumber(std::u16string_view text, double& value);

}  // namespace quillary
