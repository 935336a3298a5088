#include "commondialog/MessageBox.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QVariant>

#include <vector>

#include "commondialog/DialogOwner.h"

namespace quillary {

namespace {

const char* const kResultProperty = "quillaryMsgResult";

QMessageBox::Icon QtIcon(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Error: return QMessageBox::Critical;
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
  }
  return QMessageBox::NoIcon;
}

// What the box answers when it is closed without a button (Esc or the
// window's close box).
MsgResult EscapeResult(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::Ok: return MsgResult::Ok;
    case MsgButtons::YesNo: return MsgResult::No;
    case MsgButtons::YesNoCancel: return MsgResult::Cancel;
  }
  return MsgResult::Cancel;
}

struct ButtonKind {
  const char16_t* caption;
  QMessageBox::ButtonRole role;
  MsgResult result;
};

const ButtonKind kOk{u"OK", QMessageBox::AcceptRole, MsgResult::Ok};
// Y and N press them, with Alt or alone, as on the desktop's own boxes.
const ButtonKind kYes{u"はい(&Y)", QMessageBox::YesRole, MsgResult::Yes};
const ButtonKind kNo{u"いいえ(&N)", QMessageBox::NoRole, MsgResult::No};
const ButtonKind kCancel{u"キャンセル", QMessageBox::RejectRole, MsgResult::Cancel};

std::vector<ButtonKind> ButtonsOf(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::Ok: return {kOk};
    case MsgButtons::YesNo: return {kYes, kNo};
    case MsgButtons::YesNoCancel: return {kYes, kNo, kCancel};
  }
  return {kOk};
}

}  // namespace

QWidget* QtMessageBox::Owner() const { return DialogOwner(fallbackOwner_); }

void QtMessageBox::Prepare(QMessageBox& box, const QString& prompt, MsgButtons buttons, MsgIcon icon,
                           const QString& title) {
  box.setWindowTitle(title);
  box.setIcon(QtIcon(icon));
  // Prompts carry file names: never let them be read as markup.
  box.setTextFormat(Qt::PlainText);
  box.setText(QString(prompt).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

  const MsgResult escape = EscapeResult(buttons);
  bool first = true;
  for (const ButtonKind& kind : ButtonsOf(buttons)) {
    QPushButton* button = box.addButton(QString::fromUtf16(kind.caption), kind.role);
    button->setProperty(kResultProperty, static_cast<int>(kind.result));
    if (first) box.setDefaultButton(button);
    if (kind.result == escape) box.setEscapeButton(button);
    first = false;
  }
}

MsgResult QtMessageBox::ResultOf(const QMessageBox& box, MsgButtons buttons) {
  const QAbstractButton* clicked = box.clickedButton();
  if (clicked == nullptr) return EscapeResult(buttons);
  const QVariant result = clicked->property(kResultProperty);
  return result.isValid() ? static_cast<MsgResult>(result.toInt()) : EscapeResult(buttons);
}

MsgResult QtMessageBox::Show(const QString& prompt, MsgButtons buttons, MsgIcon icon, const QString& title) {
  QMessageBox box(Owner());
  Prepare(box, prompt, buttons, icon, title);
  box.exec();
  return ResultOf(box, buttons);
}

}  // namespace quillary
