#pragma once
// Keeps the recovery file of the sheet while it is modified. A little while
// after the last change (and at the latest a little longer after the first
// one, while changes go on) the writer is given what changed: the cells of
// the rectangles the document reported, or the whole sheet once after its
// shape changed. The window's thread only hands over shared texts; the
// writer's thread encodes and writes them.
//
// Once the sheet is unmodified again (saved, New, Open, undone back to the
// saved sheet) the file goes, and so it does when the keeper goes with a
// normal end of the program.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <vector>

#include <QObject>
#include <QTimer>

#include "platform/TextEncoding.h"
#include "recovery/RecoveryWriter.h"

namespace quillary {

class SheetDocument;

class RecoveryKeeper : public QObject {
  Q_OBJECT

 public:
  static constexpr int kQuietMs = 2000;    // after the last change
  static constexpr int kLongestMs = 5000;  // after the first change not yet written
  static constexpr int kRetryMs = 30000;   // after a write failed

  // encoding: the encoding the next Save writes, as the file records it.
  RecoveryKeeper(SheetDocument& document, std::function<TextEncoding()> encoding, std::filesystem::path file,
                 QObject* parent = nullptr);
  // The program ends normally: the file goes.
  ~RecoveryKeeper() override;

  const std::filesystem::path& file() const { return writer_.file(); }

  // Something the file records besides the cells changed (the encoding).
  void NoteChange();
  // Hands the writer what waits now instead of later.
  void WriteNow();
  // Returns once the writer has done all it was given.
  void WaitForWriter() { writer_.Wait(); }

 private:
  struct Rect {
    int top, left, bottom, right;
  };
  void CellsChanged(int top, int left, int bottom, int right);
  void StateChanged();
  void Write();
  void Forget();
  std::vector<CellChange> ChangedCells() const;

  SheetDocument& document_;
  std::function<TextEncoding()> encoding_;
  QTimer quiet_, longest_, retry_;
  std::vector<Rect> changed_;
  std::size_t changedCells_ = 0;
  // The shape changed (or nothing was written yet): the next write is a base.
  bool needsBase_ = true;
  // Last in line: the writer's thread goes before anything it may call.
  RecoveryWriter writer_;
};

}  // namespace quillary
