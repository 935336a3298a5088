#include "sheet/grid/LongText.h"

#include <algorithm>

namespace quillary {

QString StartOf(std::u16string_view text, qsizetype units) {
  const auto size = static_cast<qsizetype>(text.size());
  if (size <= units) return QStringView(text).toString();
  // One unit more shows whether the cut would split a character.
  const QString start = QString::fromUtf16(text.data(), units + 1);
  qsizetype length = units;
  if (length > 0 && start[length - 1].isHighSurrogate() && start[length].isLowSurrogate()) --length;
  if (length > 0 && start[length - 1] == u'\r' && start[length] == u'\n') --length;
  return start.first(length);
}

}  // namespace quillary
