// Files dropped on the main window open as Open opens them; text dropped on
// the text boxes is still typed there.

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "mainwindow/CellContentsBox.h"
#include "mainwindow/Main.h"
#include "sheet/commands/CommandMessages.h"

namespace quillary {

namespace {

// The local files a drop brings; empty for anything else.
QStringList DroppedFiles(const QMimeData* data) {
  QStringList files;
  if (!data || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) files << url.toLocalFile();
  return files;
}

QString DroppedFile(const QMimeData* data) {
  const QStringList files = DroppedFiles(data);
  return files.isEmpty() ? QString() : files.front();
}

}  // namespace

void Main::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void Main::dropEvent(QDropEvent* event) {
  QStringList files = DroppedFiles(event->mimeData());
  if (files.isEmpty()) return;
  event->acceptProposedAction();
  // The question and the file's reading run after the drop has ended, so
  // the source application is not kept waiting on a message box. One
  // sheet: the first file opens, the others are named as not opened.
  const QString file = files.takeFirst();
  QMetaObject::invokeMethod(
      this,
      [this, file, files] {
        Guarded([&] {
          OpenNamed(file);
          ShowOthersNotOpened(services_.messageBox, files);
        });
      },
      Qt::QueuedConnection);
}

bool Main::eventFilter(QObject* watched, QEvent* event) {
  const bool fileDrag =
      (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove || event->type() == QEvent::Drop) &&
      !DroppedFile(static_cast<QDropEvent*>(event)->mimeData()).isEmpty();
  if (!fileDrag) return QMainWindow::eventFilter(watched, event);
  if (event->type() == QEvent::Drop) {
    dropEvent(static_cast<QDropEvent*>(event));
  } else {
    static_cast<QDropEvent*>(event)->acceptProposedAction();
  }
  return true;
}

}  // namespace quillary
