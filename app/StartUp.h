#pragma once
// Start-up work that may show a message (unsaved edits offered back, a file
// named on the command line) waits until the main window is on the screen,
// so that its boxes appear over the window, not alone before it.

#include <functional>

class QWidget;

namespace quillary {

// Runs `work` once, from the event loop, after the shown window was first
// exposed (or after a short wait, should the window system never say so).
void RunWhenShown(QWidget& window, std::function<void()> work);

}  // namespace quillary
