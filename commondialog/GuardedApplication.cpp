#include "commondialog/GuardedApplication.h"

#include "commondialog/ErrorGuard.h"

namespace quillary {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    if (messageBox_) ShowCaughtError(*messageBox_);
    return true;
  }
}

}  // namespace quillary
