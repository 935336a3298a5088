#include "recovery/keeper/RecoveryKeeper.h"

#include <algorithm>
#include <new>
#include <utility>

#include <QDateTime>

#include "sheet/document/SheetDocument.h"

namespace quillary {

namespace {

void SingleShot(QTimer& timer, QObject* owner, const std::function<void()>& done) {
  timer.setSingleShot(true);
  QObject::connect(&timer, &QTimer::timeout, owner, done);
}

}  // namespace

RecoveryKeeper::RecoveryKeeper(SheetDocument& document, std::function<TextEncoding()> encoding,
                               std::filesystem::path file, QObject* parent)
    : QObject(parent), document_(document), encoding_(std::move(encoding)), writer_(std::move(file), [this] {
        // From the writer's thread: try again later, with a whole base.
        QMetaObject::invokeMethod(
            this, [this] { retry_.start(kRetryMs); }, Qt::QueuedConnection);
      }) {
  SingleShot(quiet_, this, [this] { Write(); });
  SingleShot(longest_, this, [this] { Write(); });
  SingleShot(retry_, this, [this] { Write(); });
  connect(&document_, &SheetDocument::CellsChanged, this, &RecoveryKeeper::CellsChanged);
  connect(&document_, &SheetDocument::Reshaped, this, [this] {
    needsBase_ = true;
    NoteChange();
  });
  connect(&document_, &SheetDocument::StateChanged, this, &RecoveryKeeper::StateChanged);
  if (document_.CheckModify()) NoteChange();
}

RecoveryKeeper::~RecoveryKeeper() {
  document_.disconnect(this);
  writer_.Remove();
  writer_.Wait();
}

void RecoveryKeeper::NoteChange() {
  quiet_.start(kQuietMs);
  if (!longest_.isActive()) longest_.start(kLongestMs);
}

void RecoveryKeeper::CellsChanged(int top, int left, int bottom, int right) {
  NoteChange();
  if (needsBase_) return;
  changedCells_ += static_cast<std::size_t>(bottom - top + 1) * static_cast<std::size_t>(right - left + 1);
  // Past half the sheet, the whole sheet costs less than its pieces.
  if (changedCells_ > static_cast<std::size_t>(document_.sheet().CellCount()) / 2) {
    needsBase_ = true;
    return;
  }
  try {
    changed_.push_back({top, left, bottom, right});
  } catch (const std::bad_alloc&) {
    // Nothing may fail in the middle of the document's change.
    needsBase_ = true;
  }
}

void RecoveryKeeper::StateChanged() {
  // Saved, or a new sheet: what the file held is not needed any more.
  if (!document_.CheckModify()) {
    Forget();
    return;
  }
  NoteChange();
}

void RecoveryKeeper::WriteNow() {
  if (quiet_.isActive() || longest_.isActive() || retry_.isActive()) Write();
}

void RecoveryKeeper::Write() {
  quiet_.stop();
  longest_.stop();
  retry_.stop();
  if (!document_.CheckModify()) {
    Forget();
    return;
  }
  try {
    const RecoveryInfo info{document_.fileName().toStdU16String(), encoding_(), true,
                            QDateTime::currentMSecsSinceEpoch()};
    if (needsBase_ || writer_.NeedsBase()) {
      writer_.WriteBase(info, document_.sheet());
    } else {
      writer_.Append(info, ChangedCells());
    }
  } catch (const std::bad_alloc&) {
    // Without the memory for the hand-over, the whole sheet goes later.
    needsBase_ = true;
    retry_.start(kRetryMs);
    return;
  }
  needsBase_ = false;
  changed_.clear();
  changedCells_ = 0;
}

void RecoveryKeeper::Forget() {
  quiet_.stop();
  longest_.stop();
  retry_.stop();
  writer_.Remove();
  needsBase_ = true;
  changed_.clear();
  changedCells_ = 0;
}

std::vector<CellChange> RecoveryKeeper::ChangedCells() const {
  const Sheet& sheet = document_.sheet();
  std::vector<CellChange> changes;
  changes.reserve(changedCells_);
  for (const Rect& rect : changed_) {
    // The rectangles were reported inside the sheet, whose shape has not
    // changed since (that would have asked for a base).
    const int bottom = std::min(rect.bottom, sheet.Rows() - 1);
    const int right = std::min(rect.right, sheet.Cols() - 1);
    for (int r = std::max(rect.top, 0); r <= bottom; ++r)
      for (int c = std::max(rect.left, 0); c <= right; ++c) changes.push_back({r, c, sheet.Shared(r, c)});
  }
  return changes;
}

}  // namespace quillary
