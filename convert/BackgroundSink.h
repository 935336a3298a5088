#pragma once
// Hands the output on to another sink on a thread of its own, in large
// chunks, so that encoding and writing go on while the expansion does.

#include <condition_variable>
#include <exception>
#include <mutex>
#include <string>
#include <thread>

#include "convert/OutputSink.h"

namespace quillary {

class BackgroundSink : public OutputSink {
 public:
  explicit BackgroundSink(OutputSink& next);
  // Stops the thread; what was not yet handed on is dropped.
  ~BackgroundSink() override;
  BackgroundSink(const BackgroundSink&) = delete;
  BackgroundSink& operator=(const BackgroundSink&) = delete;

  void Append(std::u16string_view piece) override;
  // A large piece is handed on as it is, not copied.
  void Take(std::u16string& text) override;
  // Waits until the next sink has taken everything and finished; throws
  // what it threw.
  void Finish() override;

 private:
  static constexpr std::size_t kChunk = std::size_t{1} << 17;
  void HandOn();
  void Work();

  OutputSink& next_;
  std::u16string filling_, handed_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool full_ = false, finishing_ = false, stopping_ = false, done_ = false;
  std::exception_ptr failure_;
  std::thread worker_;
};

}  // namespace quillary
