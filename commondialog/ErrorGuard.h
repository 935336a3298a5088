#pragma once
// Nothing may leave an event handler: what a handler or a command lets out
// becomes a message box, and the handler ends with nothing half done.

#include <exception>
#include <functional>
#include <new>
#include <type_traits>

#include <QObject>
#include <QString>

namespace quillary {

class MessageBox;

// Runs handler; an exception it lets out is shown as
// "予期しないエラーが発生しました。" and its detail, with the error icon;
// running out of memory (or a change refused for want of it) as
// OutOfMemoryMessage. Work the user stopped (WorkCancelled) shows nothing.
void RunGuarded(MessageBox& messageBox, const std::function<void()>& handler);
// Shows the exception being handled as RunGuarded does; only inside a catch
// block.
void ShowCaughtError(MessageBox& messageBox);

// Connects a signal to a handler run through RunGuarded: a callable, or a
// member function of the receiver. The handler takes the signal's
// arguments, or none.
template <typename Sender, typename Signal, typename Receiver, typename Handler>
QMetaObject::Connection ConnectGuarded(MessageBox& messageBox, Sender* sender, Signal signal, Receiver* receiver,
                                       Handler handler) {
  return QObject::connect(sender, signal, receiver, [&messageBox, receiver, handler](const auto&... args) {
    try {
      if constexpr (std::is_member_function_pointer_v<Handler>) {
        if constexpr (std::is_invocable_v<Handler, Receiver*, decltype(args)...>)
          std::invoke(handler, receiver, args...);
        else
          std::invoke(handler, receiver);
      } else if constexpr (std::is_invocable_v<Handler, decltype(args)...>) {
        handler(args...);
      } else {
        handler();
      }
    } catch (...) {
      ShowCaughtError(messageBox);
    }
  });
}

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
