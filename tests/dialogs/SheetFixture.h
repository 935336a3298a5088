#pragma once
// The main window's sheet as the dialogs find it, and clicks on grid cells
// placed from the grid's own cell geometry.

#include <string>
#include <vector>

#include <QApplication>
#include <QInputMethodEvent>
#include <QPoint>
#include <QString>
#include <QTest>

#include "sheet/GridControl.h"
#include "sheet/Sheet.h"
#include "sheet/Twips.h"

namespace quillary::testing {

// records x fields, labelled; data cells hold "r,c" so moved or lost cells
// show; field names given or default.
inline Sheet FilledSheet(int records, int fields, const std::vector<std::u16string>& names = {}) {
  Sheet sheet(records + 1, fields + 1);
  LabelSheet(sheet);
  for (int r = 1; r <= records; ++r)
    for (int c = 1; c <= fields; ++c)
      sheet.SetText(r, c, DecimalText(r) + u"," + DecimalText(c));
  for (std::size_t i = 0; i < names.size(); ++i)
    sheet.SetText(0, static_cast<int>(i) + 1, names[i]);
  return sheet;
}

// The centre of the current row's cell in column col, in the viewport's pixels, worked out
// from the current cell's rectangle and the column widths.
inline QPoint CellCentre(const GridControl& grid, int col) {
  int left = grid.CellLeft();
  for (int c = grid.Col(); c < col; ++c) left += grid.ColWidth(c);
  for (int c = col; c < grid.Col(); ++c) left -= grid.ColWidth(c);
  const QPoint inGrid(TwipsToPixelsX(left + grid.ColWidth(col) / 2, &grid),
                      TwipsToPixelsY(grid.CellTop() + grid.CellHeight() / 2, &grid));
  return grid.viewport()->mapFrom(&grid, inGrid);
}

inline void ClickCell(GridControl& grid, int col) {
  QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellCentre(grid, col));
}

// Press, release, double-click, release: the events a real double-click
// brings.
inline void DoubleClickCell(GridControl& grid, int col) {
  const QPoint centre = CellCentre(grid, col);
  QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, centre);
  QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, centre);
  QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, centre);
}

// Text as an input method commits it (key clicks carry ASCII only).
inline void CommitText(QWidget* widget, const QString& text) {
  QInputMethodEvent event;
  event.setCommitString(text);
  QApplication::sendEvent(widget, &event);
}

}  // namespace quillary::testing
