#include "platform/FileSet.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "platform/Errors.h"
#include "platform/FileDescriptor.h"
#include "platform/FileIO.h"
#include "platform/PrivateFolder.h"

namespace quillary {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kStagingPrefix = ".quillary-files-";

[[noreturn]] void Fail(const fs::path& path, int errorNumber) {
  throw FileWriteError(path, ProblemOf(errorNumber), errorNumber);
}

// The private folder where one folder's new files are made.
class Staging {
 public:
  Staging(const fs::path& folder, const fs::path& firstTarget) : folder_(folder) {
    SweepPrivateFolders(kStagingPrefix, std::chrono::minutes(1), folder);
    try {
      private_ = std::make_unique<PrivateFolder>(kStagingPrefix, folder);
    } catch (const FileWriteError& error) {
      throw FileWriteError(firstTarget, error.problem(), error.errorNumber());
    }
    fd_ = ::open(private_->path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) Fail(firstTarget, errno);
  }
  ~Staging() { ::close(fd_); }
  Staging(const Staging&) = delete;
  Staging& operator=(const Staging&) = delete;

  int fd() const { return fd_; }
  const fs::path& folder() const { return folder_; }
  const fs::path& path() const { return private_->path(); }
  void Keep() { private_->Keep(); }

 private:
  fs::path folder_;
  std::unique_ptr<PrivateFolder> private_;
  int fd_ = -1;
};

struct Target {
  fs::path resolved;  // the file behind any links
  bool exists = false;
  struct stat info {};
  Staging* staging = nullptr;
  std::string staged;  // the new file's name in the staging folder
  // MovedAside: the old file aside, the new in place; Aside: the old file
  // aside, the new one could not follow.
  enum class Placed { No, Created, Swapped, MovedAside, Aside } placed = Placed::No;

  std::string Aside() const { return staged + ".old"; }
};

fs::path FolderOf(const fs::path& file) { return file.has_parent_path() ? file.parent_path() : fs::path("."); }

Target Prepare(const fs::path& path) {
  if (path.empty()) throw FileWriteError(path, FileProblem::NotFound);
  if (!path.has_filename()) throw FileWriteError(path, FileProblem::IsFolder);
  Target target;
  target.resolved = path;
  // One look for the usual file or absent name; links are followed only
  // where there is one.
  int looked = ::lstat(path.c_str(), &target.info);
  if (looked == 0 && S_ISLNK(target.info.st_mode)) {
    target.resolved = FileBehindLinks(path);
    looked = ::stat(target.resolved.c_str(), &target.info);
  }
  if (looked != 0) {
    if (errno != ENOENT) Fail(path, errno);
    return target;
  }
  target.exists = true;
  if (S_ISDIR(target.info.st_mode)) throw FileWriteError(path, FileProblem::IsFolder);
  if (!S_ISREG(target.info.st_mode)) throw FileWriteError(path, FileProblem::NotRegularFile);
  if ((target.info.st_mode & 0222) == 0) throw FileWriteError(path, FileProblem::WriteProtected);
  // Another name of the file would keep the old bytes.
  if (target.info.st_nlink > 1) throw FileWriteError(path, FileProblem::InPlaceOnly);
  return target;
}

void Make(Target& target, std::size_t index, const fs::path& path, const FileMaker& make) {
  target.staged = std::to_string(index);
  FileDescriptor file(
      ::openat(target.staging->fd(), target.staged.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (!file.valid()) Fail(path, errno);
  if (target.exists) {
    struct stat made {};
    if (::fstat(file.get(), &made) != 0) Fail(path, errno);
    // Owner first: changing it clears the set-user-ID and set-group-ID bits.
    if (((made.st_uid != target.info.st_uid || made.st_gid != target.info.st_gid) &&
         ::fchown(file.get(), target.info.st_uid, target.info.st_gid) != 0) ||
        ::fchmod(file.get(), target.info.st_mode & 07777) != 0)
      throw FileWriteError(path, FileProblem::InPlaceOnly);
  }
  make(index, [&](std::string_view piece) { WriteToDescriptor(file.get(), piece, path); });
  if (!file.Close()) Fail(path, errno);
}

// 0 when the new file took the target's place, else the error number.
int Place(Target& target) {
  const int staging = target.staging->fd();
  const char* const staged = target.staged.c_str();
  const char* const resolved = target.resolved.c_str();
  if (!target.exists) {
    if (::renameat2(staging, staged, AT_FDCWD, resolved, RENAME_NOREPLACE) == 0) {
      target.placed = Target::Placed::Created;
      return 0;
    }
    if (errno == EINVAL || errno == ENOSYS) {
      if (::renameat(staging, staged, AT_FDCWD, resolved) != 0) return errno;
      target.placed = Target::Placed::Created;
      return 0;
    }
    // A file that came meanwhile is kept like any other.
    if (errno != EEXIST) return errno;
  }
  if (::renameat2(staging, staged, AT_FDCWD, resolved, RENAME_EXCHANGE) == 0) {
    target.placed = Target::Placed::Swapped;
    return 0;
  }
  if (errno != EINVAL && errno != ENOSYS) return errno;
  if (::renameat(AT_FDCWD, resolved, staging, target.Aside().c_str()) != 0) return errno;
  target.placed = Target::Placed::Aside;
  if (::renameat(staging, staged, AT_FDCWD, resolved) != 0) return errno;
  target.placed = Target::Placed::MovedAside;
  return 0;
}

// 0 when the target is as it was, else the error number.
int PutBack(Target& target) {
  const int staging = target.staging->fd();
  const char* const resolved = target.resolved.c_str();
  int done = 0;
  switch (target.placed) {
    case Target::Placed::Created: done = ::unlink(resolved); break;
    case Target::Placed::Swapped:
      done = ::renameat2(staging, target.staged.c_str(), AT_FDCWD, resolved, RENAME_EXCHANGE);
      break;
    case Target::Placed::MovedAside:
    case Target::Placed::Aside: done = ::renameat(staging, target.Aside().c_str(), AT_FDCWD, resolved); break;
    case Target::Placed::No: break;
  }
  if (done != 0) return errno;
  target.placed = Target::Placed::No;
  return 0;
}

// Moves `name` out of the private folder to `to`, never over a file.
bool MoveOut(int staging, const char* name, const fs::path& to) {
  if (::renameat2(staging, name, AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  return ::linkat(staging, name, AT_FDCWD, to.c_str(), 0) == 0 && ::unlinkat(staging, name, 0) == 0;
}

// Where a target that could not be put back keeps its old bytes: beside
// it under a visible name, or failing that in its private folder, kept.
KeptFile KeepOld(Target& target) {
  KeptFile kept{target.resolved, {}};
  if (target.placed == Target::Placed::Created) return kept;
  const std::string old = target.placed == Target::Placed::Swapped ? target.staged : target.Aside();
  const int staging = target.staging->fd();
  for (int n = 1; n <= 100; ++n) {
    fs::path visible = target.resolved;
    visible += n == 1 ? ".old" : ".old-" + std::to_string(n);
    if (MoveOut(staging, old.c_str(), visible)) {
      kept.kept = std::move(visible);
      return kept;
    }
    if (errno != EEXIST) break;
  }
  target.staging->Keep();
  kept.kept = target.staging->path() / old;
  return kept;
}

std::string KeptText(const std::vector<KeptFile>& kept) {
  std::string text = "; not put back:";
  for (const KeptFile& file : kept)
    text +=
        " " + file.target.string() +
        (file.kept.empty() ? " (it was not there before)" : " (its old contents are in " + file.kept.string() + ")");
  return text;
}

// Interrupting signals wait while the files take their places: the set
// is either all in place or all put back before one ends the program.
class SignalsHeld {
 public:
  SignalsHeld() {
    sigset_t held;
    sigemptyset(&held);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&held, signal);
    ::pthread_sigmask(SIG_BLOCK, &held, &before_);
  }
  ~SignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &before_, nullptr); }
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t before_;
};

void SyncFolder(const fs::path& folder) {
  const FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.valid()) ::fsync(dir.get());
}

}  // namespace

FilesNotPutBackError::FilesNotPutBackError(const FileWriteError& failure, std::vector<KeptFile> kept)
    : FileWriteError(failure), message_(failure.what() + KeptText(kept)), kept_(std::move(kept)) {}

const char* FilesNotPutBackError::what() const noexcept { return message_.c_str(); }

bool ReplaceFilesTogether(const std::vector<fs::path>& paths, const FileMaker& make, const FileSetHooks& hooks) {
  std::vector<Target> targets;
  targets.reserve(paths.size());
  for (const fs::path& path : paths) targets.push_back(Prepare(path));

  std::map<fs::path, std::unique_ptr<Staging>> stagings;
  for (std::size_t i = 0; i < targets.size(); ++i) {
    Target& target = targets[i];
    std::unique_ptr<Staging>& staging = stagings[FolderOf(target.resolved)];
    if (!staging) staging = std::make_unique<Staging>(FolderOf(target.resolved), paths[i]);
    target.staging = staging.get();
    Make(target, i, paths[i], make);
    if (hooks.made && !hooks.made(i + 1)) return false;
  }
  // Once for the whole set: a sync for each file would cost far more.
  for (const auto& [folder, staging] : stagings)
    if (::syncfs(staging->fd()) != 0) Fail(folder, errno);

  const SignalsHeld held;
  for (std::size_t i = 0; i < targets.size(); ++i) {
    int error = hooks.placingFails ? hooks.placingFails(i) : 0;
    if (error == 0) error = Place(targets[i]);
    if (error == 0) continue;
    std::vector<KeptFile> kept;
    for (std::size_t back = i + 1; back-- > 0;) {
      const int failed = hooks.puttingBackFails ? hooks.puttingBackFails(back) : 0;
      if ((failed != 0 || PutBack(targets[back]) != 0) && targets[back].placed != Target::Placed::No)
        kept.push_back(KeepOld(targets[back]));
    }
    if (kept.empty()) Fail(paths[i], error);
    throw FilesNotPutBackError(FileWriteError(paths[i], ProblemOf(error), error), std::move(kept));
  }
  for (const auto& [folder, staging] : stagings) SyncFolder(folder);
  return true;
}

}  // namespace quillary
