#include "platform/TemporaryFile.h"

#include <unistd.h>
#include <atomic>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/FileIO.h"
#include "platform/PrivateFolder.h"

namespace quillary {

namespace {

// Read by the signal handler: fixed buffers and lock-free flags, nothing
// allocated. A write on the window's thread and one on a worker (the
// recovery file) may each have a name under way.
constexpr int kSlots = 4;
enum SlotState : int { kFree, kFilling, kHeld };
char g_paths[kSlots][PATH_MAX];
std::atomic<int> g_states[kSlots];
static_assert(std::atomic<int>::is_always_lock_free);

void RemoveAndRaise(int signal) {
  for (int i = 0; i < kSlots; ++i)
    if (g_states[i].load() == kHeld) ::unlink(g_paths[i]);
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
  if (name.size() >= PATH_MAX) return;  // such a path cannot be created anyway
  for (int i = 0; i < kSlots; ++i) {
    int free = kFree;
    if (!g_states[i].compare_exchange_strong(free, kFilling)) continue;
    std::memcpy(g_paths[i], name.c_str(), name.size() + 1);
    g_states[i].store(kHeld);
    slot_ = i;
    return;
  }
  // More writes under way than slots: this one is left unguarded.
}

RegisteredTemporary::~RegisteredTemporary() {
  if (slot_ < 0) return;
  ::unlink(g_paths[slot_]);
  g_states[slot_].store(kFree);
}

void RegisteredTemporary::Release() {
  if (slot_ < 0) return;
  g_states[slot_].store(kFree);
  slot_ = -1;
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
