#include "sheet/SheetDocument.h"

#include <utility>

namespace quillary {

// A change already made when it becomes a step: the first redo (which
// QUndoStack::push and a grouping step's own redo ask for) finds it done.
// Each step holds the other version of what it changed, and undo and redo
// both exchange the two, so a step costs one copy of its cells.
class DocumentStep : public QUndoCommand {
 public:
  DocumentStep(SheetDocument& document, QUndoCommand* group) : QUndoCommand(group), document_(document) {}

  void redo() final {
    if (std::exchange(done_, false)) return;
    Exchange();
  }
  void undo() final { Exchange(); }

 protected:
  virtual void Exchange() = 0;
  SheetDocument& document_;

 private:
  bool done_ = true;
};

// A rectangle of cells.
class CellsStep final : public DocumentStep {
 public:
  CellsStep(SheetDocument& document, QUndoCommand* group, int top, int left, int bottom, int right,
            std::vector<SharedText> held)
      : DocumentStep(document, group), top_(top), left_(left), bottom_(bottom), right_(right), held_(std::move(held)) {}

  void Exchange() override { document_.SwapCells(top_, left_, bottom_, right_, held_); }

 private:
  int top_, left_, bottom_, right_;
  std::vector<SharedText> held_;
};

// The whole sheet, for changes of its size.
class SheetStep final : public DocumentStep {
 public:
  SheetStep(SheetDocument& document, QUndoCommand* group, Sheet held)
      : DocumentStep(document, group), held_(std::move(held)) {}

  void Exchange() override { document_.SwapSheet(held_); }

 private:
  Sheet held_;
};

// Steps grouped by SheetDocument::Step: the children are done and undone
// in their order by QUndoCommand itself.
class GroupStep final : public QUndoCommand {};

SheetDocument::SheetDocument(QObject* parent) : QObject(parent) {
  history_.setUndoLimit(kHistorySteps);
  connect(&history_, &QUndoStack::canUndoChanged, this, &SheetDocument::CanUndoChanged);
  connect(&history_, &QUndoStack::canRedoChanged, this, &SheetDocument::CanRedoChanged);
}

SheetDocument::~SheetDocument() = default;

template <typename StepType, typename... Args>
void SheetDocument::Record(Args&&... args) {
  // A step made inside an open group is the group's child from the start.
  auto* step = new StepType(*this, openStep_.get(), std::forward<Args>(args)...);
  if (!openStep_) history_.push(step);
}

void SheetDocument::SetCell(int row, int col, SharedText text) {
  if (row < 0 || col < 0 || row >= sheet_.Rows() || col >= sheet_.Cols()) return;
  if (sheet_.Shared(row, col) == text) return;
  std::vector<SharedText> held{std::move(text)};
  SwapCells(row, col, row, col, held);
  Record<CellsStep>(row, col, row, col, std::move(held));
}

void SheetDocument::SetBlock(int top, int left, int bottom, int right, const std::vector<QStringList>& lines) {
  if (top < 0 || left < 0 || top > bottom || left > right || bottom >= sheet_.Rows() || right >= sheet_.Cols()) return;
  std::vector<SharedText> held;
  held.reserve(static_cast<std::size_t>(bottom - top + 1) * static_cast<std::size_t>(right - left + 1));
  bool changes = false;
  for (int r = top; r <= bottom; ++r) {
    const QStringList* line = r - top < static_cast<int>(lines.size()) ? &lines[r - top] : nullptr;
    for (int c = left; c <= right; ++c) {
      const SharedText& now = sheet_.Shared(r, c);
      if (!line || c - left >= line->size()) {
        held.push_back(now);
        continue;
      }
      held.emplace_back((*line)[c - left].toStdU16String());
      changes = changes || !(held.back() == now);
    }
  }
  if (!changes) return;
  SwapCells(top, left, bottom, right, held);
  Record<CellsStep>(top, left, bottom, right, std::move(held));
}

void SheetDocument::Resize(int rows, int cols) {
  if (rows == sheet_.Rows() && cols == sheet_.Cols()) return;
  Sheet resized = sheet_;
  resized.Resize(rows, cols);
  Change(std::move(resized));
}

void SheetDocument::Clear() { Change(Sheet(sheet_.Rows(), sheet_.Cols())); }

void SheetDocument::Change(Sheet sheet) {
  if (sheet == sheet_) return;
  SwapSheet(sheet);
  Record<SheetStep>(std::move(sheet));
}

void SheetDocument::Reset(Sheet sheet) {
  SwapSheet(sheet);
  history_.clear();
  MarkSaved();
}

void SheetDocument::ResetUnsaved(Sheet sheet) {
  SwapSheet(sheet);
  history_.clear();
  saved_.Forget();
  emit StateChanged();
}

void SheetDocument::MarkSaved() {
  saved_.Take(sheet_);
  emit StateChanged();
}

void SheetDocument::SetFileName(const QString& fileName) {
  fileName_ = fileName;
  emit StateChanged();
}

SheetDocument::Step::Step(SheetDocument& document) : document_(document) {
  if (document_.openDepth_++ == 0) document_.openStep_ = std::make_unique<GroupStep>();
}

SheetDocument::Step::~Step() {
  if (--document_.openDepth_ > 0) return;
  std::unique_ptr<QUndoCommand> group = std::move(document_.openStep_);
  // Its children are done already; pushing redoes them, which they skip.
  if (group->childCount() > 0) document_.history_.push(group.release());
}

void SheetDocument::SwapCells(int top, int left, int bottom, int right, std::vector<SharedText>& held) {
  std::size_t i = 0;
  for (int r = top; r <= bottom; ++r)
    for (int c = left; c <= right; ++c, ++i) {
      SharedText now = sheet_.Shared(r, c);
      sheet_.SetShared(r, c, std::move(held[i]));
      held[i] = std::move(now);
    }
  emit CellsChanged(top, left, bottom, right);
}

void SheetDocument::SwapSheet(Sheet& held) {
  emit AboutToReshape(held.Rows(), held.Cols());
  std::swap(sheet_, held);
  emit Reshaped();
}

}  // namespace quillary
