#pragma once
// A common dialog backend that shows nothing: it records every file dialog
// request and answers from its queue, front first (an empty queue cancels), e.g.
//   backend.AcceptPath("/data/a.csv").Cancel();  // first accepted, then cancelled
// With `failNextCall` set the next call throws instead, then the flag clears.

#include <algorithm>
#include <deque>
#include <stdexcept>
#include <vector>

#include <QString>

#include "commondialog/CommonDialogBackend.h"

namespace quillary::testing {

class FakeCommonDialogBackend : public CommonDialogBackend {
 public:
  // Accepted with path: the file buffer holds the path and a NUL, the title
  // buffer the part after the last slash or backslash.
  FakeCommonDialogBackend& AcceptPath(const QString& path) {
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    fileAnswers.push_back({1, path + QChar(u'\0'), path.mid(slash + 1) + QChar(u'\0')});
    return *this;
  }
  FakeCommonDialogBackend& Cancel() {
    fileAnswers.push_back({0, QString(), QString()});
    return *this;
  }

  // Records the request, then answers.
  FileDialogResult ShowFileDialog(const FileDialogRequest& request) override {
    fileRequests.push_back(request);
    if (failNextCall) {
      failNextCall = false;
      throw std::runtime_error("scripted backend failure");
    }
    if (fileAnswers.empty()) return {};
    const FileDialogResult answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
  }
  // No command of the program shows the others: they are cancelled.
  ColorResult ChooseColor(const ColorRequest&) override { return {}; }
  FontResult ChooseFont(const FontRequest&) override { return {}; }
  PrinterResult PrintDialog(const PrinterRequest&) override { return {}; }
  std::int32_t ShowHelp(const HelpRequest&) override { return 0; }
  std::int32_t ExtendedError() override {
    ++extendedErrorQueries;
    return extendedError;
  }

  std::deque<FileDialogResult> fileAnswers;
  std::int32_t extendedError = 0;
  bool failNextCall = false;

  std::vector<FileDialogRequest> fileRequests;
  int extendedErrorQueries = 0;
};

}  // namespace quillary::testing
