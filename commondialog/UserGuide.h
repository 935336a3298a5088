#pragma once
// Where the HTML user guide is: installed beside the program, or made in the build tree.

#include <QString>

namespace quillary {

// The guide of this program: ../share/doc/quillary/guide.html from the
// executable's folder when it is there (an installed program), else the copy
// made in the build tree. Open it with DesktopOpener::OpenFile.
QString UserGuidePath();

// The same, looked for from `applicationDir` instead of the executable's folder.
QString UserGuidePathFrom(const QString& applicationDir);

}  // namespace quillary
