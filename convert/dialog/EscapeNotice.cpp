#include "convert/dialog/EscapeNotice.h"

#include <exception>

#include "convert/Module1.h"
#include "convert/RecordPages.h"
#include "convert/ValueEscaping.h"
#include "platform/FileIO.h"

namespace quillary {

bool TemplateEscapesValues(const QString& templateName, const CellSource& cells, int k) {
  if (templateName.isEmpty() || !FileExists(templateName.toStdU16String())) return false;
  try {
    const PageTemplate page = ReadPageTemplate(PathFromText(templateName.toStdU16String()), TextEncoding::Cp932);
    return OptsInToEscaping(page.text, cells, k);
  } catch (const std::exception&) {
    return false;
  }
}

QString EscapeNoticeText() { return QStringLiteral("値の & < > \" ' は文字参照にして書き出します"); }

}  // namespace quillary
