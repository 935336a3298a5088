#include "platform/PrivateFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>

#include "platform/Errors.h"
#include "platform/TemporaryFile.h"

namespace quillary {

namespace {

namespace fs = std::filesystem;

// Read by the signal handlers: fixed buffers and flags, nothing allocated.
struct Slot {
  volatile std::sig_atomic_t used;
  int fd;
  char path[PATH_MAX];
};
constexpr int kSlots = 8;
Slot g_slots[kSlots];

bool IsDots(const char* name) { return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')); }

// Unlinks every entry of the open folder with system calls alone, pass
// after pass until one finds nothing left (removing while reading may make
// a pass miss some).
void Empty(int folder) noexcept {
  alignas(dirent64) char buffer[4096];
  for (int pass = 0; pass < 8; ++pass) {
    if (::lseek(folder, 0, SEEK_SET) < 0) return;
    bool removed = false;
    for (ssize_t got; (got = ::getdents64(folder, buffer, sizeof buffer)) > 0;) {
      for (ssize_t at = 0; at < got;) {
        const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
        at += entry->d_reclen;
        if (!IsDots(entry->d_name) && ::unlinkat(folder, entry->d_name, 0) == 0) removed = true;
      }
    }
    if (!removed) return;
  }
}

fs::path TemporaryFolder() {
  std::error_code error;
  fs::path folder = fs::temp_directory_path(error);
  return error ? fs::path("/tmp") : folder;
}

fs::path MakeFolder(std::string_view prefix, const fs::path& base) {
  std::string name = (base / (std::string(prefix) + MachineTag() + "XXXXXX")).native();
  // mkdtemp makes it 0700.
  if (::mkdtemp(name.data()) == nullptr) throw FileWriteError(name, ProblemOf(errno), errno);
  return name;
}

int OpenLocked(const fs::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    if (fd >= 0) ::close(fd);
    ::rmdir(path.c_str());
    throw FileWriteError(path, ProblemOf(error), error);
  }
  return fd;
}

int Register(const fs::path& path, int fd) {
  if (path.native().size() >= PATH_MAX) return -1;
  for (int slot = 0; slot < kSlots; ++slot) {
    if (g_slots[slot].used) continue;
    g_slots[slot].fd = fd;
    std::memcpy(g_slots[slot].path, path.c_str(), path.native().size() + 1);
    g_slots[slot].used = 1;
    return slot;
  }
  // More folders than slots: those go at the normal end only.
  return -1;
}

}  // namespace

PrivateFolder::PrivateFolder(std::string_view prefix, const fs::path& base)
    : path_(MakeFolder(prefix, base.empty() ? TemporaryFolder() : base)),
      folder_(OpenLocked(path_)),
      slot_(Register(path_, folder_.get())) {}

void PrivateFolder::Keep() noexcept {
  if (slot_ >= 0) g_slots[slot_].used = 0;
  slot_ = -1;
  // Sweeps pass by a folder others may enter; search alone lets nobody
  // list it.
  ::fchmod(folder_.get(), 0711);
  kept_ = true;
}

PrivateFolder::~PrivateFolder() {
  if (kept_) return;
  if (slot_ >= 0) g_slots[slot_].used = 0;
  Empty(folder_.get());
  ::rmdir(path_.c_str());
}

int SweepPrivateFolders(std::string_view prefix, std::chrono::seconds quiet, const fs::path& in) {
  const fs::path base = in.empty() ? TemporaryFolder() : in;
  const FileDescriptor baseFolder(::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!baseFolder.valid()) return 0;
  const std::string start = std::string(prefix) + MachineTag();
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  int removed = 0;
  std::error_code error;
  for (fs::directory_iterator entry(base, error), end; !error && entry != end; entry.increment(error)) {
    const std::string name = entry->path().filename().native();
    if (!name.starts_with(start)) continue;
    const FileDescriptor folder(
        ::openat(baseFolder.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (!folder.valid() || ::fstat(folder.get(), &info) != 0) continue;
    // Another user's folder of that name, or one still in use, stays.
    if (info.st_uid != ::geteuid() || (info.st_mode & 077) != 0) continue;
    if (now - std::chrono::seconds(info.st_mtim.tv_sec) < quiet) continue;
    if (::flock(folder.get(), LOCK_EX | LOCK_NB) != 0) continue;
    Empty(folder.get());
    if (::unlinkat(baseFolder.get(), name.c_str(), AT_REMOVEDIR) == 0) ++removed;
  }
  return removed;
}

void RemovePrivateFoldersNow() noexcept {
  for (Slot& slot : g_slots) {
    if (!slot.used) continue;
    Empty(slot.fd);
    ::rmdir(slot.path);
  }
}

}  // namespace quillary
