#pragma once
// The program's pictures, drawn for it and kept in its resources.

#include <QIcon>
#include <QString>

namespace quillary {

// A toolbar picture by the button's key ("New", "Open", "Save", "Copy",
// "Cut", "Paste", "Resize", "Convert"); a null icon for any other key.
QIcon ToolbarIcon(const QString& key);
QIcon ProgramIcon();

}  // namespace quillary
