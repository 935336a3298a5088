#pragma once
// 出力を開く of the preview: the output goes to a file of the program's own
// in a private temporary folder, which the desktop's browser opens; the
// user's output file is never written. The folder goes when the program
// ends, also by a signal; one a killed run left is swept at the next start.

#include <memory>
#include <string>

#include <QString>

namespace quillary {

class DesktopOpener;
class PrivateFolder;

class PreviewBrowserFile {
 public:
  explicit PreviewBrowserFile(DesktopOpener& desktop);
  ~PreviewBrowserFile();

  // Writes the bytes under the template's file name (its suffix tells the
  // browser what it is) and opens that file. False, with why in problem,
  // when it could not be written or opened.
  bool Open(const std::string& bytes, const QString& templateName, QString& problem);

  // The file last written; empty before the first.
  const QString& fileName() const { return fileName_; }

  // Removes the folders that ended runs left behind.
  static void SweepEndedRuns();

 private:
  DesktopOpener& desktop_;
  // Made on first use.
  std::unique_ptr<PrivateFolder> folder_;
  QString fileName_;
};

}  // namespace quillary
