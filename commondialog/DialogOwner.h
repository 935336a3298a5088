#pragma once
// Which window a message box or a file dialog belongs to, so that it sits centred over it.

class QWidget;

namespace quillary {

// The window the user is working in: the open modal dialog, else the active
// window, else `fallback` (the main window). Right after a file dialog closes
// no window is active for a moment; the fallback keeps the next box from
// landing in the middle of the screen.
QWidget* DialogOwner(QWidget* fallback);

}  // namespace quillary
