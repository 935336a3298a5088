#pragma once
// A selection of rectangles seen as bands of lines (rows, or columns): in
// each band every line has the same cells selected across it. Whatever is
// counted or listed from the bands costs time in proportion to the
// rectangles (or to what is listed), never to the sheet: a whole sheet is
// one rectangle and one band. Rectangles may overlap; a cell counts once.

#include <QItemSelection>
#include <QList>
#include <QtGlobal>
#include <vector>

namespace quillary {

enum class Lines { Rows, Columns };

// first..last, inclusive.
struct Span {
  int first;
  int last;
  qint64 Length() const { return qint64{last} - first + 1; }
};

struct SelectionBand {
  Span lines;
  std::vector<Span> across;  // sorted, apart from each other
  qint64 Across() const;     // cells selected across each line
};

// In line order; lines without a selected cell belong to no band.
std::vector<SelectionBand> BandsOf(const QItemSelection& selection, Lines lines);

qint64 CellCount(const std::vector<SelectionBand>& bands);
// The lines selected from end to end (`width` cells across each).
QList<int> WholeLines(const std::vector<SelectionBand>& bands, qint64 width);
qint64 WholeLineCount(const std::vector<SelectionBand>& bands, qint64 width);
bool IsWholeLine(const std::vector<SelectionBand>& bands, int line, qint64 width);

}  // namespace quillary
