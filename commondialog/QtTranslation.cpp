#include "commondialog/QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace quillary {

namespace {

const char* const kTranslatorName = "quillaryQtTranslation";

}  // namespace

bool InstallQtTranslation(QCoreApplication& application, const QLocale& locale) {
  // One at a time: a second call (another locale) must not leave the first
  // one's texts winning the look-up.
  if (auto* previous = application.findChild<QTranslator*>(kTranslatorName, Qt::FindDirectChildrenOnly)) {
    QCoreApplication::removeTranslator(previous);
    delete previous;
  }
  auto* translator = new QTranslator(&application);
  translator->setObjectName(kTranslatorName);
  if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace quillary
