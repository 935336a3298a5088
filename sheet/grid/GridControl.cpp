#include "sheet/grid/GridControl.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

#include <QAccessible>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include "sheet/grid/GridAccessibleTable.h"
#include "sheet/grid/GridKeys.h"
#include "sheet/grid/GridModel.h"
#include "sheet/grid/GridSelectionModel.h"
#include "sheet/grid/KeyCodes.h"
#include "sheet/grid/Twips.h"

namespace quillary {

namespace {

// Lengths for columns and rows that nobody sized, and for the headings.
constexpr int kDefaultColWidth = 960;   // twips, 64 px at 96 dpi
constexpr int kDefaultRowHeight = 250;  // twips, as the sheet starts

constexpr QChar kLineEnd = u'\r';
constexpr QChar kFieldEnd = u'\t';

int ButtonCode(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
  }
}

}  // namespace

GridControl::GridControl(int fixedRows, int fixedCols, QWidget* parent)
    : GridControl(nullptr, fixedRows, fixedCols, parent) {}

GridControl::GridControl(SheetDocument& document, int fixedRows, int fixedCols, QWidget* parent)
    : GridControl(&document, fixedRows, fixedCols, parent) {}

GridControl::GridControl(SheetDocument* shown, int fixedRows, int fixedCols, QWidget* parent)
    : QTableView(parent),
      model_(new GridModel(shown, fixedRows, fixedCols, this)),
      selection_(nullptr),
      fixedRows_(model_->FixedRows()),
      fixedCols_(model_->FixedCols()) {
  // Before anything asks for the grid's accessible table.
  InstallGridAccessibility();
  setModel(model_);
  QItemSelectionModel* viewDefault = selectionModel();
  selection_ = new GridSelectionModel(model_, this);
  setSelectionModel(selection_);
  delete viewDefault;
  // The headings draw no selection, yet they ask whether their field or
  // record is wholly selected, which Qt answers by visiting every cell of
  // it: a million for a field. Theirs is a selection model that stays empty.
  auto* headingSelection = new QItemSelectionModel(model_, this);
  horizontalHeader()->setSelectionModel(headingSelection);
  verticalHeader()->setSelectionModel(headingSelection);
  connect(selection_, &GridSelectionModel::LeaveCell, this, &GridControl::LeaveCell);
  connect(selection_, &GridSelectionModel::RowColChange, this, &GridControl::RowColChange);
  connect(selection_, &GridSelectionModel::EnterCell, this, &GridControl::EnterCell);
  // Whatever changes the sheet's size (a setter, Undo), the current cell
  // moves while the old one still exists.
  connect(&document(), &SheetDocument::AboutToReshape, this,
          [this](int rows, int cols) { selection_->KeepInside(model_->DataRows(rows), model_->DataCols(cols)); });
  connect(&document(), &SheetDocument::Reshaped, this, [this] { selection_->Sync(); });

  // The view only draws and scrolls; keys, mouse and the setters move the
  // current cell through the selection model, and the main window edits.
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setTabKeyNavigation(false);
  setAutoScroll(false);          // scrolling follows the cell events, not the index
  setCornerButtonEnabled(true);  // selects every data cell
  setWordWrap(false);
  setAttribute(Qt::WA_InputMethodEnabled);
  SetUpHeadings();

  SetSheet(Sheet(fixedRows_ + 1, fixedCols_ + 1));
}

SheetDocument& GridControl::document() const { return model_->document(); }

GridControl::~GridControl() = default;

void GridControl::SetUpHeadings() {
  QHeaderView* columns = horizontalHeader();
  QHeaderView* rows = verticalHeader();
  for (QHeaderView* header : {columns, rows}) {
    header->setSectionsClickable(false);  // the grid selects whole rows and columns itself
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(1);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->viewport()->installEventFilter(this);
  }
  columns->setDefaultSectionSize(TwipsToPixelsX(kDefaultColWidth, this));
  rows->setDefaultSectionSize(TwipsToPixelsY(kDefaultRowHeight, this));
  columns->setFixedHeight(TwipsToPixelsY(kDefaultRowHeight, this));
  rows->setFixedWidth(TwipsToPixelsX(kDefaultColWidth, this));
  columns->setVisible(fixedRows_ > 0);
  rows->setVisible(fixedCols_ > 0);
}

// ---- size ----

int GridControl::Rows() const { return model_->sheet().Rows(); }
int GridControl::Cols() const { return model_->sheet().Cols(); }
int GridControl::FixedRows() const { return fixedRows_; }
int GridControl::FixedCols() const { return fixedCols_; }

void GridControl::SetRows(int rows) { Resize(rows, Cols()); }
void GridControl::SetCols(int cols) { Resize(Rows(), cols); }

void GridControl::Resize(int rows, int cols) { document().Resize(std::max(rows, 0), std::max(cols, 0)); }

const Sheet& GridControl::sheet() const { return model_->sheet(); }

void GridControl::SetSheet(Sheet sheet) { document().Reset(std::move(sheet)); }

void GridControl::Clear() { document().Clear(); }

// ---- current cell and selection ----

int GridControl::Row() const { return selection_->Current().row + fixedRows_; }
int GridControl::Col() const { return selection_->Current().col + fixedCols_; }
int GridControl::RowSel() const { return selection_->Corner().row + fixedRows_; }
int GridControl::ColSel() const { return selection_->Corner().col + fixedCols_; }

void GridControl::SetRow(int row) { MoveCurrentTo({row - fixedRows_, selection_->Current().col}); }
void GridControl::SetCol(int col) { MoveCurrentTo({selection_->Current().row, col - fixedCols_}); }
void GridControl::Select(const GridSelection& selection) {
  SetRow(selection.row);
  SetCol(selection.col);
  SetRowSel(selection.rowSel);
  SetColSel(selection.colSel);
}

// Not scrolled: the range commands set the corner while an edit may be
// pending.
void GridControl::SetRowSel(int row) { ExtendSelectionTo({row - fixedRows_, selection_->Corner().col}, false); }
void GridControl::SetColSel(int col) { ExtendSelectionTo({selection_->Corner().row, col - fixedCols_}, false); }

// Only a cell that moved is scrolled into view: a scroll commits a pending
// edit, which must not happen without the cell events.
void GridControl::MoveCurrentTo(GridCell cell, bool scrollIntoView) {
  const GridCell before = selection_->Current();
  selection_->MoveCurrent(cell);
  if (scrollIntoView && selection_->Current() != before) ScrollToCell(selection_->Current());
}

void GridControl::ExtendSelectionTo(GridCell cell, bool scrollIntoView) {
  const GridCell before = selection_->Corner();
  selection_->ExtendTo(cell);
  if (scrollIntoView && selection_->Corner() != before) ScrollToCell(selection_->Corner());
}

void GridControl::ScrollToCell(GridCell cell) {
  if (selection_->HasCells()) scrollTo(model_->index(cell.row, cell.col));
}

// ---- texts ----

QString GridControl::Text() const { return model_->Text(Row(), Col()); }

const SharedText& GridControl::SharedCurrentText() const { return model_->sheet().Shared(Row(), Col()); }

void GridControl::SetText(const QString& text) { SetText(text.toStdU16String()); }

void GridControl::SetText(std::u16string text) {
  if (selection_->HasCells()) document().SetCell(Row(), Col(), SharedText(std::move(text)));
}

QString GridControl::TextMatrix(int row, int col) const { return model_->Text(row, col); }

void GridControl::SetTextMatrix(int row, int col, const QString& text) {
  document().SetCell(row, col, SharedText(text.toStdU16String()));
}

void GridControl::SetCellText(int row, int col, std::u16string text) {
  document().SetCell(row, col, SharedText(std::move(text)));
}

QString GridControl::TextArray(int flatIndex) const {
  if (flatIndex < 0 || Cols() == 0) return {};
  return model_->Text(flatIndex / Cols(), flatIndex % Cols());
}

void GridControl::SetTextArray(int flatIndex, const QString& text) {
  if (flatIndex >= 0 && Cols() > 0) SetTextMatrix(flatIndex / Cols(), flatIndex % Cols(), text);
}

void GridControl::SetClip(const QString& rangeText) {
  if (!selection_->HasCells()) return;
  const int top = std::min(Row(), RowSel());
  const int left = std::min(Col(), ColSel());
  const int bottom = std::max(Row(), RowSel());
  const int right = std::max(Col(), ColSel());
  // Views into the text: the document copies only the texts it keeps, once
  // it knows they fit.
  BlockLines lines;
  for (const QStringView line : QStringView(rangeText).split(kLineEnd)) {
    if (static_cast<int>(lines.size()) > bottom - top) break;
    std::vector<std::u16string_view>& fields = lines.emplace_back();
    for (const QStringView field : line.split(kFieldEnd)) {
      if (static_cast<int>(fields.size()) > right - left) break;
      fields.emplace_back(field.utf16(), static_cast<std::size_t>(field.size()));
    }
  }
  document().SetBlock(top, left, bottom, right, lines);
}

// ---- geometry ----

int GridControl::HeadingWidthPx() const { return fixedCols_ > 0 ? verticalHeader()->minimumWidth() : 0; }
int GridControl::HeadingHeightPx() const { return fixedRows_ > 0 ? horizontalHeader()->minimumHeight() : 0; }

// From the headings' fixed sizes rather than the viewport's position, so the
// geometry is right before the view has been laid out.
int GridControl::CellLeft() const {
  if (!selection_->HasCells()) return 0;
  return PixelsToTwipsX(contentsRect().left() + HeadingWidthPx() + columnViewportPosition(selection_->Current().col),
                        this);
}

int GridControl::CellTop() const {
  if (!selection_->HasCells()) return 0;
  return PixelsToTwipsY(contentsRect().top() + HeadingHeightPx() + rowViewportPosition(selection_->Current().row),
                        this);
}

int GridControl::CellWidth() const {
  return selection_->HasCells() ? PixelsToTwipsX(columnWidth(selection_->Current().col), this) : 0;
}

int GridControl::CellHeight() const {
  return selection_->HasCells() ? PixelsToTwipsY(rowHeight(selection_->Current().row), this) : 0;
}

void GridControl::PlaceOverCurrentCell(QWidget& control) const {
  constexpr int kCoverGridLine = 30;
  control.setGeometry(x() + TwipsToPixelsX(CellLeft(), this), y() + TwipsToPixelsY(CellTop(), this),
                      TwipsToPixelsX(CellWidth() + kCoverGridLine, this), TwipsToPixelsY(CellHeight(), this));
}

int GridControl::ColWidth(int col) const {
  if (col < 0 || col >= Cols()) return 0;
  const int pixels = col < fixedCols_ ? HeadingWidthPx() : columnWidth(col - fixedCols_);
  return PixelsToTwipsX(pixels, this);
}

void GridControl::SetColWidth(int col, int twips) {
  if (col < 0 || col >= Cols()) return;
  const int pixels = TwipsToPixelsX(twips < 0 ? kDefaultColWidth : twips, this);
  if (col < fixedCols_) {
    verticalHeader()->setFixedWidth(pixels);
  } else {
    setColumnWidth(col - fixedCols_, pixels);
  }
}

int GridControl::RowHeight(int row) const {
  if (row < 0 || row >= Rows()) return 0;
  const int pixels = row < fixedRows_ ? HeadingHeightPx() : rowHeight(row - fixedRows_);
  return PixelsToTwipsY(pixels, this);
}

void GridControl::SetRowHeight(int row, int twips) {
  if (row < 0 || row >= Rows()) return;
  const int pixels = TwipsToPixelsY(twips < 0 ? kDefaultRowHeight : twips, this);
  if (row < fixedRows_) {
    horizontalHeader()->setFixedHeight(pixels);
  } else {
    setRowHeight(row - fixedRows_, pixels);
  }
}

GridControl::Alignment GridControl::ColAlignment(int col) const {
  return model_->ColAlignment(col) & Qt::AlignHCenter ? Alignment::CenterTop : Alignment::LeftTop;
}

void GridControl::SetColAlignment(int col, Alignment alignment) {
  const Qt::Alignment horizontal = alignment == Alignment::CenterTop ? Qt::AlignHCenter : Qt::AlignLeft;
  model_->SetColAlignment(col, horizontal | Qt::AlignTop);
}

void GridControl::SetFocus() { setFocus(); }

// ---- keys ----

void GridControl::keyPressEvent(QKeyEvent* event) {
  emit KeyDown(KeyCodeOf(*event), ShiftStateOf(event->modifiers()));
  if (event->matches(QKeySequence::SelectAll)) {
    selectAll();
    event->accept();
  } else if (Navigate(*event)) {
    event->accept();
  } else if (const std::optional<int> code = TypedCharCode(*event)) {
    // One unit would be half of a character outside the basic plane.
    if (const QString text = TypedLongText(*event); !text.isEmpty())
      emit KeyPressText(text);
    else
      emit KeyPress(*code);
    event->accept();
  } else {
    event->ignore();
  }
}

bool GridControl::Navigate(const QKeyEvent& event) {
  // Shift moves the selection's corner; the current cell stays.
  const bool extend = event.modifiers() & Qt::ShiftModifier;
  const GridCell last{model_->rowCount() - 1, model_->columnCount() - 1};
  const int pageRows = std::max(1, viewport()->height() / std::max(1, verticalHeader()->defaultSectionSize()));
  const std::optional<GridCell> target = NavigationTarget(
      event.key(), event.modifiers(), extend ? selection_->Corner() : selection_->Current(), last, pageRows);
  if (!target) return false;
  if (extend) {
    ExtendSelectionTo(*target);
  } else {
    MoveCurrentTo(*target);
  }
  return true;
}

void GridControl::inputMethodEvent(QInputMethodEvent* event) {
  // A commit of one unit is typed like a key; a longer one is handed on whole.
  const QString commit = event->commitString();
  if (commit.size() == 1) {
    emit KeyPress(SignedCharCode(commit.front()));
  } else if (commit.size() > 1) {
    emit KeyPressText(commit);
  }
  event->accept();
}

// ---- mouse ----

void GridControl::RaiseMouseDown(const QWidget& source, const QMouseEvent& event) {
  const QPoint pos = source.mapTo(this, event.position().toPoint());
  emit MouseDown(ButtonCode(event.button()), ShiftStateOf(event.modifiers()), PixelsToTwipsX(pos.x(), this),
                 PixelsToTwipsY(pos.y(), this));
}

bool GridControl::Selected(GridCell cell) const {
  const GridCell a = selection_->Current();
  const GridCell b = selection_->Corner();
  return cell.row >= std::min(a.row, b.row) && cell.row <= std::max(a.row, b.row) &&
         cell.col >= std::min(a.col, b.col) && cell.col <= std::max(a.col, b.col);
}

void GridControl::mousePressEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  // The right button on a cell outside the selection makes it current
  // before the pop-up opens, whose commands then act on the cell clicked;
  // inside the selection the selection stays.
  if (event->button() == Qt::RightButton && index.isValid() && !Selected({index.row(), index.column()}))
    MoveCurrentTo({index.row(), index.column()}, false);
  RaiseMouseDown(*viewport(), *event);
  event->accept();
  if (event->button() != Qt::LeftButton) return;
  if (!index.isValid()) return;
  // A click does not scroll: the second click of a double click must find
  // the same cell under the pointer.
  const GridCell cell{index.row(), index.column()};
  if (event->modifiers() & Qt::ShiftModifier) {
    ExtendSelectionTo(cell, false);
  } else {
    MoveCurrentTo(cell, false);
  }
  selectingWithMouse_ = true;
}

void GridControl::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  if (!selectingWithMouse_ || !(event->buttons() & Qt::LeftButton)) return;
  ExtendSelectionTo(CellNearest(event->position().toPoint()));
}

void GridControl::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() == Qt::LeftButton) selectingWithMouse_ = false;
}

void GridControl::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click.
  mousePressEvent(event);
  if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid()) emit DblClick();
}

GridCell GridControl::CellNearest(QPoint viewportPos) const {
  const QRect area = viewport()->rect();
  const int x = std::clamp(viewportPos.x(), area.left(), area.right());
  const int y = std::clamp(viewportPos.y(), area.top(), area.bottom());
  // Past the last row or column the last one is nearest.
  const int row = rowAt(y);
  const int col = columnAt(x);
  return {row < 0 ? model_->rowCount() - 1 : row, col < 0 ? model_->columnCount() - 1 : col};
}

bool GridControl::eventFilter(QObject* watched, QEvent* event) {
  QHeaderView* heading = watched == horizontalHeader()->viewport() ? horizontalHeader()
                         : watched == verticalHeader()->viewport() ? verticalHeader()
                                                                   : nullptr;
  if (!heading) return QTableView::eventFilter(watched, event);
  const QEvent::Type type = event->type();
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick && type != QEvent::MouseMove &&
      type != QEvent::MouseButtonRelease)
    return QTableView::eventFilter(watched, event);
  const auto& mouse = static_cast<const QMouseEvent&>(*event);
  const bool press = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
  // Presses on the headings are presses on the grid's fixed cells; the left
  // button selects whole records or fields, so the pop-up sees them.
  const bool used = HeadingMouse(*heading, mouse);
  if (press) RaiseMouseDown(static_cast<const QWidget&>(*watched), mouse);
  if (press && mouse.button() == Qt::RightButton) return true;
  return used || QTableView::eventFilter(watched, event);
}

// ---- focus, scrolling ----

void GridControl::focusInEvent(QFocusEvent* event) {
  QTableView::focusInEvent(event);
  emit GotFocus();
}

void GridControl::scrollContentsBy(int dx, int dy) {
  QTableView::scrollContentsBy(dx, dy);
  if (dx != 0 || dy != 0) emit Scroll();
}

void GridControl::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
  // The table view tells the accessibility layer which cell was selected
  // and which deselected first, after listing every cell of both: millions
  // for a whole sheet. The first cell of a range is its top-left corner.
  if (QAccessible::isActive()) {
    AnnounceSelection(selected, QAccessible::SelectionAdd);
    AnnounceSelection(deselected, QAccessible::SelectionRemove);
  }
  QAbstractItemView::selectionChanged(selected, deselected);
}

void GridControl::AnnounceSelection(const QItemSelection& cells, QAccessible::Event change) {
  if (cells.isEmpty()) return;
  const QModelIndex first = cells.first().topLeft();
  const qint64 child = AccessibleChildIndex(first.row(), first.column(), model_->columnCount());
  if (child > std::numeric_limits<int>::max()) return;
  QAccessibleEvent event(this, change);
  event.setChild(static_cast<int>(child));
  QAccessible::updateAccessibility(&event);
}

void GridControl::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  // The view turns input methods off on cells it cannot edit itself.
  setAttribute(Qt::WA_InputMethodEnabled);
}

}  // namespace quillary
