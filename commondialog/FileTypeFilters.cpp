#include "commondialog/FileTypeFilters.h"

namespace quillary {

namespace {

// The dialog's own patterns: separated by blanks, and "*" for every file
// (its "*.*" would want a dot in the name).
QString QtPatterns(const QString& patterns) {
  QStringList converted;
  for (const QString& pattern : patterns.split(u';', Qt::SkipEmptyParts)) {
    const QString trimmed = pattern.trimmed();
    if (trimmed.isEmpty()) continue;
    converted.append(trimmed == QStringLiteral("*.*") ? QStringLiteral("*") : trimmed);
  }
  return converted.join(u' ');
}

}  // namespace

FileTypeFilters ParseFileTypeFilters(const QString& nulSeparated, int filterIndex) {
  FileTypeFilters result;
  const QStringList entries = nulSeparated.split(QChar(u'\0'));
  for (qsizetype i = 0; i + 1 < entries.size(); i += 2) {
    const QString& description = entries[i];
    if (description.isEmpty()) break;  // the empty entry that ends the list
    const QString patterns = QtPatterns(entries[i + 1]);
    if (patterns.isEmpty()) break;
    result.nameFilters.append(description + QStringLiteral(" (") + patterns + u')');
  }
  if (result.nameFilters.isEmpty()) return result;
  const bool inRange = filterIndex >= 1 && filterIndex <= result.nameFilters.size();
  result.initial = result.nameFilters[inRange ? filterIndex - 1 : 0];
  return result;
}

}  // namespace quillary
