#pragma once
// Reading a file that a page names, kept to one folder: the pictures and
// style sheets of a preview come from the template's folder or below it,
// whatever the page or a cell says.

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/Errors.h"

namespace quillary {

// Why a file under a root was not read.
enum class UnderRootProblem {
  Outside,  // the name, or a link on its way, leads out of the root
  NotFound,
  NotRegular,  // a folder, device, pipe or socket
  TooLarge,    // over the limit
  Unreadable,  // no permission, too many links, a failed read
};

class UnderRootError : public Error {
 public:
  explicit UnderRootError(UnderRootProblem problem, int errorNumber = 0);
  UnderRootProblem problem() const { return problem_; }
  int errorNumber() const { return errorNumber_; }

 private:
  UnderRootProblem problem_;
  int errorNumber_;
};

// The bytes of `name`, relative to `root` or absolute and inside it. Links
// are followed one step at a time and each must stay inside the root; the
// file is opened without blocking and must be a regular file once open, of
// at most `limit` bytes. Throws UnderRootError.
std::string ReadFileUnder(const std::filesystem::path& root, const std::filesystem::path& name, std::uintmax_t limit);

}  // namespace quillary
