#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/Errors.h"
#include "platform/FileIO.h"
#include "support/TempDir.h"

namespace quillary {
namespace {

using testing::ReadBytes;
using testing::TempDir;

TEST(FileIO, ReadsWholeFilesAndRefusesFolders) {
  TempDir dir;
  const auto file = dir.Write("a.bin", std::string("x\0y", 3));
  EXPECT_EQ(ReadFileBytes(file), std::string("x\0y", 3));
  EXPECT_EQ(ReadFileBytes(dir.Write("empty", "")), "");
  EXPECT_THROW(ReadFileBytes(dir / "missing"), FileReadError);
  EXPECT_THROW(ReadFileBytes(dir.path()), FileReadError);
}

TEST(FileIO, ReplacesFilesWholeAndKeepsTheirMode) {
  TempDir dir;
  const auto file = dir.Write("out.txt", std::string(1000, 'o'));
  ::chmod(file.c_str(), 0640);
  WriteFileAtomically(file, "new");
  EXPECT_EQ(ReadBytes(file), "new");
  struct stat info {};
  ::stat(file.c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0640u);

  WriteFileAtomically(dir / "fresh.txt", "");
  EXPECT_EQ(ReadBytes(dir / "fresh.txt"), "");
  // Failures leave nothing behind: no temporary file, the target untouched.
  EXPECT_THROW(WriteFileAtomically(dir.path(), "x"), FileWriteError);
  EXPECT_THROW(WriteFileAtomically(dir / "none/x.txt", "x"), FileWriteError);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
  EXPECT_EQ(PathFromText(u"日本.csv"), std::filesystem::path("日本.csv"));
}

}  // namespace
}  // namespace quillary
