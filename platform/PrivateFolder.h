#pragma once
// A folder of the program's own under the system's temporary folder, for
// files it hands to other programs: only its user may enter it, and it goes
// with everything in it when the program ends, also when SIGINT, SIGTERM or
// SIGHUP ends it. A run that was killed outright leaves it behind; the next
// run sweeps it away.

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/FileDescriptor.h"

namespace quillary {

class PrivateFolder {
 public:
  // Makes "<base>/<prefix><machine>XXXXXX", base being the system's
  // temporary folder unless given, and holds a lock on it while the run
  // lasts. Throws FileWriteError.
  explicit PrivateFolder(std::string_view prefix, const std::filesystem::path& base = {});
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Leaves the folder and what it holds in place for good, where it keeps
  // a user's file that could not go back: not removed when this goes, nor
  // on a signal, nor by a later sweep.
  void Keep() noexcept;

 private:
  std::filesystem::path path_;
  FileDescriptor folder_;
  int slot_;
  bool kept_ = false;
};

// Removes the folders under `prefix` left by ended runs of this machine:
// ours, not locked, and untouched for `quiet` (a folder just made is not
// locked yet). Returns how many went. base as for PrivateFolder.
int SweepPrivateFolders(std::string_view prefix, std::chrono::seconds quiet = std::chrono::minutes(1),
                        const std::filesystem::path& base = {});

// Empties and removes every private folder of this process; safe in a
// signal handler.
void RemovePrivateFoldersNow() noexcept;

}  // namespace quillary
