#pragma once
// A desktop that opens nothing: it records the files asked for and answers
// as scripted.

#include <QStringList>

#include "commondialog/DesktopOpener.h"

namespace quillary::testing {

class FakeDesktopOpener final : public DesktopOpener {
 public:
  bool OpenFile(const QString& path) override {
    opened << path;
    return opens;
  }

  QStringList opened;
  bool opens = true;
};

}  // namespace quillary::testing
