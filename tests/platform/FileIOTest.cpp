// The file layer on a real file system: what a write keeps and refuses,
// and what a read refuses, without ever blocking.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "platform/Errors.h"
#include "platform/FileIO.h"
#include "platform/TemporaryFile.h"
#include "support/TempDir.h"

namespace quillary {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempDir;

std::size_t EntriesIn(const fs::path& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

struct stat StatOf(const fs::path& path) {
  struct stat info {};
  EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
  return info;
}

// A path and the problem a read or a write of it must report.
struct ProblemCase {
  const char* name;
  fs::path path;
  FileProblem problem;
};

template <typename Error, typename Call>
FileProblem ProblemOfCall(Call call) {
  try {
    call();
  } catch (const Error& error) {
    return error.problem();
  }
  ADD_FAILURE() << "no error";
  return FileProblem::Other;
}

TEST(ReadFileBytes, ReadsRegularFilesAndRefusesEverythingElseAtOnce) {
  TempDir dir;
  EXPECT_EQ(ReadFileBytes(dir.Write("a.bin", std::string("x\0y", 3))), std::string("x\0y", 3));
  EXPECT_EQ(ReadFileBytes(dir.Write("empty", "")), "");
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  const ProblemCase cases[] = {
      {"missing", dir / "missing", FileProblem::NotFound},
      {"folder", dir.path(), FileProblem::IsFolder},
      // A pipe nobody writes to and an endless device: refused, not waited for.
      {"FIFO", dir / "fifo", FileProblem::NotRegularFile},
      {"/dev/zero", "/dev/zero", FileProblem::NotRegularFile},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ProblemOfCall<FileReadError>([&] { ReadFileBytes(c.path); }), c.problem) << c.name;
  // Over the limit, refused by its size before a byte is read, also sparse.
  const auto sparse = dir / "sparse";
  fs::resize_file(dir.Write("sparse", ""), kMaxReadBytes + 1);
  try {
    ReadFileBytes(sparse);
    ADD_FAILURE() << "read a file over the limit";
  } catch (const FileReadError& error) {
    EXPECT_EQ(std::pair(error.problem(), error.size()), std::pair(FileProblem::TooLarge, kMaxReadBytes + 1));
  }
  EXPECT_EQ(ReadFileBytes(dir.Write("small", "12345"), 5), "12345");
  EXPECT_EQ(ProblemOfCall<FileReadError>([&] { ReadFileBytes(dir / "small", 4); }), FileProblem::TooLarge);
}

TEST(ReplaceFileContents, ReplacesWholeKeepingOwnerAndModeAndLeavingNothingBehind) {
  TempDir dir;
  const auto file = dir.Write("out.txt", std::string(1000, 'o'));
  // Another user's file, where root can make one, keeps its owner too.
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(file.c_str(), 12345, 23456), 0);
  }
  ASSERT_EQ(::chmod(file.c_str(), 04751), 0);
  ReplaceFileContents(file, "new");
  EXPECT_EQ(ReadBytes(file), "new");
  const struct stat info = StatOf(file);
  EXPECT_EQ(info.st_mode & 07777, 04751u);
  if (root) {
    EXPECT_EQ(std::pair(info.st_uid, info.st_gid), std::pair(12345u, 23456u));
  }
  // A new file gets 0666 less the umask.
  const mode_t umask = ::umask(022);
  ReplaceFileContents(dir / "fresh.txt", "");
  ::umask(umask);
  EXPECT_EQ(ReadBytes(dir / "fresh.txt"), "");
  EXPECT_EQ(StatOf(dir / "fresh.txt").st_mode & 07777, 0644u);
  EXPECT_EQ(EntriesIn(dir.path()), 2u);
}

TEST(ReplaceFileContents, FollowsLinksAndKeepsHardLinksTogether) {
  TempDir dir;
  const auto target = dir.Write("target.csv", "old");
  fs::create_symlink("target.csv", dir / "link.csv");
  ReplaceFileContents(dir / "link.csv", "via link");
  EXPECT_TRUE(fs::is_symlink(dir / "link.csv"));
  EXPECT_EQ(ReadBytes(target), "via link");
  // A chain of links, and a dangling one: the file it names is created.
  fs::create_symlink("link.csv", dir / "chain.csv");
  ReplaceFileContents(dir / "chain.csv", "via chain");
  EXPECT_EQ(ReadBytes(target), "via chain");
  fs::create_directory(dir / "sub");
  fs::create_symlink("sub/new.csv", dir / "dangling.csv");
  ReplaceFileContents(dir / "dangling.csv", "created");
  EXPECT_TRUE(fs::is_symlink(dir / "dangling.csv"));
  EXPECT_EQ(ReadBytes(dir / "sub" / "new.csv"), "created");
  // Every name of a hard-linked file sees the new bytes, longer or shorter.
  fs::create_hard_link(target, dir / "hard.csv");
  for (const std::string& bytes : {std::string(5000, 'h'), std::string("short")}) {
    ReplaceFileContents(dir / "hard.csv", bytes);
    EXPECT_EQ(ReadBytes(target), bytes);
    EXPECT_EQ(StatOf(target).st_ino, StatOf(dir / "hard.csv").st_ino);
  }
  fs::create_symlink("loop.csv", dir / "loop.csv");
  EXPECT_EQ(ProblemOfCall<FileWriteError>([&] { ReplaceFileContents(dir / "loop.csv", "x"); }), FileProblem::Other);
  EXPECT_EQ(EntriesIn(dir.path()), 7u);  // nothing left beside them
}

TEST(ReplaceFileContents, RefusesWhatItMustNotReplace) {
  TempDir dir;
  const auto locked = dir.Write("locked.csv", "old");
  ::chmod(locked.c_str(), 0444);
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  const ProblemCase cases[] = {
      // Also for root, who could write it: the user protected it.
      {"write-protected", locked, FileProblem::WriteProtected},
      {"FIFO", dir / "fifo", FileProblem::NotRegularFile},
      {"folder", dir.path(), FileProblem::IsFolder},
      {"missing folder", dir / "none" / "x.csv", FileProblem::NotFound},
      {"name too long", dir / std::string(256, 'n'), FileProblem::NameTooLong},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ProblemOfCall<FileWriteError>([&] { ReplaceFileContents(c.path, "x"); }), c.problem) << c.name;
  EXPECT_EQ(ReadBytes(locked), "old");
  EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
  EXPECT_EQ(EntriesIn(dir.path()), 2u);
  // A device can be written into when asked for.
  ReplaceFileContents("/dev/null", "discarded", OtherTargets::WriteInto);
  // The longest name the file system allows is taken, new and replaced.
  ReplaceFileContents(dir / std::string(255, 'n'), "first");
  ReplaceFileContents(dir / std::string(255, 'n'), "second");
  EXPECT_EQ(ReadBytes(dir / std::string(255, 'n')), "second");
  EXPECT_EQ(EntriesIn(dir.path()), 3u);
}

// A full disk, as the file size limit makes it: the write fails part-way.
TEST(ReplaceFileContents, AWriteThatFailsPartWayLeavesTheOldFile) {
  TempDir dir;
  const auto file = dir.Write("kept.csv", "old contents");
  const auto hardLinked = dir.Write("linked.csv", "old linked");
  fs::create_hard_link(hardLinked, dir / "other-name.csv");
  std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  struct rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string big(100000, 'b');
  const FileProblem throughTemporary = ProblemOfCall<FileWriteError>([&] { ReplaceFileContents(file, big); });
  const FileProblem inPlace = ProblemOfCall<FileWriteError>([&] { ReplaceFileContents(hardLinked, big); });
  const FileProblem fresh = ProblemOfCall<FileWriteError>([&] { ReplaceFileContents(dir / "fresh.csv", big); });
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &saved), 0);
  EXPECT_EQ(std::tuple(throughTemporary, inPlace, fresh),
            std::tuple(FileProblem::TooLarge, FileProblem::TooLarge, FileProblem::TooLarge));
  EXPECT_EQ(ReadBytes(file), "old contents");
  EXPECT_EQ(ReadBytes(hardLinked), "old linked");
  EXPECT_EQ(EntriesIn(dir.path()), 3u);  // no temporary file, no half-made new one
}

// A name left by a process killed between naming its temporary file and
// renaming it: the next write in the folder removes it, and only such.
TEST(ReplaceFileContents, RemovesTemporaryNamesOfProcessesThatAreGone) {
  TempDir dir;
  const pid_t child = fork();
  if (child == 0) _exit(0);
  ::waitpid(child, nullptr, 0);
  const std::string ours = ".quillary-" + MachineTag();
  const auto stale = dir.Write(ours + std::to_string(child) + "-abcdef.tmp", "stale");
  const auto alive = dir.Write(ours + std::to_string(::getppid()) + "-abcdef.tmp", "in use");
  const auto elsewhere = dir.Write(".quillary-00000000-" + std::to_string(child) + "-abcdef.tmp", "other host");
  const auto user = dir.Write("quillary-" + std::to_string(child) + ".tmp", "the user's");
  ReplaceFileContents(dir / "out.csv", "x");
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(alive));
  EXPECT_TRUE(fs::exists(user));
  EXPECT_TRUE(MachineTag() == "00000000-" || fs::exists(elsewhere)) << "another machine's";
}

// What it writes is the converter's standard output test.
TEST(WriteToDescriptor, SaysWhyAWriteFails) {
  const int readOnly = ::open("/dev/null", O_RDONLY);
  EXPECT_EQ(ProblemOfCall<FileWriteError>([&] { WriteToDescriptor(readOnly, "x", "out"); }), FileProblem::Other);
  ::close(readOnly);
}

}  // namespace
}  // namespace quillary
