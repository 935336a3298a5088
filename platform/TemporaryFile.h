#pragma once
// The named temporary files writes have under way (one per thread at most),
// known to the signal handlers so that an interrupted process leaves none
// behind.

#include <filesystem>
#include <string>

namespace quillary {

// "HOSTHOST-": this machine, as the names of its temporary files tell it
// (folders may be shared): its host name, hashed.
const std::string& MachineTag();

class RegisteredTemporary {
 public:
  explicit RegisteredTemporary(const std::filesystem::path& path);
  ~RegisteredTemporary();
  RegisteredTemporary(const RegisteredTemporary&) = delete;
  RegisteredTemporary& operator=(const RegisteredTemporary&) = delete;

  // The file took the target's place (or was removed): nothing to clean.
  void Release();

 private:
  int slot_ = -1;
};

}  // namespace quillary
