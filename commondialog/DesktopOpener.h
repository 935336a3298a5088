#pragma once
// Opening a file with the desktop's default application (an output page in
// the browser, the user guide). Tests pass a recorder.

#include <QString>

namespace quillary {

class DesktopOpener {
 public:
  virtual ~DesktopOpener() = default;
  // False when the desktop could not open it.
  virtual bool OpenFile(const QString& path) = 0;
};

class QtDesktopOpener final : public DesktopOpener {
 public:
  bool OpenFile(const QString& path) override;
};

}  // namespace quillary
