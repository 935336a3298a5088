#pragma once
// The main window's side of Convert over the command window, with the
// user's actions on the shown dialog scripted.

#include <QLineEdit>
#include <functional>

#include "convert/dialog/Conv.h"
#include "convert/dialog/ConvertCommand.h"
#include "sheet/commands/CommandWindow.h"

namespace quillary::testing {

using User = std::function<void(Conv&)>;

inline User TypeNames(const QString& templateName, const QString& outputName, bool pressOK = true) {
  return [=](Conv& conv) {
    conv.Text1->setText(templateName);
    conv.Text2->setText(outputName);
    if (pressOK) conv.OKButton_Click();
  };
}

// The main window's side of Convert; `user` acts on the shown dialog.
struct ConvertWindow : CommandWindow {
  User user;
  QList<QStringList> namesAtOpening;
  ConvertCommand convert{document, *this, commands, services, nullptr, [this](Conv& conv) {
                           namesAtOpening << QStringList{conv.TemplateName(), conv.OutputName()};
                           conv.show();
                           if (user) user(conv);
                         }};
  Conv& Dialog() {
    if (!convert.dialog()) convert.Convert_Click();
    return *convert.dialog();
  }
};

}  // namespace quillary::testing
