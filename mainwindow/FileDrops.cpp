// Files dropped on the main window open as Open opens them; text dropped on
// the text boxes is still typed there.

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "mainwindow/CellContentsBox.h"
#include "mainwindow/Main.h"

namespace quillary {

namespace {

// The first local file a drop brings; empty for anything else.
QString DroppedFile(const QMimeData* data) {
  if (!data || !data->hasUrls()) return QString();
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) return url.toLocalFile();
  return QString();
}

}  // namespace

void Main::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void Main::dropEvent(QDropEvent* event) {
  const QString file = DroppedFile(event->mimeData());
  if (file.isEmpty()) return;
  event->acceptProposedAction();
  // The question and the file's reading run after the drop has ended, so
  // the source application is not kept waiting on a message box.
  QMetaObject::invokeMethod(
      this, [this, file] { Guarded([&] { OpenNamed(file); }); }, Qt::QueuedConnection);
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
