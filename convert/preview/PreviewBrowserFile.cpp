#include "convert/preview/PreviewBrowserFile.h"

#include <QFileInfo>

#include "commondialog/DesktopOpener.h"
#include "platform/Errors.h"
#include "platform/FileIO.h"
#include "platform/PrivateFolder.h"
#include "sheet/commands/CommandMessages.h"

namespace quillary {

namespace {

constexpr char kFolderPrefix[] = "quillary-preview-";

}  // namespace

PreviewBrowserFile::PreviewBrowserFile(DesktopOpener& desktop) : desktop_(desktop) {}

PreviewBrowserFile::~PreviewBrowserFile() = default;

bool PreviewBrowserFile::Open(const std::string& bytes, const QString& templateName, QString& problem) {
  try {
    if (!folder_) folder_ = std::make_unique<PrivateFolder>(kFolderPrefix);
  } catch (const FileWriteError& error) {
    problem = FileFailureMessage(QStringLiteral("プレビューを書き出す一時フォルダーを作れませんでした。"),
                                 QString::fromStdU16String(error.path().u16string()), error);
    return false;
  }
  const QString name =
      QString::fromStdU16String(folder_->path().u16string()) + u'/' + QFileInfo(templateName).fileName();
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

void PreviewBrowserFile::SweepEndedRuns() { SweepPrivateFolders(kFolderPrefix); }

}  // namespace quillary
