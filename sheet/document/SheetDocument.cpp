#include "sheet/document/SheetDocument.h"

#include <algorithm>
#include <utility>

#include "sheet/document/HistoryStep.h"

namespace quillary {

namespace {

// What a change's step takes besides the texts it holds.
constexpr std::uint64_t kStepBytes = 512;

}  // namespace

// What the observers are told once a part was exchanged.
struct SheetDocument::Notice {
  bool reshaped;
  bool encoding;
  int top, left, bottom, right;
};

SheetDocument::Notice SheetDocument::NoticeOf(const StepPart& part) {
  if (const CellsVersion* held = part.cells()) return {false, false, held->top, held->left, held->bottom, held->right};
  if (const PlacedVersion* held = part.placed())
    return {false, false, held->top, held->left, held->bottom, held->right};
  if (part.sheet()) return {true, false, 0, 0, 0, 0};
  return {false, true, 0, 0, 0, 0};
}

SheetDocument::SheetDocument(QObject* parent) : QObject(parent), budget_(&SystemMemoryBudget()) {
  history_.setUndoLimit(kHistorySteps);
  connect(&history_, &QUndoStack::indexChanged, this, &SheetDocument::ShowCanUndo);
  connect(&history_, &QUndoStack::canRedoChanged, this, &SheetDocument::CanRedoChanged);
}

SheetDocument::~SheetDocument() = default;

void SheetDocument::CheckRoom(std::uint64_t bytes) const { quillary::CheckRoom(*budget_, bytes); }

// ---- changes ----

void SheetDocument::SetCell(int row, int col, SharedText text) {
  if (row < 0 || col < 0 || row >= sheet_.Rows() || col >= sheet_.Cols()) return;
  if (sheet_.Shared(row, col) == text) return;
  // The text is made already; only the step is new.
  CheckRoom(kStepBytes);
  std::vector<SharedText> texts{std::move(text)};
  Make(StepPart(CellsVersion{row, col, row, col, std::move(texts)}));
}

void SheetDocument::SetBlock(int top, int left, int bottom, int right, const BlockLines& lines) {
  if (top < 0 || left < 0 || top > bottom || left > right || bottom >= sheet_.Rows() || right >= sheet_.Cols()) return;
  const int rows = std::min(bottom - top + 1, static_cast<int>(lines.size()));
  const auto field = [&](int r, int c) -> const std::u16string_view* {
    if (r - top >= rows || c - left >= static_cast<int>(lines[r - top].size())) return nullptr;
    const std::u16string_view* text = &lines[r - top][c - left];
    return *text == sheet_.Text(r, c) ? nullptr : text;  // unchanged: the cell keeps its own
  };
  std::uint64_t bytes = CellTableBytes(bottom - top + 1, right - left + 1) + kStepBytes;
  for (int r = top; r < top + rows; ++r)
    for (int c = left; c <= right; ++c)
      if (const std::u16string_view* text = field(r, c); text && !text->empty()) bytes += HeldTextBytes(text->size());
  CheckRoom(bytes);

  std::vector<SharedText> texts;
  texts.reserve(static_cast<std::size_t>(bottom - top + 1) * static_cast<std::size_t>(right - left + 1));
  bool changes = false;
  for (int r = top; r <= bottom; ++r)
    for (int c = left; c <= right; ++c) {
      const std::u16string_view* text = field(r, c);
      changes = changes || text;
      texts.push_back(text ? SharedText(std::u16string(*text)) : sheet_.Shared(r, c));
    }
  if (changes) Make(StepPart(CellsVersion{top, left, bottom, right, std::move(texts)}));
}

void SheetDocument::SetBlock(int top, int left, int bottom, int right, const std::vector<QStringList>& lines) {
  BlockLines views;
  views.reserve(lines.size());
  for (const QStringList& line : lines) {
    std::vector<std::u16string_view>& fields = views.emplace_back();
    for (const QString& field : line)
      fields.emplace_back(QStringView(field).utf16(), static_cast<std::size_t>(field.size()));
  }
  SetBlock(top, left, bottom, right, views);
}

void SheetDocument::Resize(int rows, int cols) {
  if (rows == sheet_.Rows() && cols == sheet_.Cols()) return;
  Change(CellTableBytes(rows, cols), [&] { return Resized(sheet_, rows, cols); });
}

void SheetDocument::Clear() {
  Change(CellTableBytes(sheet_.Rows(), sheet_.Cols()), [&] { return Sheet(sheet_.Rows(), sheet_.Cols()); });
}

void SheetDocument::Change(std::uint64_t bytes, const std::function<Sheet()>& build) {
  CheckRoom(bytes + kStepBytes);
  Sheet built = build();
  if (built == sheet_) return;
  Make(StepPart(std::move(built)));
}

void SheetDocument::SetCells(std::uint64_t bytes, const std::function<std::vector<PlacedText>()>& build) {
  CheckRoom(bytes + kStepBytes);
  std::vector<PlacedText> cells = build();
  // Cells outside the sheet are left alone.
  std::erase_if(cells, [&](const PlacedText& cell) {
    return cell.row < 0 || cell.col < 0 || cell.row >= sheet_.Rows() || cell.col >= sheet_.Cols();
  });
  if (cells.empty()) return;
  PlacedVersion placed{cells.front().row, cells.front().col, cells.front().row, cells.front().col, {}};
  for (const PlacedText& cell : cells) {
    placed.top = std::min(placed.top, cell.row);
    placed.left = std::min(placed.left, cell.col);
    placed.bottom = std::max(placed.bottom, cell.row);
    placed.right = std::max(placed.right, cell.col);
  }
  placed.cells = std::move(cells);
  Make(StepPart(std::move(placed)));
}

void SheetDocument::Make(StepPart part) {
  std::unique_ptr<HistoryStep> own;
  HistoryStep* step = openStep_.get();
  if (!step) {
    own = std::make_unique<HistoryStep>(*this);
    step = own.get();
  }
  step->MakeRoom();
  part.Unshare(sheet_);
  const Notice notice = NoticeOf(part);
  // An observer failing before the swap leaves the sheet as it was; from
  // the swap until the step holds the part nothing can fail.
  Prepare(part);
  Swap(part);
  step->Add(std::move(part));
  if (own) Push(std::move(own));
  try {
    Announce(notice);
  } catch (...) {
    Keep();
  }
  RethrowFailure();
}

void SheetDocument::Push(std::unique_ptr<HistoryStep> step) noexcept {
  HistoryStep* pushed = step.get();
  try {
    history_.push(pushed);
  } catch (...) {
    Keep();
    // The history's own list failed to grow and never took the step.
    if (history_.count() == 0 || StepAt(history_.count() - 1) != pushed) return step->TakeBack();
  }
  step.release();
  try {
    Trim();
  } catch (...) {
    Keep();
  }
}

void SheetDocument::Prepare(const StepPart& part) {
  if (const Sheet* held = part.sheet()) emit AboutToReshape(held->Rows(), held->Cols());
}

void SheetDocument::Swap(StepPart& part) noexcept {
  ++changes_;
  if (TextEncoding* held = part.encoding()) return std::swap(encoding_, *held);
  if (Sheet* held = part.sheet()) {
    std::swap(sheet_, *held);
    sheetBytes_ = quillary::SheetBytes(sheet_);
    return;
  }
  if (PlacedVersion* placed = part.placed()) {
    for (PlacedText& cell : placed->cells) SwapCell(cell.row, cell.col, cell.text);
    return;
  }
  CellsVersion& cells = *part.cells();
  std::size_t i = 0;
  for (int r = cells.top; r <= cells.bottom; ++r)
    for (int c = cells.left; c <= cells.right; ++c, ++i) SwapCell(r, c, cells.texts[i]);
}

void SheetDocument::SwapCell(int row, int col, SharedText& text) noexcept {
  SharedText now = sheet_.Shared(row, col);
  sheetBytes_ = sheetBytes_ - now.Bytes() + text.Bytes();
  sheet_.SetShared(row, col, std::move(text));
  text = std::move(now);
}

void SheetDocument::Announce(const Notice& notice) {
  if (notice.encoding)
    emit StateChanged();
  else if (notice.reshaped)
    emit Reshaped();
  else
    emit CellsChanged(notice.top, notice.left, notice.bottom, notice.right);
}

void SheetDocument::Exchange(StepPart& part) noexcept {
  const Notice notice = NoticeOf(part);
  try {
    Prepare(part);
  } catch (...) {
    Keep();
  }
  Swap(part);
  try {
    Announce(notice);
  } catch (...) {
    Keep();
  }
}

void SheetDocument::Keep() noexcept {
  if (!failure_) failure_ = std::current_exception();
}

void SheetDocument::RethrowFailure() {
  if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

// ---- grouped steps ----

SheetDocument::Step::Step(SheetDocument& document) : document_(document) {
  if (document_.openDepth_ == 0) document_.openStep_ = std::make_unique<HistoryStep>(document_);
  ++document_.openDepth_;
}

void SheetDocument::Step::Commit() {
  if (std::exchange(committed_, true) || document_.openDepth_ > 1) return;
  std::unique_ptr<HistoryStep> group = std::move(document_.openStep_);
  // Its parts are done already; pushing redoes them, which they skip.
  if (!group->Empty()) document_.Push(std::move(group));
  document_.RethrowFailure();
}

SheetDocument::Step::~Step() {
  if (--document_.openDepth_ > 0 || !document_.openStep_) return;
  // Ended without Commit: on the way out of a failure, which stays the one
  // reported.
  document_.openStep_->TakeBack();
  document_.openStep_.reset();
  document_.failure_ = nullptr;
}

// ---- the document as a whole ----

void SheetDocument::Reset(Sheet sheet) {
  SheetImage saved;
  saved.Take(sheet);
  Replace(std::move(sheet), std::move(saved));
}

void SheetDocument::Replace(Sheet sheet, SheetImage saved) {
  StepPart part(std::move(sheet));
  Prepare(part);
  // The new sheet, its saved image and an empty history go together
  // whatever the observers do.
  Swap(part);
  saved_ = std::move(saved);
  savedEncoding_ = encoding_;
  ++changes_;
  try {
    history_.clear();
  } catch (...) {
    Keep();
  }
  try {
    Announce(NoticeOf(part));
    emit StateChanged();
    emit Replaced();
  } catch (...) {
    Keep();
  }
  RethrowFailure();
}

void SheetDocument::ResetUnsaved(Sheet sheet) {
  SheetImage none;
  none.Forget();
  Replace(std::move(sheet), std::move(none));
}

void SheetDocument::MarkSaved() {
  ++changes_;
  saved_.Take(sheet_);
  savedEncoding_ = encoding_;
  emit StateChanged();
}

void SheetDocument::ChangeEncoding(TextEncoding encoding) {
  if (encoding == encoding_) return;
  CheckRoom(kStepBytes);
  Make(StepPart(encoding));
}

bool SheetDocument::CheckModify() const {
  if (checkedAt_ != changes_) {
    modified_ = saved_.Differs(sheet_) || encoding_ != savedEncoding_;
    checkedAt_ = changes_;
  }
  return modified_;
}

bool SheetDocument::DiffersCellByCell() const {
  if (encoding_ != savedEncoding_) return true;
  return saved_.DiffersCellByCell(sheet_);
}

void SheetDocument::SetSheetArray(SheetArray array, TextEncoding encoding) {
  sheetArray_ = std::move(array);
  sheetArrayEncoding_ = encoding;
}

void SheetDocument::SetFileName(const QString& fileName) {
  fileName_ = fileName;
  emit StateChanged();
}

// ---- history ----

HistoryStep* SheetDocument::StepAt(int index) const {
  // The stack holds only the document's own steps.
  return static_cast<HistoryStep*>(const_cast<QUndoCommand*>(history_.command(index)));
}

bool SheetDocument::CanUndo() const {
  const int index = history_.index();
  return index > 0 && !StepAt(index - 1)->Forgotten();
}

void SheetDocument::Undo() {
  if (!CanUndo()) return;
  history_.undo();
  RethrowFailure();
}

void SheetDocument::Redo() {
  history_.redo();
  RethrowFailure();
}

int SheetDocument::HistorySteps() const {
  int steps = 0;
  for (int i = 0; i < history_.count(); ++i) steps += StepAt(i)->Forgotten() ? 0 : 1;
  return steps;
}

std::uint64_t SheetDocument::HistoryBytes() const {
  std::uint64_t bytes = 0;
  for (int i = 0; i < history_.count(); ++i) bytes += StepAt(i)->Bytes();
  return bytes;
}

std::uint64_t SheetDocument::HistoryBound() const { return std::max(kHistoryFloorBytes, sheetBytes_ / 4); }

void SheetDocument::Trim() {
  std::uint64_t held = HistoryBytes();
  const std::uint64_t bound = HistoryBound();
  // The newest step stays, whatever it holds: the last action can always be
  // taken back.
  for (int i = 0; held > bound && i < history_.index() - 1; ++i) {
    HistoryStep* step = StepAt(i);
    held -= step->Bytes();
    step->Forget();
  }
  ShowCanUndo();
}

void SheetDocument::ShowCanUndo() {
  const bool canUndo = CanUndo();
  if (canUndo == canUndo_) return;
  canUndo_ = canUndo;
  emit CanUndoChanged(canUndo);
}

}  // namespace quillary
