// Reading what a page names, kept to the template's folder: what is read,
// and what is refused without waiting, through every kind of name and link.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <variant>

#include "platform/FileUnderRoot.h"
#include "support/TempDir.h"

namespace quillary {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

using Outcome = std::variant<std::string, UnderRootProblem>;

Outcome Read(const fs::path& root, const fs::path& name) {
  try {
    return ReadFileUnder(root, name, 16);
  } catch (const UnderRootError& error) {
    return error.problem();
  }
}

std::string Describe(const Outcome& outcome) {
  if (const auto* bytes = std::get_if<std::string>(&outcome)) return "bytes \"" + *bytes + "\"";
  return "problem " + std::to_string(static_cast<int>(std::get<UnderRootProblem>(outcome)));
}

TEST(ReadFileUnder, ReadsRegularFilesInTheFolderAndRefusesAllElseWithoutWaiting) {
  TempDir dir;
  const fs::path root = dir / "site";
  fs::create_directories(root / "pics");
  dir.Write("outside.png", "secret");
  dir.Write("site/a.png", "A");
  dir.Write("site/pics/b.png", "B");
  dir.Write("site/big.png", std::string(17, 'x'));
  fs::create_symlink("pics/b.png", root / "in.png");
  fs::create_symlink("pics", root / "folder-in");
  fs::create_symlink("../outside.png", root / "out.png");
  fs::create_symlink(dir / "outside.png", root / "absolute-out.png");
  fs::create_symlink("..", root / "up");
  fs::create_symlink("loop.png", root / "loop.png");
  // Planted under a picture's name: a pipe nobody writes to.
  ASSERT_EQ(::mkfifo((root / "pipe.png").c_str(), 0600), 0);

  const struct {
    const char* name;
    fs::path path;
    Outcome expected;
  } cases[] = {
      {"beside the template", "a.png", "A"},
      {"down and up again", "pics/../a.png", "A"},
      {"absolute, inside", root / "pics/b.png", "B"},
      {"a link inside", "in.png", "B"},
      {"through a linked folder", "folder-in/b.png", "B"},
      {"up and out", "../outside.png", UnderRootProblem::Outside},
      {"up and back in", "../site/a.png", UnderRootProblem::Outside},
      {"absolute, lexically out", root / "../outside.png", UnderRootProblem::Outside},
      {"a link out", "out.png", UnderRootProblem::Outside},
      {"an absolute link out", "absolute-out.png", UnderRootProblem::Outside},
      {"through a folder link out", "up/outside.png", UnderRootProblem::Outside},
      {"a pipe", "pipe.png", UnderRootProblem::NotRegular},
      {"a folder", "pics", UnderRootProblem::NotRegular},
      {"over the limit", "big.png", UnderRootProblem::TooLarge},
      {"missing", "missing.png", UnderRootProblem::NotFound},
      {"a file taken for a folder", "a.png/x", UnderRootProblem::NotFound},
      {"a link to itself", "loop.png", UnderRootProblem::Unreadable},
  };
  for (const auto& c : cases) EXPECT_EQ(Describe(Read(root, c.path)), Describe(c.expected)) << c.name;
}

TEST(ReadFileUnder, RefusesAFileThatGrowsPastTheLimitWhileRead) {
  // A file that reports no size and yields more than the limit: the
  // system's own, so the root is its folder.
  if (!fs::exists("/proc/self/status")) GTEST_SKIP() << "no /proc";
  EXPECT_EQ(Describe(Read("/proc/self", "status")), Describe(UnderRootProblem::TooLarge));
}

}  // namespace
}  // namespace quillary
