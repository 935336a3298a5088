#pragma once
// The application object of the desktop program. Every handler guards
// itself; should anything still leave one (running out of memory inside
// Qt's own handling of an event, say), it stops here: the message is shown
// and the program carries on instead of ending with the user's work.

#include <QApplication>

namespace quillary {

class MessageBox;

class GuardedApplication final : public QApplication {
  Q_OBJECT

 public:
  GuardedApplication(int& argc, char** argv);

  // The boxes the message goes to; without one it is dropped.
  void SetMessageBox(MessageBox* messageBox) { messageBox_ = messageBox; }

  bool notify(QObject* receiver, QEvent* event) override;

 private:
  MessageBox* messageBox_ = nullptr;
};

}  // namespace quillary
