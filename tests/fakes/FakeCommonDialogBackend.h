#pragma once
// A common dialog backend that shows nothing: it records every request and
// answers from its queues, front first (an empty queue cancels), e.g.
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

  FileDialogResult ShowFileDialog(const FileDialogRequest& r) override { return Next(fileRequests, r, fileAnswers); }
  ColorResult ChooseColor(const ColorRequest& r) override { return Next(colorRequests, r, colorAnswers); }
  FontResult ChooseFont(const FontRequest& r) override { return Next(fontRequests, r, fontAnswers); }
  PrinterResult PrintDialog(const PrinterRequest& r) override { return Next(printerRequests, r, printerAnswers); }
  std::int32_t ShowHelp(const HelpRequest& r) override { return Next(helpRequests, r, helpAnswers); }
  std::int32_t ExtendedError() override {
    ++extendedErrorQueries;
    return extendedError;
  }

  std::deque<FileDialogResult> fileAnswers;
  std::deque<ColorResult> colorAnswers;
  std::deque<FontResult> fontAnswers;
  std::deque<PrinterResult> printerAnswers;
  std::deque<std::int32_t> helpAnswers;
  std::int32_t extendedError = 0;
  bool failNextCall = false;

  std::vector<FileDialogRequest> fileRequests;
  std::vector<ColorRequest> colorRequests;
  std::vector<FontRequest> fontRequests;
  std::vector<PrinterRequest> printerRequests;
  std::vector<HelpRequest> helpRequests;
  int extendedErrorQueries = 0;

 private:
  // Records the request, then answers.
  template <typename Request, typename Result>
  Result Next(std::vector<Request>& requests, const Request& request, std::deque<Result>& answers) {
    requests.push_back(request);
    if (failNextCall) {
      failNextCall = false;
      throw std::runtime_error("scripted backend failure");
    }
    if (answers.empty()) return Result{};
    Result answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace quillary::testing
