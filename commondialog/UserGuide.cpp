#include "commondialog/UserGuide.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace quillary {

QString UserGuidePathFrom(const QString& applicationDir) {
  const QString installed = QDir::cleanPath(applicationDir + QStringLiteral("/../share/doc/quillary/guide.html"));
  if (QFileInfo(installed).isFile()) return installed;
  // Set by the build: a program run from the build tree finds its guide too.
  return QStringLiteral(QUILLARY_BUILT_GUIDE);
}

QString UserGuidePath() { return UserGuidePathFrom(QCoreApplication::applicationDirPath()); }

}  // namespace quillary
