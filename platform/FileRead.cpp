// Reading whole files, bounded, from regular files only.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "platform/Errors.h"
#include "platform/FileDescriptor.h"
#include "platform/FileIO.h"
#include "platform/RegularFile.h"

namespace quillary {

FileDescriptor OpenRegularFile(const std::filesystem::path& path, std::uintmax_t limit, std::uintmax_t& size) {
  // Not blocking: opening a pipe for reading would wait for a writer.
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!file.valid()) throw FileReadError(path, ProblemOf(errno), errno);
  struct stat info {};
  if (::fstat(file.get(), &info) != 0) throw FileReadError(path, ProblemOf(errno), errno);
  if (S_ISDIR(info.st_mode)) throw FileReadError(path, FileProblem::IsFolder);
  if (!S_ISREG(info.st_mode)) throw FileReadError(path, FileProblem::NotRegularFile);
  size = static_cast<std::uintmax_t>(info.st_size);
  if (size > limit) throw FileReadError(path, FileProblem::TooLarge, 0, size);
  return file;
}

std::string ReadFileBytes(const std::filesystem::path& path, std::uintmax_t limit) {
  std::uintmax_t size = 0;
  const FileDescriptor file = OpenRegularFile(path, limit, size);
  // Read straight into the string, in as few calls as the kernel allows;
  // one byte of room past the size tells a file that grew.
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(size) + 1);
  std::size_t used = 0;
  for (;;) {
    if (used == bytes.size()) bytes.resize(std::max(bytes.capacity(), used + 65536));
    const ssize_t got = ::read(file.get(), bytes.data() + used, bytes.size() - used);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw FileReadError(path, ProblemOf(errno), errno);
    }
    if (got == 0) break;
    used += static_cast<std::size_t>(got);
    // A file that grows while it is read is held to the same limit.
    if (used > limit) throw FileReadError(path, FileProblem::TooLarge, 0, used);
  }
  bytes.resize(used);
  return bytes;
}

DecodedText ReadTextFile(const std::filesystem::path& path) { return DecodeText(ReadFileBytes(path)); }

std::filesystem::path PathFromText(std::u16string_view text) { return std::filesystem::path(std::u16string(text)); }

}  // namespace quillary
