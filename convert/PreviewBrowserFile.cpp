#include "convert/PreviewBrowserFile.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include "commondialog/DesktopOpener.h"
#include "platform/Errors.h"
#include "platform/FileIO.h"
#include "sheet/CommandMessages.h"

namespace quillary {

PreviewBrowserFile::PreviewBrowserFile(DesktopOpener& desktop) : desktop_(desktop) {}

PreviewBrowserFile::~PreviewBrowserFile() = default;

bool PreviewBrowserFile::Open(const std::string& bytes, const QString& templateName, QString& problem) {
  if (!folder_) folder_ = std::make_unique<QTemporaryDir>();
  if (!folder_->isValid()) {
    problem = QStringLiteral("プレビューを書き出す一時フォルダーを作れませんでした。\n") + folder_->errorString();
    folder_.reset();
    return false;
  }
  const QString name = folder_->filePath(QFileInfo(templateName).fileName());
  try {
    ReplaceFileContents(PathFromText(name.toStdU16String()), bytes);
  } catch (const FileWriteError& error) {
    problem = CannotWriteMessage(name, &error);
    return false;
  }
  fileName_ = name;
  if (desktop_.OpenFile(name)) return true;
  problem = QStringLiteral("プレビューをブラウザーで開けませんでした。\n") + name;
  return false;
}

}  // namespace quillary
