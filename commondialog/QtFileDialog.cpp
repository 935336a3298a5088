#include "commondialog/QtFileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "commondialog/FileTypeFilters.h"

namespace quillary {

namespace {

constexpr std::int32_t kOverwritePrompt = 0x2;
constexpr std::int32_t kFileMustExist = 0x1000;

QString DefaultTitle(FileDialogMode mode) {
  return mode == FileDialogMode::Open ? QStringLiteral("ファイルを開く") : QStringLiteral("名前を付けて保存");
}

}  // namespace

std::unique_ptr<QFileDialog> BuildFileDialog(const FileDialogRequest& request, QWidget* parent) {
  auto dialog = std::make_unique<QFileDialog>(parent);
  // Users know their desktop's dialog (its places, its search); the widget
  // one stays for tests that read its controls.
  if (qEnvironmentVariableIntValue("QUILLARY_WIDGET_FILE_DIALOG") == 1) {
    dialog->setOption(QFileDialog::DontUseNativeDialog);
  }
  dialog->setOption(QFileDialog::HideNameFilterDetails);
  dialog->setWindowTitle(request.title.isEmpty() ? DefaultTitle(request.mode) : request.title);

  const bool open = request.mode == FileDialogMode::Open;
  dialog->setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog->setFileMode(open && (request.flags & kFileMustExist) != 0 ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  if (open && (request.flags & kPickFolderFlag) != 0) {
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
  }
  if (!open && (request.flags & kOverwritePrompt) == 0) {
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
  }

  const FileTypeFilters filters = ParseFileTypeFilters(request.filter, request.filterIndex);
  if (!filters.nameFilters.isEmpty()) {
    dialog->setNameFilters(filters.nameFilters);
    dialog->selectNameFilter(filters.initial);
  }
  if (!request.initialDir.isEmpty()) dialog->setDirectory(request.initialDir);
  if (!request.initialName.isEmpty()) dialog->selectFile(request.initialName);
  if (!request.defaultExt.isEmpty()) dialog->setDefaultSuffix(request.defaultExt);
  return dialog;
}

FileDialogResult RunFileDialog(QFileDialog& dialog) {
  FileDialogResult result;
  if (dialog.exec() != QDialog::Accepted) return result;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return result;
  const QString path = QDir::toNativeSeparators(chosen.front());
  result.result = 1;
  result.fileBuffer = path;
  result.titleBuffer = QFileInfo(path).fileName();
  return result;
}

}  // namespace quillary
