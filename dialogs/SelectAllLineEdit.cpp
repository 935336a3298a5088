#include "dialogs/SelectAllLineEdit.h"

#include <QTimer>

namespace quillary {

void SelectAllLineEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  // A click places the caret after the focus arrives; selecting once the
  // click has been handled makes the selection stick.
  QTimer::singleShot(0, this, &QLineEdit::selectAll);
}

}  // namespace quillary
