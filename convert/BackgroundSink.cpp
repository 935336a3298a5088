#include "convert/BackgroundSink.h"

namespace quillary {

BackgroundSink::BackgroundSink(OutputSink& next) : next_(next), worker_([this] { Work(); }) {
  filling_.reserve(kChunk);
}

BackgroundSink::~BackgroundSink() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

void BackgroundSink::Append(std::u16string_view piece) {
  filling_.append(piece);
  if (filling_.size() >= kChunk) HandOn();
}

void BackgroundSink::Take(std::u16string& text) {
  if (!filling_.empty() || text.size() < kChunk / 2) {
    OutputSink::Take(text);
    return;
  }
  filling_.swap(text);
  text.clear();
  HandOn();
}

void BackgroundSink::Finish() {
  HandOn();
  std::unique_lock lock(mutex_);
  finishing_ = true;
  changed_.notify_all();
  changed_.wait(lock, [this] { return done_; });
  if (failure_) std::rethrow_exception(failure_);
}

// Waits for the thread to take the last chunk, then gives it this one.
void BackgroundSink::HandOn() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !full_ || failure_; });
  if (failure_) std::rethrow_exception(failure_);
  handed_.swap(filling_);
  filling_.clear();
  full_ = true;
  changed_.notify_all();
}

void BackgroundSink::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return full_ || finishing_ || stopping_; });
    if (stopping_) return;
    // The last step, once every chunk is handed on, is to finish.
    const bool last = !full_;
    lock.unlock();
    try {
      if (last)
        next_.Finish();
      else
        next_.Append(handed_);
    } catch (...) {
      lock.lock();
      failure_ = std::current_exception();
      done_ = true;
      changed_.notify_all();
      return;
    }
    lock.lock();
    done_ = last;
    full_ = false;
    changed_.notify_all();
    if (last) return;
  }
}

}  // namespace quillary
