#pragma once
// Telling the user that a template opts in to escaped values
// ("<!-- EscapeValues -->"): the dialogs that take a template show it.

#include <QString>

namespace quillary {

class CellSource;

// Whether the named template opts in with these cells, fields 0..k-1
// processed; false when there is no such file or it cannot be read
// (converting says why).
bool TemplateEscapesValues(const QString& templateName, const CellSource& cells, int k);

// The notice shown while it does.
QString EscapeNoticeText();

}  // namespace quillary
