#include "platform/Errors.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace quillary {

FileProblem ProblemOf(int errorNumber) {
  switch (errorNumber) {
    case ENOENT:
    case ENOTDIR: return FileProblem::NotFound;
    case EACCES:
    case EPERM: return FileProblem::NoPermission;
    case EROFS: return FileProblem::ReadOnlyPlace;
    case ENOSPC:
    case EDQUOT: return FileProblem::NoSpace;
    case ENAMETOOLONG: return FileProblem::NameTooLong;
    case EISDIR: return FileProblem::IsFolder;
    case EFBIG: return FileProblem::TooLarge;
    case ENOMEM: return FileProblem::NoMemory;
    case ENXIO:
    case ENODEV: return FileProblem::NotRegularFile;
    default: return FileProblem::Other;
  }
}

std::string ProblemText(FileProblem problem, int errorNumber) {
  switch (problem) {
    case FileProblem::NotFound: return "no such file or folder";
    case FileProblem::NoPermission: return "permission denied";
    case FileProblem::ReadOnlyPlace: return "read-only file system";
    case FileProblem::WriteProtected: return "the file is write-protected";
    case FileProblem::NoSpace: return "no space left on the disk";
    case FileProblem::NameTooLong: return "file name too long";
    case FileProblem::NotRegularFile: return "not a regular file (a device, pipe or socket)";
    case FileProblem::IsFolder: return "is a folder";
    case FileProblem::TooLarge: return "too large";
    case FileProblem::NoMemory: return "not enough memory";
    case FileProblem::InPlaceOnly:
      return "the file has other names (hard links) or another owner, so it cannot be replaced as a whole";
    case FileProblem::Other: break;
  }
  return errorNumber != 0 ? std::strerror(errorNumber) : "unknown error";
}

std::string UnencodableCharError::Hex(char32_t c) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%04X", static_cast<unsigned>(c));
  return buffer;
}

}  // namespace quillary
