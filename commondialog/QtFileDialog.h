#pragma once
// The file open and save dialogs of the Qt backend.

#include <memory>

#include "commondialog/CommonDialogBackend.h"

class QFileDialog;
class QWidget;

namespace quillary {

// The dialog the request asks for, not yet shown: the desktop's own file
// dialog where it offers one, Qt's widget dialog otherwise or when the
// environment variable QUILLARY_WIDGET_FILE_DIALOG is 1 (tests that look
// inside the dialog). Honours the list of file types and the start filter,
// the initial folder, the title, the default extension and, of the flags,
// "file must exist" (open) and "confirm overwriting" (save).
std::unique_ptr<QFileDialog> BuildFileDialog(const FileDialogRequest& request, QWidget* parent);

// Shows the dialog modally; an accepted dialog returns the chosen path in full.
FileDialogResult RunFileDialog(QFileDialog& dialog);

}  // namespace quillary
