#include "convert/preview/PreviewRefresh.h"

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>

#include "sheet/document/SheetDocument.h"

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
  target_ = TargetOf(file_);
  if (file_.isEmpty()) return;
  // The folder too: a file deleted and written anew, or put in the name's
  // place, is found again there.
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

PreviewRefresh::Target PreviewRefresh::TargetOf(const QString& fileName) {
  struct stat info {};
  if (fileName.isEmpty() || ::stat(QFile::encodeName(fileName).constData(), &info) != 0) return {};
  return {true, static_cast<quint64>(info.st_dev), static_cast<quint64>(info.st_ino)};
}

// The watcher watches the file a name led to when it was added: a link is
// followed, and a file replaced by a rename is not the one watched. The
// name is watched again whenever it leads elsewhere; true when it does.
bool PreviewRefresh::Follow() {
  if (file_.isEmpty()) return false;
  const Target now = TargetOf(file_);
  const bool moved = !(now == target_);
  target_ = now;
  const bool watched = watcher_.files().contains(file_);
  if (moved && watched) watcher_.removePath(file_);
  if ((moved || !watched) && now.exists) watcher_.addPath(file_);
  return moved;
}

void PreviewRefresh::FileChanged() {
  Follow();
  Changed();
}

void PreviewRefresh::FolderChanged() {
  // Only the template's name counts, not other files of its folder.
  if (Follow()) Changed();
}

}  // namespace quillary
