#pragma once
// The table model behind the grid control: a view of the sheet document it
// owns, fixed cells included. The model's cells are the data cells only,
// (r, c) being sheet cell (r + fixedRows, c + fixedCols); the fixed row and
// column are the header texts. Everything here speaks sheet coordinates
// unless it says so. It never changes a cell: it follows the document.

#include <vector>

#include <QAbstractTableModel>
#include <QStringList>

#include "sheet/Sheet.h"
#include "sheet/document/SheetDocument.h"

namespace quillary {

class GridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // Observes document, which must outlive the model; none: a document of
  // the model's own (a grid standing alone, as in a dialog).
  GridModel(SheetDocument* document, int fixedRows, int fixedCols, QObject* parent = nullptr);

  int FixedRows() const { return fixedRows_; }
  int FixedCols() const { return fixedCols_; }
  const Sheet& sheet() const { return document_->sheet(); }
  SheetDocument& document() const { return *document_; }

  // Sheet sizes that leave rows x cols data cells.
  int DataRows(int sheetRows) const { return sheetRows > fixedRows_ ? sheetRows - fixedRows_ : 0; }
  int DataCols(int sheetCols) const { return sheetCols > fixedCols_ ? sheetCols - fixedCols_ : 0; }

  bool Contains(int row, int col) const;
  // Out-of-range cells read as empty; writing them does nothing.
  QString Text(int row, int col) const;
  // What the view draws: the start of a long text (LongText.h).
  QString DrawnText(int row, int col) const;

  // Per column, for its data cells and its heading texts.
  Qt::Alignment ColAlignment(int col) const;
  void SetColAlignment(int col, Qt::Alignment alignment);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  void OnCellsChanged(int top, int left, int bottom, int right);
  // A new size is announced as rows and columns added or removed at the
  // end, so the views keep the sizes of their other sections.
  void OnReshaped();
  void ResizeRows(int dataRows);
  void ResizeCols(int dataCols);
  // Tells the views that every cell and heading may have changed.
  void AnnounceAllChanged();

  SheetDocument* document_;  // the one handed in, or a child of the model
  // The counts the views were last told; the document may be ahead of them
  // until OnReshaped has announced its new size.
  int dataRows_ = 0;
  int dataCols_ = 0;
  std::vector<Qt::Alignment> alignments_;  // one per sheet column
  int fixedRows_;
  int fixedCols_;
};

}  // namespace quillary
