#include "platform/TemporaryFile.h"

#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "platform/FileIO.h"
#include "platform/PrivateFolder.h"

namespace quillary {

namespace {

// Read by the signal handler: a fixed buffer and a flag, nothing allocated.
char g_path[PATH_MAX];
volatile std::sig_atomic_t g_registered = 0;

void RemoveAndRaise(int signal) {
  if (g_registered) ::unlink(g_path);
  RemovePrivateFoldersNow();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

// FNV-1a of the host name. Only the name is asked for: looking it up, as
// the host id does, could wait on the network.
const std::string& MachineTag() {
  static const std::string tag = [] {
    char name[256] = {};
    ::gethostname(name, sizeof name - 1);
    std::uint32_t hash = 2166136261U;
    for (const char* c = name; *c != '\0'; ++c) hash = (hash ^ static_cast<unsigned char>(*c)) * 16777619U;
    char text[16];
    std::snprintf(text, sizeof text, "%08lx-", static_cast<unsigned long>(hash));
    return std::string(text);
  }();
  return tag;
}

RegisteredTemporary::RegisteredTemporary(const std::filesystem::path& path) {
  const std::string& name = path.native();
  if (name.size() >= sizeof g_path) {  // such a path cannot be created anyway
    held_ = false;
    return;
  }
  std::memcpy(g_path, name.c_str(), name.size() + 1);
  g_registered = 1;
}

RegisteredTemporary::~RegisteredTemporary() {
  if (!held_) return;
  ::unlink(g_path);
  g_registered = 0;
}

void RegisteredTemporary::Release() {
  g_registered = 0;
  held_ = false;
}

void RemoveTemporaryFilesOnSignals() {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction action {};
    action.sa_handler = RemoveAndRaise;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
  }
}

}  // namespace quillary
