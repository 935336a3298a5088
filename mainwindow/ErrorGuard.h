#pragma once
// Nothing may leave an event handler: a failure becomes a message box and
// the handler ends.

#include <functional>

namespace quillary {

class MessageBox;

// Runs handler; an exception it lets out is shown as
// "予期しないエラーが発生しました。" and its detail, with the error icon.
void RunGuarded(MessageBox& messageBox, const std::function<void()>& handler);

}  // namespace quillary
