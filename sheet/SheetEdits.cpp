#include "sheet/SheetEdits.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <numeric>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace quillary {

namespace {

// Columns first..last named "フィールド n", each with the smallest n that no
// other field's name uses, so that no placeholder names two fields.
void NameNewFields(Sheet& sheet, int first, int last) {
  if (sheet.Rows() == 0) return;
  std::unordered_set<std::u16string> taken;
  for (int c = 1; c < sheet.Cols(); ++c)
    if (c < first || c > last) taken.emplace(sheet.Text(0, c));
  int n = 1;
  for (int c = first; c <= last; ++c) {
    while (taken.count(DefaultFieldName(n)) > 0) ++n;
    sheet.SetText(0, c, DefaultFieldName(n++));
  }
}

// Full-width digits, signs and points read as their ASCII forms.
char16_t Narrow(char16_t c) {
  if (c >= u'０' && c <= u'９') return static_cast<char16_t>(u'0' + (c - u'０'));
  if (c == u'－' || c == u'−') return u'-';
  if (c == u'＋') return u'+';
  if (c == u'．') return u'.';
  if (c == u'，') return u',';
  return c;
}

// Reports every so many calls of a comparison, as far as a sort of `items`
// usually takes.
class CountedCalls {
 public:
  CountedCalls(WorkProgress* progress, std::size_t items)
      : progress_(progress), expected_(static_cast<std::uint64_t>(items) * std::bit_width(items) + 1) {}
  void operator()() {
    if (progress_ && ++calls_ % 8192 == 0) progress_->Report(calls_, expected_);
  }

 private:
  WorkProgress* progress_;
  std::uint64_t expected_, calls_ = 0;
};

// Each non-empty text's place among the distinct texts (texts the order
// holds equal share one): the rows then compare by number, and the order (a
// collation, slow) is asked about each distinct text, not each row.
void RankTexts(const std::vector<std::u16string_view>& keys, const TextRanking& ranking, std::vector<double>& ranks,
               WorkProgress* progress) {
  std::unordered_map<std::u16string_view, std::size_t> index;
  std::vector<std::u16string_view> distinct;
  std::vector<std::size_t> of(keys.size());
  for (std::size_t r = 1; r < keys.size(); ++r) {
    if (keys[r].empty()) continue;
    const auto [at, added] = index.try_emplace(keys[r], distinct.size());
    if (added) distinct.push_back(keys[r]);
    of[r] = at->second;
  }
  index = {};
  const std::vector<double> rankOf = ranking(distinct, progress);
  for (std::size_t r = 1; r < keys.size(); ++r)
    if (!keys[r].empty()) ranks[r] = rankOf[of[r]];
}

}  // namespace

// Each copies the sheet's lists of chunks and changes what it must: a row
// inserted into a million copies one chunk a column, and the row labels
// are row numbers that need no rewriting.
Sheet WithRowsInserted(const Sheet& sheet, int at, int count) {
  Sheet result = sheet;
  result.InsertRows(at, count);
  LabelRows(result, at, result.Rows() - 1);
  return result;
}

Sheet WithRowsDeleted(const Sheet& sheet, int first, int count) {
  Sheet result = sheet;
  result.EraseRows(first, count);
  LabelRows(result, first, result.Rows() - 1);
  return result;
}

Sheet WithColsInserted(const Sheet& sheet, int at, int count) {
  Sheet result = sheet;
  result.InsertCols(at, count);
  NameNewFields(result, at, at + count - 1);
  return result;
}

Sheet WithColsDeleted(const Sheet& sheet, int first, int count) {
  Sheet result = sheet;
  result.EraseCols(first, count);
  return result;
}

Sheet ResizedAndLabelled(const Sheet& sheet, int rows, int cols) {
  Sheet result = Resized(sheet, rows, cols);
  LabelRows(result, std::max(sheet.Rows(), 1), rows - 1);
  NameFields(result, std::max(sheet.Cols(), 1), cols - 1);
  return result;
}

std::uint64_t EditBytes(long long rows, long long cols) {
  // The sort's order, numbers and keys, a row each.
  constexpr std::uint64_t kSortBytesPerRow = sizeof(int) + sizeof(double) + sizeof(std::u16string_view);
  return CellTableBytes(rows, cols) + static_cast<std::uint64_t>(std::max(rows, 0LL)) * kSortBytesPerRow;
}

bool ReadsAsNumber(std::u16string_view text, double& value) {
  std::string ascii;
  for (const char16_t unit : text) {
    const char16_t c = Narrow(unit);
    if (c == u',') continue;  // thousands separators
    if (c == u' ' || c == u'\t' || c == u'　') continue;
    if (!((c >= u'0' && c <= u'9') || c == u'-' || c == u'+' || c == u'.' || c == u'e' || c == u'E')) return false;
    ascii += static_cast<char>(c);
  }
  if (ascii.empty()) return false;
  char* end = nullptr;
  value = std::strtod(ascii.c_str(), &end);
  return end == ascii.c_str() + ascii.size();
}

Sheet WithRowsSorted(const Sheet& sheet, int col, bool descending, const TextOrder& textOrder, WorkProgress* progress) {
  const TextRanking byComparing = [&textOrder](const std::vector<std::u16string_view>& distinct,
                                               WorkProgress* watching) {
    return RanksInOrder(
        distinct.size(), [&](std::size_t a, std::size_t b) { return textOrder(distinct[a], distinct[b]); }, watching);
  };
  return WithRowsSortedByRanks(sheet, col, descending, byComparing, progress);
}

Sheet WithRowsSortedByRanks(const Sheet& sheet, int col, bool descending, const TextRanking& ranking,
                            WorkProgress* progress) {
  const int rows = sheet.Rows();
  if (rows <= 2 || col < 1 || col >= sheet.Cols()) return sheet;
  // The sort key's texts, looked up once.
  std::vector<std::u16string_view> keys(static_cast<std::size_t>(rows));
  sheet.Column(col).ForEach([&](std::size_t r, const SharedText& text) { keys[r] = text.get(); });
  std::vector<int> order(static_cast<std::size_t>(rows - 1));
  std::iota(order.begin(), order.end(), 1);
  std::vector<double> values(static_cast<std::size_t>(rows), 0.0);
  bool numeric = true;
  for (int r = 1; r < rows && numeric; ++r) numeric = keys[r].empty() || ReadsAsNumber(keys[r], values[r]);
  ProgressPart(progress, 0, 600);
  if (!numeric) RankTexts(keys, ranking, values, progress);
  ProgressPart(progress, 600, 800);
  CountedCalls called(progress, order.size());
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    called();
    const bool emptyA = keys[a].empty(), emptyB = keys[b].empty();
    if (emptyA || emptyB) return !emptyA && emptyB;  // empties last, both ways
    return descending ? values[b] < values[a] : values[a] < values[b];
  });
  // The data columns made again in the new order; the row labels stay.
  std::vector<CellColumn> columns;
  columns.reserve(static_cast<std::size_t>(sheet.Cols()));
  columns.push_back(sheet.Column(0));
  ProgressPart(progress, 800, 1000);
  for (int c = 1; c < sheet.Cols(); ++c) {
    ReportProgress(progress, static_cast<std::uint64_t>(c), static_cast<std::uint64_t>(sheet.Cols()));
    const CellColumn& column = sheet.Column(c);
    CellColumn& sorted = columns.emplace_back();
    sorted.Reserve(static_cast<std::size_t>(rows));
    sorted.Append(column.At(0));
    // The cells are read in the new order, all over the memory: asked for
    // ahead of their turn, they come while earlier ones are copied.
    constexpr std::size_t kAhead = 16;
    for (std::size_t i = 0; i < order.size(); ++i) {
      if (i + kAhead < order.size()) __builtin_prefetch(&column.At(static_cast<std::size_t>(order[i + kAhead])));
      sorted.Append(column.At(static_cast<std::size_t>(order[i])));
    }
  }
  Sheet result(rows, std::move(columns));
  LabelRows(result, 1, rows - 1);
  return result;
}

}  // namespace quillary
