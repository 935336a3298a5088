#pragma once
// The grid control that shows a sheet: fixed rows at the top and fixed
// columns at the left drawn as headings that stay in view, a current cell and
// a rectangular selection of data cells, and the cell events the editing code
// relies on. Lengths cross this interface in twips (1/1440 inch).
//
// Event order when the current cell moves, whatever moves it (keys, mouse,
// the setters): LeaveCell while the old cell is still current, then the cell
// changes, then RowColChange and EnterCell.

#include <QAccessible>
#include <QString>
#include <QTableView>
#include <cstdint>

#include "sheet/Sheet.h"
#include "sheet/grid/GridCell.h"

class QHeaderView;

namespace quillary {

class GridModel;
class GridSelectionModel;
class SheetDocument;

class GridControl : public QTableView {
  Q_OBJECT

 public:
  enum class Alignment { LeftTop, CenterTop };

  // fixedRows / fixedCols: 0 or 1 (the main sheet has 1 and 1, the
  // field-name editor 1 and 0).
  // Shows document, which must outlive the grid.
  GridControl(SheetDocument& document, int fixedRows, int fixedCols, QWidget* parent = nullptr);
  // A grid with a document of its own (a dialog's small sheet, a test's).
  GridControl(int fixedRows, int fixedCols, QWidget* parent = nullptr);
  ~GridControl() override;

  // Counts include the fixed rows and columns. Setting keeps the cells inside
  // both rectangles; the current cell and selection are kept inside the grid.
  int Rows() const;
  void SetRows(int rows);
  int Cols() const;
  void SetCols(int cols);
  // Both counts in one step, so a sheet that changes shape never passes
  // through a size larger than the old and the new one.
  void Resize(int rows, int cols);
  int FixedRows() const;
  int FixedCols() const;

  // The current cell (always a data cell while the grid has one; while it
  // has none, the first data row and column). Setting moves the current cell
  // as a click would: the selection collapses onto it, and a cell that moved
  // is scrolled into view. Values outside the data cells are clamped to them.
  int Row() const;
  void SetRow(int row);
  int Col() const;
  void SetCol(int col);
  // The selection's other corner; equals Row/Col without an extended
  // selection. Setting extends the selection (clamped to the data cells)
  // and raises no cell events.
  int RowSel() const;
  void SetRowSel(int row);
  int ColSel() const;
  void SetColSel(int col);
  // The flat cell index row * Cols + col, 16-bit as the files count it.
  int Fgi(int row, int col) const { return static_cast<std::int16_t>(row * Cols() + col); }
  // All four at once: the one place the commands read the selection from.
  GridSelection Selection() const { return {Row(), Col(), RowSel(), ColSel()}; }
  // The current cell at (row, col), the other corner at (rowSel, colSel).
  void Select(const GridSelection& selection);

  QString Text() const;  // the current cell's text
  // The same as the sheet holds it, to share without copying.
  const SharedText& SharedCurrentText() const;
  void SetText(const QString& text);
  void SetText(std::u16string text);
  QString TextMatrix(int row, int col) const;
  void SetTextMatrix(int row, int col, const QString& text);
  // The same, for a text already in the sheet's own form (no conversion of
  // a long text).
  void SetCellText(int row, int col, std::u16string text);
  // Cells outside the grid read as empty; writing them does nothing.
  QString TextArray(int flatIndex) const;  // flat index = row * Cols + col
  void SetTextArray(int flatIndex, const QString& text);

  // Sets the selection's cells from a range text cut into lines at CR and
  // fields at TAB, from the selection's top-left cell; lines and fields
  // beyond the selection are ignored.
  void SetClip(const QString& rangeText);

  // The current cell's rectangle relative to the grid widget's top-left
  // corner (frame and headings included) as scrolled, in twips.
  int CellLeft() const;
  int CellTop() const;
  int CellWidth() const;
  int CellHeight() const;
  // Lays a control of the grid's parent over the current cell, 30 twips
  // wider so that it covers the grid line on its right.
  void PlaceOverCurrentCell(QWidget& control) const;

  // Twips, kept in whole pixels. The fixed column's width is the width of
  // the row-label heading, the fixed row's height that of the field-name
  // heading. A negative length sets the default.
  int ColWidth(int col) const;
  void SetColWidth(int col, int twips);
  int RowHeight(int row) const;
  void SetRowHeight(int row, int twips);
  Alignment ColAlignment(int col) const;
  void SetColAlignment(int col, Alignment alignment);

  // Every data cell selected, from the first one (Ctrl+A, the corner).
  void selectAll() override;

  // Every cell empty, fixed ones included; counts, widths and heights stay.
  void Clear();
  void SetFocus();

  // The sheet the grid shows, and the document every change of it goes
  // through (the setters above are its steps).
  const Sheet& sheet() const;
  SheetDocument& document() const;
  // A new sheet with a fresh history, in one change for the whole grid. The
  // current cell, the selection and the sizes of the surviving rows and
  // columns stay as Rows/Cols setting keeps them.
  void SetSheet(Sheet sheet);

 signals:
  void LeaveCell();
  void RowColChange();
  void EnterCell();
  void Scroll();
  void GotFocus();
  void DblClick();
  // keyCode: virtual key code (Tab 9, Enter 13, Esc 27, Up 38, Down 40,
  // Delete 46, letters 65..90 ...); shift: bit 1 Shift, 2 Ctrl, 4 Alt.
  void KeyDown(int keyCode, int shift);
  // A typed character as a 16-bit signed code (Ctrl+C gives 3, characters
  // above U+7FFF arrive negative). Text of more than one unit (a character
  // outside the basic plane, an input-method commit of several characters)
  // arrives whole as KeyPressText instead.
  void KeyPress(int charCode);
  void KeyPressText(const QString& text);
  // button: 1 left, 2 right, 4 middle; x, y in twips from the grid's top-left.
  // Raised for the headings too. The right button on a data cell outside the
  // selection first makes that cell current; otherwise it changes nothing.
  void MouseDown(int button, int shift, int x, int y);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  GridControl(SheetDocument* document, int fixedRows, int fixedCols, QWidget* parent);
  void SetUpHeadings();
  // Keys, mouse and setters move the current cell and the selection corner
  // through these two.
  void MoveCurrentTo(GridCell cell, bool scrollIntoView = true);
  void ExtendSelectionTo(GridCell cell, bool scrollIntoView = true);
  void ScrollToCell(GridCell cell);
  // Tells the accessibility layer that the first of these cells was
  // selected or deselected.
  void AnnounceSelection(const QItemSelection& cells, QAccessible::Event change);
  bool Navigate(const QKeyEvent& event);
  void RaiseMouseDown(const QWidget& source, const QMouseEvent& event);
  bool Selected(GridCell cell) const;
  // Whole records (Qt::Vertical) or fields from..to selected, `from` current.
  void SelectLines(Qt::Orientation lines, int from, int to);
  // A click or drag on a heading selects records or fields; true when used.
  bool HeadingMouse(QHeaderView& heading, const QMouseEvent& event);
  // The data cell under a viewport point, the nearest one when outside.
  GridCell CellNearest(QPoint viewportPos) const;
  int HeadingWidthPx() const;
  int HeadingHeightPx() const;

  GridModel* model_;
  GridSelectionModel* selection_;
  int fixedRows_;
  int fixedCols_;
  bool selectingWithMouse_ = false;
  // A drag that started on a heading, and which one.
  bool selectingHeading_ = false;
  Qt::Orientation selectingLines_ = Qt::Vertical;
};

}  // namespace quillary
