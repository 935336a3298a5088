#pragma once
// The long part of a command (a file read or written, a sort, a
// replace-all) run on a thread of its own, so that the window keeps drawing
// itself. Meanwhile the window takes no input and cannot be closed, and the
// cursor says the program is busy; from half a second on, a progress dialog
// says what is being done and offers to stop it. What the work throws comes
// out of Run on the window's thread, WorkCancelled when the user stopped it.
//
// The work must not change what the window shows: it builds, and the
// command puts what it built in place afterwards.

#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

#include <QString>

#include "platform/WorkProgress.h"

namespace quillary {

class LongWork {
 public:
  // `label` says what is being done ("ファイルを読み込んでいます…").
  explicit LongWork(QString label);
  ~LongWork();
  LongWork(const LongWork&) = delete;
  LongWork& operator=(const LongWork&) = delete;

  // Runs work(progress) to its end and gives what it returns. One LongWork
  // may run several pieces of one command under one dialog.
  template <typename Work>
  auto Run(Work&& work) {
    using Result = std::invoke_result_t<Work&, WorkProgress&>;
    if constexpr (std::is_void_v<Result>) {
      RunOnThread([&](WorkProgress& progress) { work(progress); });
    } else {
      std::optional<Result> result;
      RunOnThread([&](WorkProgress& progress) { result.emplace(work(progress)); });
      return std::move(*result);
    }
  }

 private:
  void RunOnThread(const std::function<void(WorkProgress&)>& work);

  class Watch;
  std::unique_ptr<Watch> watch_;
};

}  // namespace quillary
