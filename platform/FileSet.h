#pragma once
// Many files written as one change: every file is made first, in a private
// folder beside its target, and only when all are made do they take their
// places; a failure part-way leaves every target as it was.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Errors.h"

namespace quillary {

// Makes file `index` of the set, handing its bytes to write piece by piece.
using FileMaker = std::function<void(std::size_t index, const std::function<void(std::string_view)>& write)>;

struct FileSetHooks {
  // After each file is made, with how many are; false cancels the set.
  std::function<bool(std::size_t made)> made;
  // For tests: the error number placing file `index` fails with (0: none).
  std::function<int(std::size_t index)> placingFails;
  // For tests: the error number putting file `index` back fails with.
  std::function<int(std::size_t index)> puttingBackFails;
};

// A file the roll-back could not put back. Its old bytes are never thrown
// away: they are in `kept`, a visible name beside the target
// ("page.html.old", "page.html.old-2", ...), or where even that could not
// be made, in the private folder, which then stays. kept is empty where
// the target had no old file (the new one stays in its place).
struct KeptFile {
  std::filesystem::path target;
  std::filesystem::path kept;
};

// Placing a file failed (path(), problem() and errorNumber() say which and
// why), and putting some of those placed before back failed too.
class FilesNotPutBackError : public FileWriteError {
 public:
  FilesNotPutBackError(const FileWriteError& failure, std::vector<KeptFile> kept);
  const std::vector<KeptFile>& kept() const { return kept_; }
  const char* what() const noexcept override;

 private:
  std::string message_;
  std::vector<KeptFile> kept_;
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
//    Where one cannot be put back, FilesNotPutBackError says where its old
//    bytes are kept.
// Returns false when cancelled. Throws FileWriteError naming the target
// that failed, or what `make` throws. On all of these every target is as
// it was and the private folders are gone, as they are on SIGINT, SIGTERM
// and SIGHUP (RemoveTemporaryFilesOnSignals); a run killed outright leaves
// its folder, which the next set written there sweeps away.
bool ReplaceFilesTogether(const std::vector<std::filesystem::path>& targets, const FileMaker& make,
                          const FileSetHooks& hooks = {});

}  // namespace quillary
