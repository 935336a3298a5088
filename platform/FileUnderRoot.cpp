// Resolving a name under a root by hand, one component at a time from open
// folders, so that no link, "..", or folder swapped in meanwhile can lead
// the read out of the root.

#include "platform/FileUnderRoot.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <deque>
#include <system_error>
#include <vector>

#include "platform/FileDescriptor.h"

namespace quillary {

namespace {

namespace fs = std::filesystem;

// As the system allows on one path.
constexpr int kMaxLinks = 40;

UnderRootProblem ProblemOfErrno(int errorNumber) {
  switch (errorNumber) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG: return UnderRootProblem::NotFound;
    case ENXIO:
    case ENODEV: return UnderRootProblem::NotRegular;
    default: return UnderRootProblem::Unreadable;
  }
}

[[noreturn]] void Fail(UnderRootProblem problem, int errorNumber = 0) { throw UnderRootError(problem, errorNumber); }
[[noreturn]] void FailErrno() { Fail(ProblemOfErrno(errno), errno); }

const char* ProblemText(UnderRootProblem problem) {
  switch (problem) {
    case UnderRootProblem::Outside: return "outside the folder";
    case UnderRootProblem::NotFound: return "no such file";
    case UnderRootProblem::NotRegular: return "not a regular file";
    case UnderRootProblem::TooLarge: return "too large";
    case UnderRootProblem::Unreadable: break;
  }
  return "cannot be read";
}

using Components = std::deque<std::string>;

void Prepend(Components& pending, const fs::path& path) {
  Components parts;
  for (const fs::path& part : path.relative_path()) parts.push_back(part.native());
  pending.insert(pending.begin(), parts.begin(), parts.end());
}

// The part of an absolute path below the root, as written or as the
// system resolves it; none when it lies elsewhere.
bool BelowRoot(const fs::path& absolute, const std::vector<fs::path>& roots, fs::path& rest) {
  const fs::path normal = absolute.lexically_normal();
  for (const fs::path& root : roots) {
    const fs::path relative = normal.lexically_relative(root);
    if (!relative.empty() && *relative.begin() != "..") {
      rest = relative;
      return true;
    }
  }
  return false;
}

std::string ReadLink(int folder, const std::string& name) {
  std::string target(PATH_MAX, '\0');
  const ssize_t length = ::readlinkat(folder, name.c_str(), target.data(), target.size());
  // Not a link: a file where a folder was wanted.
  if (length < 0 && errno == EINVAL) Fail(UnderRootProblem::NotFound, ENOTDIR);
  if (length < 0) FailErrno();
  target.resize(static_cast<std::size_t>(length));
  return target;
}

std::string ReadRegular(const FileDescriptor& file, std::uintmax_t limit) {
  struct stat info {};
  if (::fstat(file.get(), &info) != 0) FailErrno();
  if (!S_ISREG(info.st_mode)) Fail(UnderRootProblem::NotRegular);
  if (static_cast<std::uintmax_t>(info.st_size) > limit) Fail(UnderRootProblem::TooLarge);
  // One byte of room past the size tells a file that grew.
  std::string bytes(static_cast<std::size_t>(info.st_size) + 1, '\0');
  std::size_t used = 0;
  for (;;) {
    if (used == bytes.size()) {
      if (used > limit) Fail(UnderRootProblem::TooLarge);
      bytes.resize(used + 4096);
    }
    const ssize_t got = ::read(file.get(), bytes.data() + used, bytes.size() - used);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) FailErrno();
    if (got == 0) break;
    used += static_cast<std::size_t>(got);
  }
  if (used > limit) Fail(UnderRootProblem::TooLarge);
  bytes.resize(used);
  return bytes;
}

class Walk {
 public:
  explicit Walk(const fs::path& root) {
    FileDescriptor top(::open(root.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!top.valid()) FailErrno();
    folders_.push_back(std::move(top));
    std::error_code ignored;
    roots_ = {fs::absolute(root).lexically_normal(), fs::canonical(root, ignored)};
  }

  std::string Read(const fs::path& name, std::uintmax_t limit) {
    Components pending;
    if (name.is_absolute()) {
      fs::path rest;
      if (!BelowRoot(name, roots_, rest)) Fail(UnderRootProblem::Outside);
      Prepend(pending, rest);
    } else {
      Prepend(pending, name);
    }
    while (!pending.empty()) {
      const std::string part = std::move(pending.front());
      pending.pop_front();
      if (part.empty() || part == ".") continue;
      if (part == "..") {
        if (folders_.size() == 1) Fail(UnderRootProblem::Outside);
        folders_.pop_back();
        continue;
      }
      const int folder = folders_.back().get();
      if (pending.empty()) {
        FileDescriptor file(::openat(folder, part.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
        if (file.valid()) return ReadRegular(file, limit);
        if (errno != ELOOP) FailErrno();
      } else {
        FileDescriptor next(::openat(folder, part.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (next.valid()) {
          folders_.push_back(std::move(next));
          continue;
        }
        if (errno != ENOTDIR && errno != ELOOP) FailErrno();
      }
      // A link, or a file where a folder was wanted (then reading it as a
      // link fails with the right error).
      Follow(ReadLink(folder, part), pending);
    }
    // The name was the root, or led back to it.
    Fail(UnderRootProblem::NotRegular);
  }

 private:
  void Follow(const fs::path& target, Components& pending) {
    if (++links_ > kMaxLinks) Fail(UnderRootProblem::Unreadable, ELOOP);
    if (target.is_absolute()) {
      fs::path rest;
      if (!BelowRoot(target, roots_, rest)) Fail(UnderRootProblem::Outside);
      folders_.resize(1);
      Prepend(pending, rest);
    } else {
      // Relative to the folder that holds the link.
      Prepend(pending, target);
    }
  }

  std::vector<FileDescriptor> folders_;
  std::vector<fs::path> roots_;
  int links_ = 0;
};

}  // namespace

UnderRootError::UnderRootError(UnderRootProblem problem, int errorNumber)
    : Error(std::string("cannot read under the folder: ") + ProblemText(problem)),
      problem_(problem),
      errorNumber_(errorNumber) {}

std::string ReadFileUnder(const fs::path& root, const fs::path& name, std::uintmax_t limit) {
  return Walk(root).Read(name, limit);
}

}  // namespace quillary
