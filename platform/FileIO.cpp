#include "platform/FileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string>

#include "platform/Errors.h"

namespace quillary {

namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closing reports write-back errors of some file systems.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

std::filesystem::path TemporaryBeside(const std::filesystem::path& target) {
  static std::mt19937_64 random{std::random_device{}()};
  // Appended piece by piece: GCC 12 warns falsely on chained string "+".
  std::string name(".");
  name.append(target.filename().string()).append(".");
  name.append(std::to_string(random() % 1000000000ULL)).append(".tmp");
  return target.parent_path() / name;
}

}  // namespace

std::string ReadFileBytes(const std::filesystem::path& path) {
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info {};
  if (!file.valid() || ::fstat(file.get(), &info) != 0 || S_ISDIR(info.st_mode))
    throw FileReadError(path);
  std::string bytes;
  if (S_ISREG(info.st_mode)) bytes.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw FileReadError(path);
    }
    if (got == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  return bytes;
}

DecodedText ReadTextFile(const std::filesystem::path& path) { return DecodeText(ReadFileBytes(path)); }

void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
  if (path.empty() || !path.has_filename()) throw FileWriteError(path);
  struct stat existing {};
  const bool exists = ::stat(path.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) throw FileWriteError(path);
  const mode_t mode = exists ? (existing.st_mode & 07777) : 0666;

  std::filesystem::path temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    temporary = TemporaryBeside(path);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0 && errno != EEXIST) break;
  }
  FileDescriptor file(fd);
  if (!file.valid()) throw FileWriteError(path);
  // The umask applied to a new file; an existing one keeps its own bits.
  if (exists) ::fchmod(file.get(), mode);
  const bool ok = WriteAll(file.get(), bytes) && ::fsync(file.get()) == 0 && file.Close() &&
                  ::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(temporary.c_str());
    throw FileWriteError(path);
  }
}

std::filesystem::path PathFromText(std::u16string_view text) {
  return std::filesystem::path(std::u16string(text));
}

}  // namespace quillary
