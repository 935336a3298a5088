#pragma once
// Many files written as one change: every file is made first, in a private
// folder beside its target, and only when all are made do they take their
// places; a failure part-way leaves every target as it was.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string_view>
#include <vector>

namespace quillary {

// Makes file `index` of the set, handing its bytes to write piece by piece.
using FileMaker = std::function<void(std::size_t index, const std::function<void(std::string_view)>& write)>;

struct FileSetHooks {
  // After each file is made, with how many are; false cancels the set.
  std::function<bool(std::size_t made)> made;
  // For tests: the error number placing file `index` fails with (0: none).
  std::function<int(std::size_t index)> placingFails;
};

// Gives each target the bytes `make` makes for it, keeping what
// ReplaceFileContents keeps: a symbolic link is followed, an existing file's
// owner, group and mode stay. Refused before anything is made: a folder,
// device or pipe, a write-protected file, and a file that could only be
// rewritten in place (hard links, an owner a new file cannot be given).
// 1. Each file is made in a private folder beside its target
//    (".quillary-files-..."); then the disk is synced once.
// 2. The files take their places in order, signals held off meanwhile: an
//    existing target is swapped with its new file in one step (where the
//    file system cannot swap, it is moved aside first), and the old file is
//    kept in the private folder until every file is in place.
// 3. If placing one fails, those placed before are put back, last first:
//    swapped back, moved back, or removed where there was no file.
// Returns false when cancelled. Throws FileWriteError naming the target
// that failed, or what `make` throws. On all of these every target is as
// it was and the private folders are gone, as they are on SIGINT, SIGTERM
// and SIGHUP (RemoveTemporaryFilesOnSignals); a run killed outright leaves
// its folder, which the next set written there sweeps away.
bool ReplaceFilesTogether(const std::vector<std::filesystem::path>& targets, const FileMaker& make,
                          const FileSetHooks& hooks = {});

}  // namespace quillary
