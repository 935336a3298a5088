#include "sheet/SheetEdits.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace quillary {

namespace {

// A sheet of the new size whose cell (r, c) is the old cell (fromRow(r),
// fromCol(c)), or empty where either is nothing.
template <typename RowMap, typename ColMap>
Sheet Mapped(const Sheet& sheet, int rows, int cols, RowMap fromRow, ColMap fromCol) {
  Sheet result(rows, cols);
  for (int r = 0; r < rows; ++r) {
    const std::optional<int> oldRow = fromRow(r);
    if (!oldRow) continue;
    for (int c = 0; c < cols; ++c)
      if (const std::optional<int> oldCol = fromCol(c)) result.SetShared(r, c, sheet.Shared(*oldRow, *oldCol));
  }
  return result;
}

std::optional<int> Same(int i) { return i; }

// Index i of the new sheet after count were inserted before `at`.
auto AfterInsert(int at, int count) {
  return [=](int i) -> std::optional<int> {
    if (i < at) return i;
    if (i < at + count) return std::nullopt;
    return i - count;
  };
}

// Index i of the new sheet after count were removed from `first` on.
auto AfterDelete(int first, int count) {
  return [=](int i) -> std::optional<int> { return i < first ? i : i + count; };
}

// Columns first..last named "フィールド n", each with the smallest n that no
// other field's name uses, so that no placeholder names two fields.
void NameNewFields(Sheet& sheet, int first, int last) {
  if (sheet.Rows() == 0) return;
  std::unordered_set<std::u16string> taken;
  for (int c = 1; c < sheet.Cols(); ++c)
    if (c < first || c > last) taken.insert(sheet.Text(0, c));
  int n = 1;
  for (int c = first; c <= last; ++c) {
    while (taken.count(DefaultFieldName(n)) > 0) ++n;
    sheet.SetText(0, c, DefaultFieldName(n++));
  }
}

Sheet Relabelled(Sheet sheet) {
  LabelRows(sheet, 1, sheet.Rows() - 1);
  return sheet;
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

}  // namespace

Sheet WithRowsInserted(const Sheet& sheet, int at, int count) {
  return Relabelled(Mapped(sheet, sheet.Rows() + count, sheet.Cols(), AfterInsert(at, count), Same));
}

Sheet WithRowsDeleted(const Sheet& sheet, int first, int count) {
  return Relabelled(Mapped(sheet, sheet.Rows() - count, sheet.Cols(), AfterDelete(first, count), Same));
}

Sheet WithColsInserted(const Sheet& sheet, int at, int count) {
  Sheet result = Mapped(sheet, sheet.Rows(), sheet.Cols() + count, Same, AfterInsert(at, count));
  NameNewFields(result, at, at + count - 1);
  return result;
}

Sheet WithColsDeleted(const Sheet& sheet, int first, int count) {
  return Mapped(sheet, sheet.Rows(), sheet.Cols() - count, Same, AfterDelete(first, count));
}

Sheet ResizedAndLabelled(const Sheet& sheet, int rows, int cols) {
  Sheet result = Resized(sheet, rows, cols);
  LabelRows(result, std::max(sheet.Rows(), 1), rows - 1);
  NameFields(result, std::max(sheet.Cols(), 1), cols - 1);
  return result;
}

std::uint64_t EditBytes(long long rows, long long cols) {
  constexpr std::uint64_t kLabelBytes = HeldTextBytes(16);
  constexpr std::uint64_t kSortBytesPerRow = sizeof(int) + sizeof(double);
  const auto count = [](long long n) { return static_cast<std::uint64_t>(std::max(n, 0LL)); };
  return CellTableBytes(rows, cols) + (count(rows) + count(cols)) * kLabelBytes + count(rows) * kSortBytesPerRow;
}

bool ReadsAsNumber(const std::u16string& text, double& value) {
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

Sheet WithRowsSorted(const Sheet& sheet, int col, bool descending, const TextOrder& textOrder) {
  const int rows = sheet.Rows();
  if (rows <= 2 || col < 1 || col >= sheet.Cols()) return sheet;
  std::vector<int> order(rows - 1);
  std::iota(order.begin(), order.end(), 1);
  std::vector<double> numbers(rows, 0.0);
  bool numeric = true;
  for (int r = 1; r < rows && numeric; ++r) {
    const std::u16string& text = sheet.Text(r, col);
    numeric = text.empty() || ReadsAsNumber(text, numbers[r]);
  }
  const auto compare = [&](int a, int b) {
    const std::u16string& x = sheet.Text(a, col);
    const std::u16string& y = sheet.Text(b, col);
    if (x.empty() || y.empty()) return x.empty() ? 1 : -1;  // empties last, both ways
    const int sign = numeric ? (numbers[a] < numbers[b] ? -1 : numbers[a] > numbers[b] ? 1 : 0) : textOrder(x, y);
    return descending ? -sign : sign;
  };
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const std::u16string& x = sheet.Text(a, col);
    const std::u16string& y = sheet.Text(b, col);
    if (x.empty() && y.empty()) return false;
    return compare(a, b) < 0;
  });
  return Relabelled(Mapped(
      sheet, rows, sheet.Cols(), [&](int r) -> std::optional<int> { return r == 0 ? 0 : order[r - 1]; }, Same));
}

}  // namespace quillary
