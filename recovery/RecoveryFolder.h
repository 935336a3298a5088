#pragma once
// Where the recovery files live, and whose each one is.
//
// Every running program claims a name of its own in the user's state folder
// ($XDG_STATE_HOME/quillary/recovery, by default
// ~/.local/state/quillary/recovery): "PID-RANDOM.lock", locked for as long
// as the program runs, and "PID-RANDOM.qrec", its recovery file. The lock
// goes with the process however it ends, so a recovery file whose lock can
// be taken is a leftover of a program no longer running; one whose lock is
// held belongs to a program still running and is never touched.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/FileDescriptor.h"

namespace quillary {

// $XDG_STATE_HOME/quillary/recovery where XDG_STATE_HOME is an absolute
// path, else ~/.local/state/quillary/recovery. Empty when neither is known.
std::filesystem::path RecoveryFolderPath();

// This program's name in the folder, locked while it lives. Going, it
// removes its lock file (the recovery file is the writer's to remove).
class RecoverySlot {
 public:
  // Creates the folder (private to the user) if need be. Throws
  // FileWriteError where it cannot be made or locked.
  static RecoverySlot Claim(const std::filesystem::path& folder);

  RecoverySlot(RecoverySlot&&) = default;
  RecoverySlot& operator=(RecoverySlot&&) = delete;
  ~RecoverySlot();

  const std::filesystem::path& folder() const { return folder_; }
  const std::filesystem::path& file() const { return file_; }

 private:
  RecoverySlot(std::filesystem::path folder, std::string name, FileDescriptor lock);

  std::filesystem::path folder_;
  std::filesystem::path file_;
  std::filesystem::path lockFile_;
  FileDescriptor lock_;
};

// The recovery file of a program that has ended, held locked while this
// program decides what to do with it, so that no other program offers it
// at the same time.
class Leftover {
 public:
  Leftover(Leftover&&) = default;
  Leftover& operator=(Leftover&&) = delete;
  ~Leftover();

  const std::filesystem::path& file() const { return file_; }
  std::filesystem::file_time_type modified() const { return modified_; }

  // Takes the place of `target` (this program's own file), in one step.
  // False when it could not.
  bool AdoptAs(const std::filesystem::path& target);
  // Removed, with its lock file.
  void Remove();
  // Renamed to FILE.damaged, kept for whoever wants to look at it; returns
  // the new name (empty when it could not be renamed).
  std::filesystem::path SetAside();

  // Leftovers in the folder, newest first. Lock files left by ended
  // programs without a recovery file are removed on the way.
  static std::vector<Leftover> Find(const std::filesystem::path& folder);

 private:
  Leftover(std::filesystem::path file, std::filesystem::path lockFile, FileDescriptor lock,
           std::filesystem::file_time_type modified);
  // The lock file goes, then the lock.
  void Release();

  std::filesystem::path file_;
  std::filesystem::path lockFile_;
  FileDescriptor lock_;
  std::filesystem::file_time_type modified_;
};

}  // namespace quillary
