#pragma once
// Qt's own texts (standard buttons, file dialogs, context menus) in the user's language.

#include <QLocale>

class QCoreApplication;

namespace quillary {

// Installs Qt's translation for the locale from Qt's translations folder,
// replacing one installed before; the program's own texts are untouched.
// False when Qt ships no texts for it (English is Qt's own).
bool InstallQtTranslation(QCoreApplication& application, const QLocale& locale = QLocale::system());

}  // namespace quillary
