#include "sheet/commands/AskFileName.h"

#include <QFileInfo>
#include <QScopeGuard>

#include "commondialog/C_CommonDialog.h"
#include "sheet/commands/CommandMessages.h"

namespace quillary {

std::optional<QString> AskFileName(C_CommonDialog& dialog, FileDialogMode mode, const QString& filter,
                                   MessageBox& messageBox, const QString& startAt) {
  dialog.SetCancelError(true);
  dialog.SetFilter(filter);
  // Only this question starts there: the object's other users keep theirs.
  const QString initDir = dialog.InitDir();
  const QString initialName = dialog.InitialName();
  if (!startAt.isEmpty()) {
    const QFileInfo file(startAt);
    dialog.SetInitDir(file.absolutePath());
    dialog.SetInitialName(file.fileName());
  }
  const auto restore = qScopeGuard([&] {
    dialog.SetInitDir(initDir);
    dialog.SetInitialName(initialName);
  });
  try {
    if (mode == FileDialogMode::Open)
      dialog.ShowOpen();
    else
      dialog.ShowSave();
  } catch (const CommonDialogCancelError&) {
    return std::nullopt;
  } catch (const FileNameTooLongError&) {
    ShowRefusal(messageBox, FileNameTooLongMessage());
    return std::nullopt;
  }
  // A dialog that failed inside ends quietly with FileName still holding an
  // earlier choice; that old name must not be taken for a new one.
  if (dialog.APIReturn() != 1) return std::nullopt;
  return dialog.FileName();
}

}  // namespace quillary
