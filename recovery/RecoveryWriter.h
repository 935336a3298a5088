#pragma once
// Keeps a recovery file on a thread of its own, so that the window never
// waits for the disk. Jobs are done in the order given; a new base or a
// removal makes everything queued before it needless, and it is dropped
// (a base being written when one of them comes is abandoned).
//
// The texts of the sheet and of the changes are shared, never copied: the
// window hands them over as they are, and the writer only reads them.

#include <atomic>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "recovery/RecoveryFormat.h"

namespace quillary {

class RecoveryWriter {
 public:
  // failed is called on the writer's thread after a write failed.
  explicit RecoveryWriter(std::filesystem::path file, std::function<void()> failed = {});
  // Finishes the job under way, drops the rest.
  ~RecoveryWriter();
  RecoveryWriter(const RecoveryWriter&) = delete;
  RecoveryWriter& operator=(const RecoveryWriter&) = delete;

  const std::filesystem::path& file() const { return file_; }

  // The file holds this sheet from now on.
  void WriteBase(RecoveryInfo info, Sheet sheet);
  // The cells that changed since the last base or record.
  void Append(RecoveryInfo info, std::vector<CellChange> changes);
  void Remove();

  // True from a failed write until a base is asked for: the file no longer
  // follows the sheet, and records given meanwhile are dropped.
  bool NeedsBase() const { return failed_; }
  // Returns once every job given so far is done.
  void Wait();

 private:
  enum class Kind { Base, Append, Remove };
  struct Job {
    Kind kind;
    RecoveryInfo info;
    Sheet sheet;
    std::vector<CellChange> changes;
  };
  // Anything queued is dropped before a job that makes it needless.
  void Give(Job job, bool supersedes);
  void Work();
  void Do(const Job& job);

  const std::filesystem::path file_;
  const std::function<void()> onFailure_;
  std::atomic<bool> failed_{false};
  // The file no longer follows what was given (or is not there): records
  // wait for a base. The writer's thread alone uses it.
  bool broken_ = true;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Job> jobs_;
  bool busy_ = false;
  bool stopping_ = false;
  std::atomic<bool> abandon_{false};
  std::thread thread_;
};

}  // namespace quillary
