// The recovery files on disk: the writer's thread, the state folder, and
// whose file is whose.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/FileIO.h"
#include "recovery/RecoveryFile.h"
#include "recovery/RecoveryFolder.h"
#include "recovery/RecoveryWriter.h"
#include "support/SheetOf.h"
#include "support/TempDir.h"

namespace quillary {
namespace {

using testing::NumberedSheet;
using testing::TempDir;

TEST(RecoveryWriter, WritesAppendsRemovesAndMendsAFailure) {
  TempDir dir;
  std::atomic<int> failures = 0;
  const std::filesystem::path file = dir / "missing" / "own.qrec";
  RecoveryWriter writer(file, [&] { ++failures; });

  // No folder: the base fails, the records after it wait for a new one.
  Sheet sheet = NumberedSheet(2, 2);
  writer.WriteBase({u"a.csv"}, sheet);
  writer.Append({u"a.csv"}, {{1, 1, SharedText(u"lost")}});
  writer.Wait();
  EXPECT_EQ(failures, 1);
  EXPECT_TRUE(writer.NeedsBase());

  std::filesystem::create_directory(dir / "missing");
  writer.WriteBase({u"a.csv"}, sheet);
  EXPECT_FALSE(writer.NeedsBase());
  writer.Append({u"a.csv", TextEncoding::Utf8}, {{1, 1, SharedText(u"kept")}});
  writer.Append({u"a.csv", TextEncoding::Utf8}, {{2, 2, SharedText(u"too")}});
  writer.Wait();
  sheet.SetText(1, 1, u"kept");
  sheet.SetText(2, 2, u"too");
  const RecoveredSheet read = ReadRecovery(ReadFileBytes(file));
  EXPECT_EQ(read.sheet, sheet);
  EXPECT_EQ(read.records, 2);
  EXPECT_EQ(read.info.encoding, TextEncoding::Utf8);

  writer.Remove();
  writer.Wait();
  EXPECT_FALSE(std::filesystem::exists(file));
  // A record with no base under it is not written.
  writer.Append({}, {});
  writer.Wait();
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_EQ(failures, 1);
}

TEST(RecoveryFolder, FollowsXdgStateHome) {
  const char* saved = std::getenv("XDG_STATE_HOME");
  const std::string savedState = saved ? saved : "";
  // Where it is set, the recovery window's test shows; a relative one is
  // ignored, as if unset.
  const auto fallback = std::filesystem::path(std::getenv("HOME")) / ".local/state/quillary/recovery";
  ::setenv("XDG_STATE_HOME", "state", 1);
  EXPECT_EQ(RecoveryFolderPath(), fallback) << "relative";
  ::unsetenv("XDG_STATE_HOME");
  EXPECT_EQ(RecoveryFolderPath(), fallback) << "unset";
  saved ? ::setenv("XDG_STATE_HOME", savedState.c_str(), 1) : ::unsetenv("XDG_STATE_HOME");
}

// A file as a program leaves it when it is killed: the file and its
// unlocked lock file.
std::filesystem::path LeaveBehind(const std::filesystem::path& folder, const std::string& name, int ageSeconds) {
  const std::filesystem::path file = folder / (name + ".qrec");
  WriteRecoveryFile(file, {}, NumberedSheet(1, 1));
  std::filesystem::last_write_time(file,
                                   std::filesystem::file_time_type::clock::now() - std::chrono::seconds(ageSeconds));
  return file;
}

TEST(RecoveryFolder, OffersOnlyWhatEndedProgramsLeft) {
  TempDir dir;
  const std::filesystem::path folder = dir / "state" / "quillary" / "recovery";
  // Made by someone else, open to all: the program's own folder is closed.
  std::filesystem::create_directories(folder);
  std::filesystem::permissions(folder, std::filesystem::perms(0755));
  const RecoverySlot running = RecoverySlot::Claim(folder);
  struct stat info {};
  ASSERT_EQ(::stat(folder.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  WriteRecoveryFile(running.file(), {}, NumberedSheet(1, 1));

  const auto older = LeaveBehind(folder, "100-older", 60);
  const auto newer = LeaveBehind(folder, "200-newer", 5);
  std::ofstream(folder / "300-lonely.lock");  // a killed program with nothing unsaved

  std::vector<Leftover> found = Leftover::Find(folder);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].file(), newer);
  EXPECT_EQ(found[1].file(), older);
  EXPECT_FALSE(std::filesystem::exists(folder / "300-lonely.lock"));
  // Held while this program decides: another one does not see them.
  EXPECT_TRUE(Leftover::Find(folder).empty());

  // Restored: it becomes the running program's own file.
  EXPECT_TRUE(found[0].AdoptAs(running.file()));
  EXPECT_FALSE(std::filesystem::exists(newer));
  EXPECT_EQ(found[1].SetAside(), older.string() + ".damaged");
  EXPECT_TRUE(std::filesystem::exists(older.string() + ".damaged"));
  found.clear();
  // Nothing left to offer: the running program's file is its own.
  EXPECT_TRUE(Leftover::Find(folder).empty());
  EXPECT_TRUE(std::filesystem::exists(running.file()));
}

}  // namespace
}  // namespace quillary
