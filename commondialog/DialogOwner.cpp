#include "commondialog/DialogOwner.h"

#include <QApplication>
#include <QWidget>

namespace quillary {

QWidget* DialogOwner(QWidget* fallback) {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (QWidget* active = QApplication::activeWindow()) return active;
  return fallback;
}

}  // namespace quillary
