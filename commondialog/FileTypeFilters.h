#pragma once
// The file dialogs' list of file types as the wrapper hands it over
// (description NUL pattern NUL ... NUL) turned into the file dialog's name
// filters.

#include <QString>
#include <QStringList>

namespace quillary {

struct FileTypeFilters {
  // Each description exactly as written, with its patterns in Qt form
  // appended in brackets; the dialog is told to hide the brackets.
  QStringList nameFilters;
  // The filter to start on: the 1-based index when in range, else the first.
  QString initial;
};

// An empty list, and a description without a pattern, give no filter.
// Patterns are separated by ';'; "*.*" means every file, with or without a dot.
FileTypeFilters ParseFileTypeFilters(const QString& nulSeparated, int filterIndex);

}  // namespace quillary
