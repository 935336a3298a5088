#include "commondialog/DesktopOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace quillary {

bool QtDesktopOpener::OpenFile(const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }

}  // namespace quillary
