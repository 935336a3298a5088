#include "sheet/LongText.h"

namespace quillary {

qsizetype StartLength(const QString& text, qsizetype units) {
  if (text.size() <= units) return text.size();
  qsizetype length = units;
  if (length > 0 && text[length - 1].isHighSurrogate() && text[length].isLowSurrogate()) --length;
  if (length > 0 && text[length - 1] == u'\r' && text[length] == u'\n') --length;
  return length;
}

}  // namespace quillary
