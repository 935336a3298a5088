#include "commondialog/ErrorGuard.h"

#include "commondialog/MessageBox.h"
#include "platform/WorkProgress.h"

namespace quillary {

namespace {

void ShowError(MessageBox& messageBox, const QString& prompt) {
  try {
    messageBox.Show(prompt, MsgButtons::Ok, MsgIcon::Error, kProgramTitle);
  } catch (...) {
    // Not even the message could be shown; the handler still ends normally.
  }
}

void ShowUnexpected(MessageBox& messageBox, const QString& detail) {
  QString prompt = QStringLiteral("予期しないエラーが発生しました。");
  if (!detail.isEmpty()) prompt += u'\n' + detail;
  ShowError(messageBox, prompt);
}

}  // namespace

QString OutOfMemoryMessage() {
  return QStringLiteral("メモリが足りないため、この操作を中止しました。\nシートとファイルは元のままです。");
}

void ShowOutOfMemory(MessageBox& messageBox) { ShowError(messageBox, OutOfMemoryMessage()); }

void ShowCaughtError(MessageBox& messageBox) {
  try {
    try {
      throw;
    } catch (const WorkCancelled&) {
      // The user stopped it; nothing changed.
    } catch (const std::bad_alloc&) {
      ShowOutOfMemory(messageBox);
    } catch (const std::exception& error) {
      ShowUnexpected(messageBox, QString::fromUtf8(error.what()));
    } catch (...) {
      ShowUnexpected(messageBox, QString());
    }
  } catch (...) {
    // Not even the message could be made; the handler still ends normally.
  }
}

void RunGuarded(MessageBox& messageBox, const std::function<void()>& handler) {
  try {
    handler();
  } catch (...) {
    ShowCaughtError(messageBox);
  }
}

}  // namespace quillary
