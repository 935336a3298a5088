#pragma once
// How far a long piece of work (a file read or written, a sort, a
// replace-all) has come, and the user's wish to stop it. The work reports as
// it goes, from a thread of its own; whoever watches reads how far it is and
// may ask it to stop. Asked, the work ends at its next report by throwing
// WorkCancelled, before it has changed anything the user sees.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <exception>

namespace quillary {

class WorkCancelled : public std::exception {
 public:
  const char* what() const noexcept override { return "the work was stopped"; }
};

class WorkProgress {
 public:
  static constexpr int kWhole = 1000;

  // The reports from here on fill [from, to) of the whole, in thousandths.
  void Part(int from, int to) {
    from_.store(from, std::memory_order_relaxed);
    to_.store(to, std::memory_order_relaxed);
    Reach(from);
  }
  // `done` of `total` of the current part. Throws WorkCancelled when asked to
  // stop.
  void Report(std::uint64_t done, std::uint64_t total) {
    const int from = from_.load(std::memory_order_relaxed), to = to_.load(std::memory_order_relaxed);
    if (total > 0) Reach(from + static_cast<int>(static_cast<double>(to - from) * std::min(done, total) / total));
    Check();
  }
  void Check() const {
    if (cancelled_.load(std::memory_order_relaxed)) throw WorkCancelled();
  }

  void Cancel() { cancelled_.store(true, std::memory_order_relaxed); }
  int Thousandths() const { return reached_.load(std::memory_order_relaxed); }

 private:
  // Never back: two threads may report on halves of one part.
  void Reach(int value) {
    int now = reached_.load(std::memory_order_relaxed);
    while (now < value && !reached_.compare_exchange_weak(now, value, std::memory_order_relaxed)) {
    }
  }

  std::atomic<int> from_{0}, to_{kWhole}, reached_{0};
  std::atomic<bool> cancelled_{false};
};

// For work that may run with nobody watching.
inline void ReportProgress(WorkProgress* progress, std::uint64_t done, std::uint64_t total) {
  if (progress) progress->Report(done, total);
}
inline void ProgressPart(WorkProgress* progress, int from, int to) {
  if (progress) progress->Part(from, to);
}

}  // namespace quillary
