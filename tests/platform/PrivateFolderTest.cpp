// The program's private temporary folders: gone at the end, also when a
// signal ends the program; a killed run's folder swept by the next run, and
// nothing else.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>

#include "platform/FileIO.h"
#include "platform/PrivateFolder.h"
#include "platform/TemporaryFile.h"

namespace quillary {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kPrefix = "quillary-private-test-" + std::to_string(::getpid()) + "-";

// A child program with a private folder holding a file, waiting for a
// signal; the folder's name and the child's id.
std::pair<fs::path, pid_t> ChildWithAFolder() {
  int pipe[2];
  if (::pipe(pipe) != 0) return {};
  const pid_t child = ::fork();
  if (child == 0) {
    RemoveTemporaryFilesOnSignals();
    PrivateFolder folder(kPrefix);
    std::ofstream(folder.path() / "page.html") << "<p>x</p>";
    const std::string name = folder.path().native();
    if (::write(pipe[1], name.data(), name.size()) < 0) _exit(2);
    ::close(pipe[1]);
    for (;;) ::pause();
  }
  ::close(pipe[1]);
  char name[4096];
  const ssize_t got = ::read(pipe[0], name, sizeof name);
  ::close(pipe[0]);
  return {std::string(name, got > 0 ? static_cast<std::size_t>(got) : 0), child};
}

int EndedBy(pid_t child, int signal) {
  ::kill(child, signal);
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFSIGNALED(status) ? WTERMSIG(status) : -1;
}

TEST(PrivateFolder, GoesWhenASignalEndsTheProgram) {
  for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
    const auto [path, child] = ChildWithAFolder();
    ASSERT_TRUE(fs::exists(path / "page.html")) << strsignal(signal);
    EXPECT_EQ(EndedBy(child, signal), signal);
    EXPECT_FALSE(fs::exists(path)) << strsignal(signal);
  }
}

TEST(SweepPrivateFolders, RemovesOnlyWhatEndedRunsLeft) {
  // A killed run leaves its folder.
  const auto [killed, child] = ChildWithAFolder();
  EXPECT_EQ(EndedBy(child, SIGKILL), SIGKILL);
  ASSERT_TRUE(fs::exists(killed / "page.html"));
  const PrivateFolder live(kPrefix);
  const fs::path base = killed.parent_path();
  const fs::path shared = base / (kPrefix + MachineTag() + "shared");
  fs::create_directory(shared);  // not private: someone else's
  const fs::path otherMachine = base / (kPrefix + "00000000-abcdef");
  fs::create_directory(otherMachine, killed);

  // Just made, a folder may not be locked yet: it waits for quiet.
  EXPECT_EQ(SweepPrivateFolders(kPrefix), 0);
  EXPECT_TRUE(fs::exists(killed));
  EXPECT_EQ(SweepPrivateFolders(kPrefix, 0s), 1);
  EXPECT_FALSE(fs::exists(killed));
  EXPECT_TRUE(fs::exists(live.path()));
  EXPECT_TRUE(fs::exists(shared));
  EXPECT_EQ(fs::exists(otherMachine), MachineTag() != "00000000-");
  fs::remove(shared);
  fs::remove(otherMachine);

  // One kept for a user's file stays, after its run too; one not kept goes
  // with its files. Both are the user's alone.
  fs::path kept, gone;
  {
    PrivateFolder keeping(kPrefix), going(kPrefix);
    kept = keeping.path();
    gone = going.path();
    std::ofstream(kept / "old.html") << "old";
    std::ofstream(gone / "a.html") << "a";
    keeping.Keep();
    struct stat info {};
    ASSERT_EQ(::lstat(gone.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
  }
  EXPECT_FALSE(fs::exists(gone));
  EXPECT_EQ(SweepPrivateFolders(kPrefix, 0s), 0);
  EXPECT_TRUE(fs::exists(kept / "old.html"));
  fs::remove_all(kept);
}

}  // namespace
}  // namespace quillary
