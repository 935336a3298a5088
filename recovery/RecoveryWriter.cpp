#include "recovery/RecoveryWriter.h"

#include <exception>
#include <utility>

#include "recovery/RecoveryFile.h"

namespace quillary {

namespace {

// Thrown between the pieces of a base that a newer job made needless.
struct Abandoned {};

}  // namespace

RecoveryWriter::RecoveryWriter(std::filesystem::path file, std::function<void()> failed)
    : file_(std::move(file)), onFailure_(std::move(failed)), thread_([this] { Work(); }) {}

RecoveryWriter::~RecoveryWriter() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    jobs_.clear();
  }
  changed_.notify_all();
  thread_.join();
}

void RecoveryWriter::WriteBase(RecoveryInfo info, Sheet sheet) {
  failed_ = false;
  Give({Kind::Base, std::move(info), std::move(sheet), {}}, true);
}

void RecoveryWriter::Append(RecoveryInfo info, std::vector<CellChange> changes) {
  Give({Kind::Append, std::move(info), Sheet(), std::move(changes)}, false);
}

void RecoveryWriter::Remove() { Give({Kind::Remove, {}, Sheet(), {}}, true); }

void RecoveryWriter::Give(Job job, bool supersedes) {
  std::deque<Job> dropped;  // goes after the lock is let go
  {
    std::lock_guard lock(mutex_);
    if (supersedes) {
      dropped.swap(jobs_);
      if (busy_) abandon_ = true;
    }
    jobs_.push_back(std::move(job));
  }
  changed_.notify_all();
}

void RecoveryWriter::Wait() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return jobs_.empty() && !busy_; });
}

void RecoveryWriter::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
    if (stopping_) return;
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    busy_ = true;
    abandon_ = false;
    lock.unlock();
    Do(job);
    // The texts go while the lock is not held.
    job = Job{};
    lock.lock();
    busy_ = false;
    changed_.notify_all();
  }
}

void RecoveryWriter::Do(const Job& job) {
  try {
    switch (job.kind) {
      case Kind::Base:
        WriteRecoveryFile(file_, job.info, job.sheet, [this] {
          if (abandon_) throw Abandoned{};
        });
        broken_ = false;
        break;
      case Kind::Append:
        if (broken_) return;
        AppendRecoveryRecord(file_, RecoveryRecord(job.info, job.changes));
        break;
      case Kind::Remove:
        RemoveRecoveryFile(file_);
        broken_ = true;
        break;
    }
  } catch (const Abandoned&) {
    // The old file stands until the newer job replaces or removes it.
    broken_ = true;
  } catch (const std::exception&) {
    broken_ = true;
    failed_ = true;
    if (onFailure_) onFailure_();
  }
}

}  // namespace quillary
