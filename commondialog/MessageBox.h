#pragma once
// The program's questions and refusals. Callers talk to the MessageBox
// interface so that tests can answer in place of the user.

#include <QPointer>
#include <QString>
#include <QWidget>

class QMessageBox;

namespace quillary {

enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgIcon { Error, Information, Exclamation };
enum class MsgResult { Ok, Yes, No, Cancel };

// The title of refusals.
inline const QString kProgramTitle = QStringLiteral("Quillary");

class MessageBox {
 public:
  virtual ~MessageBox() = default;

  // Modal over the window in use, first button the default; returns the
  // button pressed. In the prompt a LF alone or a CR LF pair starts a new line.
  virtual MsgResult Show(const QString& prompt, MsgButtons buttons, MsgIcon icon, const QString& title) = 0;
};

// Shows a QMessageBox. Esc answers Cancel on Yes/No/Cancel, No on Yes/No and
// Ok on Ok.
class QtMessageBox final : public MessageBox {
 public:
  // The window boxes belong to when the user is in none (the main window),
  // set once it exists.
  void SetFallbackOwner(QWidget* owner) { fallbackOwner_ = owner; }

  // The window the next box will be owned by and centred over.
  QWidget* Owner() const;

  MsgResult Show(const QString& prompt, MsgButtons buttons, MsgIcon icon, const QString& title) override;

  // The two halves of Show around the modal loop, apart so that they can be
  // checked without showing anything.
  static void Prepare(QMessageBox& box, const QString& prompt, MsgButtons buttons, MsgIcon icon, const QString& title);
  static MsgResult ResultOf(const QMessageBox& box, MsgButtons buttons);

 private:
  QPointer<QWidget> fallbackOwner_;
};

}  // namespace quillary
