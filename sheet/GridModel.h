#pragma once
// The table model behind the grid control: the whole sheet, fixed cells
// included. The model's cells are the data cells only, (r, c) being sheet
// cell (r + fixedRows, c + fixedCols); the fixed row and column are the
// header texts. Everything here speaks sheet coordinates unless it says so.

#include <vector>

#include <QAbstractTableModel>
#include <QStringList>

#include "sheet/Sheet.h"

namespace quillary {

class GridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  GridModel(int fixedRows, int fixedCols, QObject* parent = nullptr);

  int FixedRows() const { return fixedRows_; }
  int FixedCols() const { return fixedCols_; }
  const Sheet& sheet() const { return sheet_; }

  // Sheet sizes that leave rows x cols data cells.
  int DataRows(int sheetRows) const { return sheetRows > fixedRows_ ? sheetRows - fixedRows_ : 0; }
  int DataCols(int sheetCols) const { return sheetCols > fixedCols_ ? sheetCols - fixedCols_ : 0; }

  bool Contains(int row, int col) const;
  // Out-of-range cells read as empty; writing them does nothing.
  QString Text(int row, int col) const;
  // What the view draws: the start of a long text (LongText.h).
  QString DrawnText(int row, int col) const;
  void SetText(int row, int col, const QString& text);
  void SetText(int row, int col, std::u16string text);
  // Writes field j of line i to cell (top + i, left + j) for the cells up to
  // (bottom, right); the caller keeps the block inside the data cells.
  void SetBlock(int top, int left, int bottom, int right, const std::vector<QStringList>& lines);

  // Keeps the cells inside both rectangles, announced as rows and columns
  // added or removed at the end so the views keep their other sections.
  void Resize(int rows, int cols);
  // Resizes to the new sheet's size, then takes its cells in one change.
  void ReplaceSheet(Sheet sheet);
  void Clear();

  // Per column, for its data cells and its heading texts.
  Qt::Alignment ColAlignment(int col) const;
  void SetColAlignment(int col, Qt::Alignment alignment);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  void ResizeRows(int rows);
  void ResizeCols(int cols);
  // Tells the views that every cell and heading may have changed.
  void AnnounceAllChanged();

  Sheet sheet_;
  std::vector<Qt::Alignment> alignments_;  // one per sheet column
  int fixedRows_;
  int fixedCols_;
};

}  // namespace quillary
