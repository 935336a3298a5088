#pragma once
// The sheet a grid shows, and the one way to change it: every change is a
// step of the document's history, so Undo and Redo can take it back and
// bring it again. The grid's model observes the document; nothing else
// holds the cells.

#include <memory>
#include <vector>

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUndoStack>

#include "sheet/Sheet.h"

namespace quillary {

class SheetDocument : public QObject {
  Q_OBJECT

 public:
  // The most steps Undo can go back; older ones are forgotten.
  static constexpr int kHistorySteps = 100;

  explicit SheetDocument(QObject* parent = nullptr);
  ~SheetDocument() override;

  const Sheet& sheet() const { return sheet_; }

  // ---- changes: each one step, unless a Step is open ----
  // Cells outside the sheet are left alone; a change that changes nothing
  // is no step.
  void SetCell(int row, int col, SharedText text);
  // Writes field j of line i to cell (top + i, left + j) for the cells up to
  // (bottom, right); cells the lines do not reach keep their texts.
  void SetBlock(int top, int left, int bottom, int right, const std::vector<QStringList>& lines);
  // Keeps the cells inside both the old and the new rectangle.
  void Resize(int rows, int cols);
  // Every cell empty; the size stays.
  void Clear();
  // The sheet replaced by an edited one (rows or columns inserted, deleted
  // or sorted, every cell replaced).
  void Change(Sheet sheet);

  // Groups the changes made while it lives into one step of the history
  // (one user action: a resize with its new labels, all field names).
  class Step {
   public:
    explicit Step(SheetDocument& document);
    ~Step();
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;

   private:
    SheetDocument& document_;
  };

  // ---- the document as a whole ----
  // A new sheet (New, Open): it counts as saved, and the history starts
  // afresh.
  void Reset(Sheet sheet);
  // A sheet brought back unsaved (from the recovery file of a program that
  // ended without saving): the history starts afresh, and the sheet counts
  // as modified until it is saved, whatever it holds.
  void ResetUnsaved(Sheet sheet);
  // The sheet as it is now reached its file.
  void MarkSaved();
  // The file the sheet was last opened from or saved to (empty: none).
  const QString& fileName() const { return fileName_; }
  void SetFileName(const QString& fileName);
  // True when the sheet differs from the one last reset or saved; undoing
  // back to that sheet makes it unmodified again.
  bool CheckModify() const { return saved_.Differs(sheet_); }

  // ---- history ----
  bool CanUndo() const { return history_.canUndo(); }
  bool CanRedo() const { return history_.canRedo(); }
  void Undo() { history_.undo(); }
  void Redo() { history_.redo(); }
  // The steps held (at most kHistorySteps).
  int HistorySteps() const { return history_.count(); }

 signals:
  // Cells of this rectangle (sheet coordinates) may hold new texts.
  void CellsChanged(int top, int left, int bottom, int right);
  // The sheet is about to take a new size (or be replaced whole); the cells
  // are still the old ones.
  void AboutToReshape(int rows, int cols);
  // The sheet has its new size and cells.
  void Reshaped();
  // The file's name, or the point the sheet counts as unmodified, changed.
  void StateChanged();
  // Whether Undo or Redo has something to do changed.
  void CanUndoChanged(bool canUndo);
  void CanRedoChanged(bool canRedo);

 private:
  friend class CellsStep;
  friend class SheetStep;

  // Makes a change that was just made a step of the history: alone, or a
  // part of the open Step.
  template <typename StepType, typename... Args>
  void Record(Args&&... args);
  // Exchanges the texts of a rectangle with the step's held ones.
  void SwapCells(int top, int left, int bottom, int right, std::vector<SharedText>& held);
  void SwapSheet(Sheet& held);

  Sheet sheet_;
  SheetImage saved_;
  QString fileName_;
  QUndoStack history_;
  // The step being grouped while a Step is open, and how deep.
  std::unique_ptr<QUndoCommand> openStep_;
  int openDepth_ = 0;
};

}  // namespace quillary
