#pragma once
// One question for a file name through a common dialog object, as the
// commands that read and write the user's files ask it.

#include <optional>

#include <QString>

#include "commondialog/CommonDialogBackend.h"

namespace quillary {

class C_CommonDialog;
class MessageBox;

// Sets CancelError and Filter, shows the open or save dialog and returns the
// chosen name. A cancelled or failed dialog gives no name; a name too long
// for the dialog is refused with a message and gives no name either. Given a
// file, the dialog starts in its folder offering its name.
std::optional<QString> AskFileName(C_CommonDialog& dialog, FileDialogMode mode, const QString& filter,
                                   MessageBox& messageBox, const QString& startAt = QString());

}  // namespace quillary
