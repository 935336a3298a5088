#include "mainwindow/ErrorGuard.h"

#include <exception>
#include <new>

#include <QString>

#include "commondialog/MessageBox.h"
#include "sheet/CommandMessages.h"

namespace quillary {

namespace {

void ShowUnexpected(MessageBox& messageBox, const QString& detail,
                    QString prompt = QStringLiteral("予期しないエラーが発生しました。")) {
  if (!detail.isEmpty()) prompt += u'\n' + detail;
  try {
    messageBox.Show(prompt, MsgButtons::Ok, MsgIcon::Error, kProgramTitle);
  } catch (...) {
    // Not even the message could be shown; the handler still ends normally.
  }
}

}  // namespace

void RunGuarded(MessageBox& messageBox, const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::bad_alloc&) {
    ShowUnexpected(messageBox, QString(), OutOfMemoryMessage());
  } catch (const std::exception& error) {
    ShowUnexpected(messageBox, QString::fromUtf8(error.what()));
  } catch (...) {
    ShowUnexpected(messageBox, QString());
  }
}

}  // namespace quillary
