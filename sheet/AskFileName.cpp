#include "sheet/AskFileName.h"

#include "commondialog/C_CommonDialog.h"
#include "sheet/CommandMessages.h"

namespace quillary {

std::optional<QString> AskFileName(C_CommonDialog& dialog, FileDialogMode mode, const QString& filter,
                                   MessageBox& messageBox) {
  dialog.SetCancelError(true);
  dialog.SetFilter(filter);
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
