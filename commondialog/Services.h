#pragma once
// What the main window needs from outside: the program passes the Qt message
// boxes, file dialogs and desktop, tests pass fakes.

namespace quillary {

class CommonDialogBackend;
class DesktopOpener;
class MessageBox;

struct Services {
  MessageBox& messageBox;
  CommonDialogBackend& dialogBackend;
  // Null: the desktop's own.
  DesktopOpener* desktop = nullptr;
};

}  // namespace quillary
