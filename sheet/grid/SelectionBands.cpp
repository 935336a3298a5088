#include "sheet/grid/SelectionBands.h"

#include <algorithm>

namespace quillary {

namespace {

Span Along(const QItemSelectionRange& range, Lines lines) {
  return lines == Lines::Rows ? Span{range.top(), range.bottom()} : Span{range.left(), range.right()};
}

Span Across(const QItemSelectionRange& range, Lines lines) {
  return lines == Lines::Rows ? Span{range.left(), range.right()} : Span{range.top(), range.bottom()};
}

// Sorted, with overlapping and touching spans joined.
std::vector<Span> Merged(std::vector<Span> spans) {
  std::sort(spans.begin(), spans.end(), [](Span a, Span b) { return a.first < b.first; });
  std::vector<Span> merged;
  for (const Span span : spans) {
    if (!merged.empty() && qint64{span.first} <= qint64{merged.back().last} + 1)
      merged.back().last = std::max(merged.back().last, span.last);
    else
      merged.push_back(span);
  }
  return merged;
}

}  // namespace

qint64 SelectionBand::Across() const {
  qint64 cells = 0;
  for (const Span span : across) cells += span.Length();
  return cells;
}

std::vector<SelectionBand> BandsOf(const QItemSelection& selection, Lines lines) {
  // A band starts where a rectangle starts or just after one ends.
  std::vector<qint64> cuts;
  for (const QItemSelectionRange& range : selection) {
    if (!range.isValid()) continue;
    cuts.push_back(Along(range, lines).first);
    cuts.push_back(qint64{Along(range, lines).last} + 1);
  }
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  std::vector<SelectionBand> bands;
  for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
    const int first = static_cast<int>(cuts[i]);
    std::vector<Span> across;
    for (const QItemSelectionRange& range : selection) {
      const Span along = Along(range, lines);
      if (range.isValid() && along.first <= first && first <= along.last) across.push_back(Across(range, lines));
    }
    if (!across.empty()) bands.push_back({{first, static_cast<int>(cuts[i + 1] - 1)}, Merged(std::move(across))});
  }
  return bands;
}

qint64 CellCount(const std::vector<SelectionBand>& bands) {
  qint64 cells = 0;
  for (const SelectionBand& band : bands) cells += band.lines.Length() * band.Across();
  return cells;
}

QList<int> WholeLines(const std::vector<SelectionBand>& bands, qint64 width) {
  QList<int> whole;
  whole.reserve(WholeLineCount(bands, width));
  for (const SelectionBand& band : bands)
    if (band.Across() == width)
      for (int line = band.lines.first; line <= band.lines.last; ++line) whole.push_back(line);
  return whole;
}

qint64 WholeLineCount(const std::vector<SelectionBand>& bands, qint64 width) {
  qint64 count = 0;
  for (const SelectionBand& band : bands)
    if (band.Across() == width) count += band.lines.Length();
  return count;
}

bool IsWholeLine(const std::vector<SelectionBand>& bands, int line, qint64 width) {
  return std::any_of(bands.begin(), bands.end(), [&](const SelectionBand& band) {
    return band.lines.first <= line && line <= band.lines.last && band.Across() == width;
  });
}

}  // namespace quillary
