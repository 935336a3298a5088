#pragma once
// Nothing may leave an event handler: what a handler or a command lets out
// becomes a message box, and the handler ends with nothing half done.

#include <exception>
#include <functional>
#include <new>

#include <QString>

namespace quillary {

class MessageBox;

// Runs handler; an exception it lets out is shown as
// "予期しないエラーが発生しました。" and its detail, with the error icon.
void RunGuarded(MessageBox& messageBox, const std::function<void()>& handler);

// A command ran out of memory; it changed nothing.
QString OutOfMemoryMessage();
void ShowOutOfMemory(MessageBox& messageBox);

// Runs a command's body whose own failures it reported itself: running out
// of memory is reported here, anything else ends the command quietly.
template <typename Body>
void RunCommand(MessageBox& messageBox, Body body) {
  try {
    body();
  } catch (const std::bad_alloc&) {
    ShowOutOfMemory(messageBox);
  } catch (const std::exception&) {
  }
}

}  // namespace quillary
