#include "recovery/RecoveryFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/FileDescriptor.h"
#include "platform/FileIO.h"

namespace quillary {

void WriteRecoveryFile(const std::filesystem::path& file, const RecoveryInfo& info, const Sheet& sheet,
                       const std::function<void()>& checkpoint) {
  ReplaceFileContents(file, [&](const std::function<void(std::string_view)>& write) {
    WriteRecoveryBase(info, sheet, [&](std::string_view piece) {
      if (checkpoint) checkpoint();
      write(piece);
    });
  });
}

void AppendRecoveryRecord(const std::filesystem::path& file, std::string_view record) {
  FileDescriptor out(::open(file.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC));
  if (!out.valid()) throw FileWriteError(file, ProblemOf(errno), errno);
  struct stat info {};
  if (::fstat(out.get(), &info) != 0) throw FileWriteError(file, ProblemOf(errno), errno);
  try {
    WriteToDescriptor(out.get(), record, file);
    if (::fdatasync(out.get()) != 0) throw FileWriteError(file, ProblemOf(errno), errno);
  } catch (...) {
    // A record half written would read as damage behind the next one.
    if (::ftruncate(out.get(), info.st_size) == 0) ::fdatasync(out.get());
    throw;
  }
  if (!out.Close()) throw FileWriteError(file, ProblemOf(errno), errno);
}

void RemoveRecoveryFile(const std::filesystem::path& file) { ::unlink(file.c_str()); }

}  // namespace quillary
