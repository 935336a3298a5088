#pragma once
// What the main window needs from outside: the program passes the Qt message
// boxes and file dialogs, tests pass fakes.

namespace quillary {

class CommonDialogBackend;
class MessageBox;

struct Services {
  MessageBox& messageBox;
  CommonDialogBackend& dialogBackend;
};

}  // namespace quillary
