#include "recovery/RecoveryFolder.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <random>
#include <utility>

#include "platform/Errors.h"

namespace quillary {

namespace {

constexpr std::string_view kRecoverySuffix = ".qrec";
constexpr std::string_view kLockSuffix = ".lock";
constexpr std::string_view kDamagedSuffix = ".damaged";
constexpr std::string_view kUnnamedLockSuffix = ".lock-new";

std::filesystem::path WithSuffix(const std::filesystem::path& file, std::string_view suffix) {
  std::filesystem::path named = file;
  named += std::string(suffix);
  return named;
}

std::filesystem::path LockFileOf(const std::filesystem::path& recoveryFile) {
  std::filesystem::path lock = recoveryFile;
  return lock.replace_extension(std::string(kLockSuffix));
}

// Each missing folder on the way is made readable by the user alone: the
// files hold the user's data.
void MakeFolder(const std::filesystem::path& folder) {
  std::filesystem::path made;
  for (const std::filesystem::path& part : folder) {
    made /= part;
    if (::mkdir(made.c_str(), 0700) != 0 && errno != EEXIST) throw FileWriteError(folder, ProblemOf(errno), errno);
  }
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0) throw FileWriteError(folder, ProblemOf(errno), errno);
  if (!S_ISDIR(info.st_mode)) throw FileWriteError(folder, FileProblem::NotRegularFile);
  // The files in it are made readable by others where the umask allows: the
  // folder, the program's own, keeps them out.
  if ((info.st_mode & 077) != 0 && info.st_uid == ::getuid()) ::chmod(folder.c_str(), 0700);
}

// The lock of a file, taken without waiting. Invalid when another process
// holds it (or it cannot be opened).
FileDescriptor TryLock(const std::filesystem::path& lockFile) {
  FileDescriptor lock(::open(lockFile.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!lock.valid()) return lock;
  while (::flock(lock.get(), LOCK_EX | LOCK_NB) != 0)
    if (errno != EINTR) return FileDescriptor();
  return lock;
}

std::string UniqueName() {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device random;
  std::string name = std::to_string(::getpid()) + "-";
  for (int i = 0; i < 8; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
  return name;
}

bool Exists(const std::filesystem::path& file) {
  struct stat info {};
  return ::lstat(file.c_str(), &info) == 0;
}

}  // namespace

std::filesystem::path RecoveryFolderPath() {
  const char* state = std::getenv("XDG_STATE_HOME");
  std::filesystem::path base;
  // A relative XDG_STATE_HOME is ignored, as the desktop base-directory rules say.
  if (state && *state && std::filesystem::path(state).is_absolute()) {
    base = state;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
      const passwd* user = ::getpwuid(::getuid());
      home = user ? user->pw_dir : nullptr;
    }
    if (!home || !*home) return {};
    base = std::filesystem::path(home) / ".local" / "state";
  }
  return base / "quillary" / "recovery";
}

RecoverySlot::RecoverySlot(std::filesystem::path folder, std::string name, FileDescriptor lock)
    : folder_(std::move(folder)),
      file_(WithSuffix(folder_ / name, kRecoverySuffix)),
      lockFile_(WithSuffix(folder_ / name, kLockSuffix)),
      lock_(std::move(lock)) {}

RecoverySlot RecoverySlot::Claim(const std::filesystem::path& folder) {
  if (folder.empty()) throw FileWriteError(folder, FileProblem::NotFound);
  MakeFolder(folder);
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::string name = UniqueName();
    const std::filesystem::path lockFile = WithSuffix(folder / name, kLockSuffix);
    // Locked before it takes its name: another program sweeping lock files
    // nobody holds never sees this one unheld.
    const std::filesystem::path unnamed = WithSuffix(folder / name, kUnnamedLockSuffix);
    FileDescriptor lock(::open(unnamed.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!lock.valid()) {
      if (errno == EEXIST) continue;
      throw FileWriteError(unnamed, ProblemOf(errno), errno);
    }
    const bool locked = ::flock(lock.get(), LOCK_EX | LOCK_NB) == 0;
    const int error = errno;
    const bool named = locked && ::link(unnamed.c_str(), lockFile.c_str()) == 0;
    const int linkError = errno;
    ::unlink(unnamed.c_str());
    if (named) return RecoverySlot(folder, name, std::move(lock));
    if (locked && linkError == EEXIST) continue;
    throw FileWriteError(lockFile, ProblemOf(locked ? linkError : error), locked ? linkError : error);
  }
  throw FileWriteError(folder, FileProblem::Other, EEXIST);
}

RecoverySlot::~RecoverySlot() {
  if (lock_.valid()) ::unlink(lockFile_.c_str());
}

Leftover::Leftover(std::filesystem::path file, std::filesystem::path lockFile, FileDescriptor lock,
                   std::filesystem::file_time_type modified)
    : file_(std::move(file)), lockFile_(std::move(lockFile)), lock_(std::move(lock)), modified_(modified) {}

Leftover::~Leftover() { Release(); }

void Leftover::Release() {
  if (!lock_.valid()) return;
  ::unlink(lockFile_.c_str());
  lock_.Close();
}

bool Leftover::AdoptAs(const std::filesystem::path& target) {
  if (::rename(file_.c_str(), target.c_str()) != 0) return false;
  Release();
  return true;
}

void Leftover::Remove() {
  ::unlink(file_.c_str());
  Release();
}

std::filesystem::path Leftover::SetAside() {
  const std::filesystem::path aside = WithSuffix(file_, kDamagedSuffix);
  const bool renamed = ::rename(file_.c_str(), aside.c_str()) == 0;
  Release();
  return renamed ? aside : std::filesystem::path();
}

std::vector<Leftover> Leftover::Find(const std::filesystem::path& folder) {
  struct Found {
    std::filesystem::path file;
    std::filesystem::file_time_type modified;
  };
  std::vector<Found> found;
  std::vector<std::filesystem::path> lockFiles;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::filesystem::path& path = entry.path();
    const std::string name = path.filename().string();
    if (name.ends_with(kLockSuffix)) {
      lockFiles.push_back(path);
    } else if (name.ends_with(kRecoverySuffix) && entry.is_regular_file(error)) {
      found.push_back({path, entry.last_write_time(error)});
    }
  }
  std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.modified > b.modified; });

  std::vector<Leftover> leftovers;
  for (Found& each : found) {
    const std::filesystem::path lockFile = LockFileOf(each.file);
    FileDescriptor lock = TryLock(lockFile);
    // Held: its program is running. Gone meanwhile: its program ended
    // normally between the listing and the lock.
    if (!lock.valid()) continue;
    if (!Exists(each.file)) {
      ::unlink(lockFile.c_str());
      continue;
    }
    leftovers.push_back(Leftover(std::move(each.file), lockFile, std::move(lock), each.modified));
  }
  // A lock file alone is what a program that never had unsaved changes
  // leaves when it is killed.
  for (const std::filesystem::path& lockFile : lockFiles) {
    std::filesystem::path recoveryFile = lockFile;
    if (Exists(recoveryFile.replace_extension(std::string(kRecoverySuffix)))) continue;
    const FileDescriptor lock = TryLock(lockFile);
    if (lock.valid() && !Exists(recoveryFile)) ::unlink(lockFile.c_str());
  }
  return leftovers;
}

}  // namespace quillary
