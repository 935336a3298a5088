#pragma once
// The wait cursor while a command that may take seconds on a large sheet
// runs (a file read or written, a sort, a replace-all), put back however
// the command ends. Not held over a message: the user answers those.

#include <QApplication>
#include <QCursor>

namespace quillary {

class BusyCursor {
 public:
  BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace quillary
