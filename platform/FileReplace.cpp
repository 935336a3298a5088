// Replacing a file's contents: through an unnamed temporary file that takes
// the target's place in one step, or, where that would lose something about
// the file, in place after reserving the space.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <signal.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <random>
#include <string>

#include "platform/Errors.h"
#include "platform/FileDescriptor.h"
#include "platform/FileIO.h"
#include "platform/TemporaryFile.h"

namespace quillary {

namespace {

// The kernel's own limit on following links.
constexpr int kMostLinkHops = 40;

// Thrown inside; the public functions name the user's path.
struct WriteFailure {
  FileProblem problem;
  int errorNumber;
};

[[noreturn]] void Fail(int errorNumber) { throw WriteFailure{ProblemOf(errorNumber), errorNumber}; }
[[noreturn]] void Fail(FileProblem problem) { throw WriteFailure{problem, 0}; }

void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      Fail(errno);
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

void WriteAllAt(int fd, std::string_view bytes) {
  for (off_t offset = 0; !bytes.empty();) {
    const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), offset);
    if (written < 0) {
      if (errno == EINTR) continue;
      Fail(errno);
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
    offset += written;
  }
}

// Writes pieces as they come, and sets the disk writing each few megabytes
// at once: the sync before the file takes the target's place then has
// little left to wait for.
class WriteBehind {
 public:
  explicit WriteBehind(int fd) : fd_(fd) {}
  void Write(std::string_view piece) {
    WriteAll(fd_, piece);
    written_ += static_cast<off_t>(piece.size());
    if (written_ - started_ < kStep) return;
    // Only a head start: the sync reports any failure.
    ::sync_file_range(fd_, started_, written_ - started_, SYNC_FILE_RANGE_WRITE);
    started_ = written_;
  }

 private:
  static constexpr off_t kStep = off_t{8} << 20;
  int fd_;
  off_t written_ = 0, started_ = 0;
};

// The new contents: bytes at hand, or made piece by piece while they are
// written.
class Source {
 public:
  explicit Source(std::string_view bytes) : bytes_(bytes) {}
  explicit Source(const ByteProducer& produce) : produce_(&produce) {}

  void WriteTo(int fd) const {
    if (produce_) {
      WriteBehind writer(fd);
      (*produce_)([&writer](std::string_view piece) { writer.Write(piece); });
    } else {
      WriteAll(fd, bytes_);
    }
  }
  // All of them at once, made into storage if need be.
  std::string_view Whole(std::string& storage) const {
    if (!produce_) return bytes_;
    storage.clear();
    (*produce_)([&storage](std::string_view piece) { storage.append(piece); });
    return storage;
  }

 private:
  std::string_view bytes_;
  const ByteProducer* produce_ = nullptr;
};

// The file a path leads to once symbolic links are followed. It may not
// exist: a dangling link leads to the file it would create.
std::filesystem::path FollowLinks(std::filesystem::path path) {
  for (int hop = 0; hop < kMostLinkHops; ++hop) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char target[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
    if (length < 0) Fail(errno);
    if (static_cast<std::size_t>(length) == sizeof target) Fail(ENAMETOOLONG);
    const std::filesystem::path next(std::string(target, static_cast<std::size_t>(length)));
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  Fail(ELOOP);
}

std::filesystem::path FolderOf(const std::filesystem::path& file) {
  return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

constexpr std::string_view kTemporaryPrefix = ".quillary-";
constexpr std::string_view kTemporarySuffix = ".tmp";

// ".quillary-HOST-PID-RANDOM.tmp": short, so that it fits wherever the
// target's name fits, and naming the process that made it.
std::filesystem::path TemporaryNameIn(const std::filesystem::path& folder) {
  static std::mt19937_64 random{std::random_device{}()};
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string name(kTemporaryPrefix);
  name.append(MachineTag()).append(std::to_string(::getpid())).append("-");
  for (int i = 0; i < 6; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
  return folder / name.append(kTemporarySuffix);
}

// A process killed in the instant between naming its temporary file and
// renaming it over the target leaves the name behind; the next write in the
// folder removes those of this machine whose process is gone.
void RemoveStaleTemporaries(const std::filesystem::path& folder) {
  const std::string& ourHost = MachineTag();
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix) ||
        name.compare(kTemporaryPrefix.size(), ourHost.size(), ourHost) != 0)
      continue;
    const pid_t pid = static_cast<pid_t>(std::atol(name.c_str() + kTemporaryPrefix.size() + ourHost.size()));
    if (pid > 0 && pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH) ::unlink(entry.path().c_str());
  }
}

// Makes the file durable where it now stands in its folder.
void SyncFolder(const std::filesystem::path& folder) {
  const FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.valid()) ::fsync(dir.get());
}

// The new file's bytes, not yet anywhere in the folder (or, where the file
// system has no unnamed files, under a registered temporary name).
class PendingFile {
 public:
  explicit PendingFile(const std::filesystem::path& folder) : folder_(folder) {
    RemoveStaleTemporaries(folder);
    file_ = std::make_unique<FileDescriptor>(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (file_->valid()) return;
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) Fail(errno);
    for (int attempt = 0; attempt < 16; ++attempt) {
      const std::filesystem::path name = TemporaryNameIn(folder);
      auto registered = std::make_unique<RegisteredTemporary>(name);
      file_ = std::make_unique<FileDescriptor>(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
      if (file_->valid()) {
        name_ = name;
        registered_ = std::move(registered);
        return;
      }
      registered->Release();
      if (errno != EEXIST) Fail(errno);
    }
    Fail(EEXIST);
  }

  int fd() const { return file_->get(); }

  // Puts the written file in the target's place in one step.
  void Replace(const std::filesystem::path& target, bool targetExists) {
    if (::fsync(fd()) != 0) Fail(errno);
    // Held open, the old file is freed after the rename, not inside it: the
    // instant in which a temporary name exists stays as short as it can.
    const FileDescriptor oldFile(targetExists ? ::open(target.c_str(), O_PATH | O_CLOEXEC) : -1);
    if (!name_) {
      // An unnamed file is linked in: straight to the target when there is
      // none, else under a short-lived name renamed over it.
      const std::string self = "/proc/self/fd/" + std::to_string(fd());
      if (!targetExists && ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        Finish(target);
        return;
      }
      const std::filesystem::path name = TemporaryNameIn(folder_);
      registered_ = std::make_unique<RegisteredTemporary>(name);
      if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) != 0) {
        registered_->Release();
        Fail(errno);
      }
      name_ = name;
    }
    if (::rename(name_->c_str(), target.c_str()) != 0) Fail(errno);  // the registration removes the name
    registered_->Release();
    Finish(target);
  }

 private:
  void Finish(const std::filesystem::path& target) {
    if (!file_->Close()) Fail(errno);
    SyncFolder(FolderOf(target));
  }

  std::filesystem::path folder_;
  std::unique_ptr<FileDescriptor> file_;
  std::optional<std::filesystem::path> name_;
  std::unique_ptr<RegisteredTemporary> registered_;
};

// Through a temporary file. False, with nothing changed, when the new file
// could not be given the old one's owner and group.
bool ReplaceThroughTemporary(const std::filesystem::path& target, const struct stat* existing, const Source& bytes) {
  PendingFile pending(FolderOf(target));
  if (existing) {
    struct stat made {};
    if (::fstat(pending.fd(), &made) != 0) Fail(errno);
    // Owner first: changing it clears the set-user-ID and set-group-ID bits.
    if ((made.st_uid != existing->st_uid || made.st_gid != existing->st_gid) &&
        ::fchown(pending.fd(), existing->st_uid, existing->st_gid) != 0)
      return false;
    if (::fchmod(pending.fd(), existing->st_mode & 07777) != 0) return false;
  }
  bytes.WriteTo(pending.fd());
  pending.Replace(target, existing != nullptr);
  return true;
}

// In the existing file: its space is reserved before a byte is written, so
// a full disk leaves it as it was.
void RewriteInPlace(const std::filesystem::path& target, const struct stat& existing, std::string_view bytes) {
  FileDescriptor file(::open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
  if (!file.valid()) Fail(errno);
  const auto length = static_cast<off_t>(bytes.size());
  if (length > existing.st_size) {
    // Reserving beyond the end does not check the file size limit itself.
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        static_cast<rlim_t>(length) > limit.rlim_cur)
      Fail(EFBIG);
    if (::fallocate(file.get(), FALLOC_FL_KEEP_SIZE, 0, length) != 0 && errno != EOPNOTSUPP && errno != ENOSYS)
      Fail(errno);
  }
  WriteAllAt(file.get(), bytes);
  if (::ftruncate(file.get(), length) != 0 || ::fsync(file.get()) != 0 || !file.Close()) Fail(errno);
}

void Replace(const std::filesystem::path& path, const Source& source, OtherTargets others) {
  if (path.empty()) Fail(FileProblem::NotFound);
  if (!path.has_filename()) Fail(FileProblem::IsFolder);
  const std::filesystem::path target = FollowLinks(path);
  struct stat existing {};
  if (::stat(target.c_str(), &existing) != 0) {
    if (errno != ENOENT) Fail(errno);
    ReplaceThroughTemporary(target, nullptr, source);
    return;
  }
  // Made whole first where no temporary file holds them meanwhile.
  std::string storage;
  if (S_ISDIR(existing.st_mode)) Fail(FileProblem::IsFolder);
  if (!S_ISREG(existing.st_mode)) {
    if (others == OtherTargets::Refuse) Fail(FileProblem::NotRegularFile);
    // A device or a pipe takes the bytes as they come.
    const std::string_view bytes = source.Whole(storage);
    FileDescriptor file(::open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
    if (!file.valid()) Fail(errno);
    WriteAll(file.get(), bytes);
    if (!file.Close()) Fail(errno);
    return;
  }
  if ((existing.st_mode & 0222) == 0) Fail(FileProblem::WriteProtected);
  // Another name of the same file must see the new bytes too.
  if (existing.st_nlink == 1) {
    try {
      if (ReplaceThroughTemporary(target, &existing, source)) return;
    } catch (const WriteFailure& failure) {
      // A folder we may not write in can still hold a file we may write.
      if (failure.problem != FileProblem::NoPermission) throw;
    }
  }
  RewriteInPlace(target, existing, source.Whole(storage));
}

}  // namespace

void ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes, OtherTargets others) {
  try {
    Replace(path, Source(bytes), others);
  } catch (const WriteFailure& failure) {
    throw FileWriteError(path, failure.problem, failure.errorNumber);
  }
}

void ReplaceFileContents(const std::filesystem::path& path, const ByteProducer& produce, OtherTargets others) {
  try {
    Replace(path, Source(produce), others);
  } catch (const WriteFailure& failure) {
    throw FileWriteError(path, failure.problem, failure.errorNumber);
  }
}

std::filesystem::path FileBehindLinks(const std::filesystem::path& path) {
  try {
    return FollowLinks(path);
  } catch (const WriteFailure& failure) {
    throw FileWriteError(path, failure.problem, failure.errorNumber);
  }
}

void WriteToDescriptor(int fd, std::string_view bytes, const std::filesystem::path& name) {
  try {
    WriteAll(fd, bytes);
  } catch (const WriteFailure& failure) {
    throw FileWriteError(name, failure.problem, failure.errorNumber);
  }
}

}  // namespace quillary
