#pragma once
// The open file: the sheet a grid shows and the one way to change it, its
// name and encodings, and the sheet as it last came from or reached the
// file. Every change of the sheet is a step of the document's history, so
// Undo and Redo can take it back and bring it again. The window creates the
// document; the grid's model observes it, and the commands and the preview
// are handed it. Nothing else holds the cells.
//
// A change first makes sure that the memory it takes is there, then builds
// what it needs, and only then changes the sheet: refused (NotEnoughMemory)
// or failing, it leaves the sheet and the history as they were. The history
// holds at most kHistorySteps steps, and besides the newest one at most
// HistoryBound() bytes: older steps are forgotten first, and Undo stops
// where they were.

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUndoStack>

#include "platform/MemoryBudget.h"
#include "platform/TextEncoding.h"
#include "sheet/PlacedText.h"
#include "sheet/Sheet.h"
#include "sheet/SheetArray.h"

namespace quillary {

class HistoryStep;
class StepPart;

// Field j of line i is the text of the cell j columns right of and i rows
// below a block's top-left cell.
using BlockLines = std::vector<std::vector<std::u16string_view>>;

class SheetDocument : public QObject {
  Q_OBJECT

 public:
  // The most steps Undo can go back; older ones are forgotten.
  static constexpr int kHistorySteps = 100;
  // What the history may always hold; on a sheet larger than four times
  // this, a quarter of the sheet.
  static constexpr std::uint64_t kHistoryFloorBytes = 256 * kMiB;

  explicit SheetDocument(QObject* parent = nullptr);
  ~SheetDocument() override;

  const Sheet& sheet() const { return sheet_; }

  // ---- memory ----
  // What the changes are checked against: the system's unless set (tests
  // set a small one). It must outlive the document.
  void SetMemoryBudget(const MemoryBudget& budget) { budget_ = &budget; }
  // Throws NotEnoughMemory unless `bytes` more fit: for a command that builds
  // something large before it changes anything.
  void CheckRoom(std::uint64_t bytes) const;

  // ---- changes: each one step, unless a Step is open ----
  // Cells outside the sheet are left alone; a change that changes nothing
  // is no step.
  void SetCell(int row, int col, SharedText text);
  // Writes field j of line i to cell (top + i, left + j) for the cells up to
  // (bottom, right); cells the lines do not reach keep their texts.
  void SetBlock(int top, int left, int bottom, int right, const BlockLines& lines);
  void SetBlock(int top, int left, int bottom, int right, const std::vector<QStringList>& lines);
  // Keeps the cells inside both the old and the new rectangle.
  void Resize(int rows, int cols);
  // Every cell empty; the size stays.
  void Clear();
  // The sheet replaced by the one `build` makes (rows or columns inserted,
  // deleted or sorted, every cell replaced); `bytes`, at least what
  // building it takes, is checked first.
  void Change(std::uint64_t bytes, const std::function<Sheet()>& build);
  // The cells `build` lists (each once, inside the sheet, with a text it
  // does not hold yet: the list is not compared with the sheet) given their
  // new texts in place, the other cells kept: the step holds the old texts of
  // those cells alone, which for changes scattered over part of a large
  // sheet (a replace-all's) costs less than the whole table Change keeps.
  // `bytes`, at least what building the list takes, is checked first.
  void SetCells(std::uint64_t bytes, const std::function<std::vector<PlacedText>()>& build);

  // Groups the changes made while it lives into one step of the history
  // (one user action: a resize with its new labels, all field names). Steps
  // opened inside it join it. Commit records the step; a Step that ends
  // without it (an exception on the way) takes its changes back.
  class Step {
   public:
    explicit Step(SheetDocument& document);
    ~Step();
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;
    void Commit();

   private:
    SheetDocument& document_;
    bool committed_ = false;
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
  // The encoding the next Save writes. Set directly for a sheet that is
  // opened or started (before Reset, which counts it as saved);
  // ChangeEncoding is the user's change, a step of the history.
  TextEncoding& fileEncoding() { return encoding_; }
  const TextEncoding& fileEncoding() const { return encoding_; }
  void ChangeEncoding(TextEncoding encoding);
  // The sheet as it last came from or reached its file, which Convert
  // reads (41 x 41 empty at start-up; New keeps it), and the encoding of
  // that file: a plain-ASCII template's output is written in it.
  const SheetArray& sheetArray() const { return sheetArray_; }
  TextEncoding sheetArrayEncoding() const { return sheetArrayEncoding_; }
  void SetSheetArray(SheetArray array, TextEncoding encoding);
  // The file the sheet was last opened from or saved to (empty: none).
  const QString& fileName() const { return fileName_; }
  void SetFileName(const QString& fileName);
  // True when the sheet or the encoding differs from the one last reset or
  // saved; undoing back to them makes it unmodified again. Asked again with
  // no change since, it answers at once; otherwise the sheet and its saved
  // image share every chunk of cells not changed since, and only the others
  // are compared.
  bool CheckModify() const;
  // The full comparison of every cell's text (for tests to check the
  // answer against).
  bool DiffersCellByCell() const;

  // ---- history ----
  bool CanUndo() const;
  bool CanRedo() const { return history_.canRedo(); }
  void Undo();
  void Redo();
  // The steps Undo and Redo can reach (at most kHistorySteps).
  int HistorySteps() const;
  // What those steps hold that nothing else does (each measured when made).
  std::uint64_t HistoryBytes() const;
  // The most HistoryBytes may be, besides the newest step.
  std::uint64_t HistoryBound() const;
  // What the sheet's table and texts take.
  std::uint64_t SheetBytes() const { return sheetBytes_; }

 signals:
  // Cells of this rectangle (sheet coordinates) may hold new texts.
  void CellsChanged(int top, int left, int bottom, int right);
  // The sheet is about to take a new size (or be replaced whole); the cells
  // are still the old ones.
  void AboutToReshape(int rows, int cols);
  // The sheet has its new size and cells.
  void Reshaped();
  // The file's name, the encoding, or the point the sheet counts as
  // unmodified, changed.
  void StateChanged();
  // A new sheet took the old one's place whole (New, Open, a recovery).
  void Replaced();
  // Whether Undo or Redo has something to do changed.
  void CanUndoChanged(bool canUndo);
  void CanRedoChanged(bool canRedo);

 private:
  friend class HistoryStep;
  // What the observers are told once a part was exchanged.
  struct Notice;
  static Notice NoticeOf(const StepPart& part);

  // Makes the change whose new version `part` holds: a step of its own, or
  // a part of the open Step.
  void Make(StepPart part);
  // The sheet replaced whole, with the image it counts as saved against;
  // the history starts afresh.
  void Replace(Sheet sheet, SheetImage saved);
  // Records a step whose changes are made; should the history fail to take
  // it, they are taken back.
  void Push(std::unique_ptr<HistoryStep> step) noexcept;
  // Swap exchanges the part's version with the sheet's; Prepare and
  // Announce tell the observers before and after. Exchange does all three
  // and keeps what an observer lets out until the history is in order
  // again: Keep holds the first failure, RethrowFailure reports it.
  void Prepare(const StepPart& part);
  void Swap(StepPart& part) noexcept;
  // One cell's text exchanged with `text` (its chunk made the sheet's own
  // beforehand).
  void SwapCell(int row, int col, SharedText& text) noexcept;
  void Announce(const Notice& notice);
  void Exchange(StepPart& part) noexcept;
  void Keep() noexcept;
  void RethrowFailure();
  // Forgets the oldest steps while the history holds more than its bound.
  void Trim();
  HistoryStep* StepAt(int index) const;
  void ShowCanUndo();

  Sheet sheet_;
  std::uint64_t sheetBytes_ = 0;
  // Changes made to the sheet, its encoding or its saved point; the last
  // CheckModify's answer and the count it was given at.
  std::uint64_t changes_ = 0;
  mutable std::uint64_t checkedAt_ = ~std::uint64_t{0};
  mutable bool modified_ = false;
  SheetImage saved_;
  TextEncoding encoding_ = TextEncoding::Cp932;
  TextEncoding savedEncoding_ = TextEncoding::Cp932;
  QString fileName_;
  SheetArray sheetArray_ = MakeInitialSheetArray();
  TextEncoding sheetArrayEncoding_ = TextEncoding::Cp932;
  const MemoryBudget* budget_;
  QUndoStack history_;
  // The step being grouped while a Step is open, and how deep.
  std::unique_ptr<HistoryStep> openStep_;
  int openDepth_ = 0;
  bool canUndo_ = false;
  std::exception_ptr failure_;
};

}  // namespace quillary
