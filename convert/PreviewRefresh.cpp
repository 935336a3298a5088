#include "convert/PreviewRefresh.h"

#include <QFileInfo>

#include "sheet/SheetDocument.h"

namespace quillary {

PreviewRefresh::PreviewRefresh(const SheetDocument& document, std::function<void()> refresh, QObject* parent)
    : QObject(parent), refresh_(std::move(refresh)) {
  pause_.setSingleShot(true);
  pause_.setInterval(kPauseMs);
  connect(&pause_, &QTimer::timeout, this, &PreviewRefresh::RefreshNow);
  // Edits, pastes, Undo and Redo arrive as changed cells; a resize, new
  // field names, New and Open as a new shape.
  connect(&document, &SheetDocument::CellsChanged, this, &PreviewRefresh::Changed);
  connect(&document, &SheetDocument::Reshaped, this, &PreviewRefresh::Changed);
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &PreviewRefresh::FileChanged);
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &PreviewRefresh::FolderChanged);
}

void PreviewRefresh::Watch(const QString& fileName) {
  if (!watcher_.files().isEmpty()) watcher_.removePaths(watcher_.files());
  if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
  file_ = fileName;
  if (file_.isEmpty()) return;
  // The folder too: a file deleted and written anew is found again there.
  watcher_.addPath(QFileInfo(file_).absolutePath());
  watcher_.addPath(file_);
}

void PreviewRefresh::SetShown(bool shown) {
  shown_ = shown;
  if (!shown_) {
    // What the pause held back waits for the next showing.
    if (pause_.isActive()) outOfDate_ = true;
    pause_.stop();
  } else if (outOfDate_) {
    RefreshNow();
  }
}

void PreviewRefresh::Changed() {
  if (!shown_) {
    outOfDate_ = true;
    return;
  }
  pause_.start();
}

void PreviewRefresh::RefreshNow() {
  pause_.stop();
  if (!shown_) {
    outOfDate_ = true;
    return;
  }
  outOfDate_ = false;
  ++refreshes_;
  refresh_();
}

void PreviewRefresh::FileChanged() {
  // An editor that saves by renaming a new file over the old one leaves the
  // watcher on a file that is gone: the name is watched again.
  if (!watcher_.files().contains(file_) && QFileInfo::exists(file_)) watcher_.addPath(file_);
  Changed();
}

void PreviewRefresh::FolderChanged() {
  // Only the template's coming back counts, not other files of its folder.
  if (file_.isEmpty() || watcher_.files().contains(file_) || !QFileInfo::exists(file_)) return;
  watcher_.addPath(file_);
  Changed();
}

}  // namespace quillary
