#pragma once
// The program's guard against losing unsaved edits: its own recovery file in
// the user's state folder, kept while the sheet is modified, and at start-up
// the files of runs that ended without saving offered back.

#include <filesystem>
#include <memory>
#include <optional>

#include "recovery/RecoveryFolder.h"

namespace quillary {

class Main;
class RecoveryKeeper;

class ProgramRecovery {
 public:
  // Where the folder cannot be made, nothing is kept and nothing offered:
  // the program runs as it would without.
  explicit ProgramRecovery(Main& window, const std::filesystem::path& folder = RecoveryFolderPath());
  // A normal end: the program's own file goes.
  ~ProgramRecovery();

  // Over the shown window: the leftovers, newest first, until one is
  // restored. Anything going wrong is shown, and the program goes on.
  void OfferLeftovers();

  // Null when nothing is kept.
  RecoveryKeeper* keeper() const { return keeper_.get(); }

 private:
  Main& window_;
  std::optional<RecoverySlot> slot_;
  std::unique_ptr<RecoveryKeeper> keeper_;
};

}  // namespace quillary
