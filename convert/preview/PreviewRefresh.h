#pragma once
// When the preview is made again: after a short pause with no further
// change of the sheet or of the template file, and only while it is shown.

#include <functional>

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

namespace quillary {

class SheetDocument;

class PreviewRefresh final : public QObject {
  Q_OBJECT

 public:
  // Quiet time after the last change: a burst of edits makes one refresh.
  static constexpr int kPauseMs = 200;

  // refresh makes the preview; it is called only from here.
  PreviewRefresh(const SheetDocument& document, std::function<void()> refresh, QObject* parent = nullptr);

  // The file whose changes on disk count; empty = none.
  void Watch(const QString& fileName);
  // Hidden, changes only leave the preview out of date; shown again, an
  // out-of-date preview is made at once.
  void SetShown(bool shown);
  // Something the preview depends on changed.
  void Changed();
  // Makes the preview now, whatever is pending (a new template chosen).
  void RefreshNow();

  bool Pending() const { return pause_.isActive(); }
  int Refreshes() const { return refreshes_; }

 private:
  // What the template's name leads to: a file by device and inode.
  struct Target {
    bool exists = false;
    quint64 device = 0, inode = 0;
    bool operator==(const Target&) const = default;
  };
  static Target TargetOf(const QString& fileName);

  void FileChanged();
  void FolderChanged();
  bool Follow();

  std::function<void()> refresh_;
  QTimer pause_;
  QFileSystemWatcher watcher_;
  QString file_;
  Target target_;
  bool shown_ = false;
  bool outOfDate_ = true;
  int refreshes_ = 0;
};

}  // namespace quillary
