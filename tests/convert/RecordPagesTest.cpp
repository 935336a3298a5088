// Pages per record: names as the file system takes them, the plan made
// before anything is written, and the pages written all or none.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <string>

#include "convert/PageNames.h"
#include "convert/RecordPages.h"
#include "convert/SheetArrayCells.h"
#include "platform/FileSet.h"
#include "support/SheetOf.h"
#include "support/TempDir.h"

namespace quillary {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::SheetOf;
using testing::TempDir;

TEST(SafeFileName, ReplacesWhatNamesCannotHoldAndCutsAtACharacter) {
  const struct {
    const char* name;
    std::u16string given;
    std::size_t longest;
    std::u16string safe;
  } rows[] = {
      {"separators", u"a/b\\c", 255, u"a_b_c"},
      {"control characters", u"a\tb\x7F\x85", 255, u"a_b__"},
      {"a lone surrogate", u"a\xD800", 255, u"a_"},
      {"dot dot", u"..", 255, u"__"},
      {"three dots are a name", u"...", 255, u"..."},
      {"cut before the extension", u"あいうえお.html", 11, u"あい.html"},
      {"a pair never split", u"😀😀.txt", 9, u"😀.txt"},
      {"a long extension cut with the rest", u"a.verylongextension12", 6, u"a.very"},
  };
  for (const auto& row : rows) EXPECT_EQ(SafeFileName(row.given, row.longest), row.safe) << row.name;
}

TEST(PlanPages, NamesEveryRecordAndMarksWhatIsReplaced) {
  TempDir dir;
  dir.Write("a.html", "old");
  const SheetArray array = SheetOf({{u"code", u"A", u"a", u"", u"B/1"}, {u"name", u"x", u"y", u"", u"z"}});
  const PagesPlan plan = PlanPages(u"<!-- code -->.html", SheetArrayCells(array), 2, dir.path());
  ASSERT_EQ(plan.pages.size(), 3u);
  const std::u16string names[] = {u"A.html", u"a.html", u"B_1.html"};
  const int records[] = {1, 2, 4};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(plan.pages[i].name, names[i]) << i;
    EXPECT_EQ(plan.pages[i].record, records[i]) << i;
    EXPECT_EQ(plan.pages[i].exists, i == 1) << i;
  }
  EXPECT_EQ(plan.blankRecords, 1) << "a record with no values makes no page";
  EXPECT_THROW(PlanPages(u"x", SheetArrayCells(array), 2, dir / "a.html"), FileWriteError);
  EXPECT_THROW(PlanPages(u"x", SheetArrayCells(array), 2, dir / "missing"), FileWriteError);
}

TEST(PlanPages, RefusesEmptyAndSharedNamesNamingTheRecords) {
  const std::u16string longName(300, u'x');
  const struct {
    const char* name;
    std::vector<std::u16string> codes;
    PageNameError::Kind kind;
    std::vector<int> records;
    std::u16string shared;
  } rows[] = {
      {"shared once made safe", {u"b/c", u"b_c", u"d"}, PageNameError::Kind::Shared, {1, 2}, u"b_c"},
      {"shared once cut",
       {u"d", longName + u"1", longName + u"2"},
       PageNameError::Kind::Shared,
       {2, 3},
       std::u16string(255, u'x')},
      {"the first name shared, with all its records",
       {u"e", u"f", u"e", u"f", u"e"},
       PageNameError::Kind::Shared,
       {1, 3, 5},
       u"e"},
      {"empty at a NUL", {std::u16string(u"\0x", 2), u"x", u""}, PageNameError::Kind::Empty, {1, 3}, u""},
  };
  TempDir dir;
  for (const auto& row : rows) {
    std::vector<std::u16string> codes = {u"code"}, others = {u"other"};
    codes.insert(codes.end(), row.codes.begin(), row.codes.end());
    others.resize(codes.size(), u"v");
    const SheetArray array = SheetOf({codes, others});
    try {
      PlanPages(u"<!-- code -->", SheetArrayCells(array), 2, dir.path());
      ADD_FAILURE() << row.name << ": planned";
    } catch (const PageNameError& error) {
      EXPECT_EQ(error.kind(), row.kind) << row.name;
      EXPECT_EQ(error.records(), row.records) << row.name;
      EXPECT_EQ(error.name(), row.shared) << row.name;
    }
  }
}

TEST(PlanPages, RefusesToReplaceTheTemplateOrTheSheetUnderAnyName) {
  TempDir dir, elsewhere;
  dir.Write("page.html", "template");
  elsewhere.Write("sheet.csv", "sheet");
  ASSERT_EQ(::symlink((elsewhere / "sheet.csv").c_str(), (dir / "link.csv").c_str()), 0);
  const std::vector<fs::path> guarded = {elsewhere / "sheet.csv", dir / "page.html"};
  const struct {
    const char* name;
    std::u16string code;
    fs::path file;  // empty: planned
  } rows[] = {
      {"the template by its name", u"page.html", dir / "page.html"},
      {"the sheet through a link", u"link.csv", elsewhere / "sheet.csv"},
      {"a file of the same name elsewhere", u"sheet.csv", {}},
  };
  for (const auto& row : rows) {
    const SheetArray array = SheetOf({{u"code", u"a", row.code}});
    try {
      PlanPages(u"<!-- code -->", SheetArrayCells(array), 1, dir.path(), guarded);
      EXPECT_TRUE(row.file.empty()) << row.name << ": planned";
    } catch (const PageNameError& error) {
      EXPECT_EQ(error.kind(), PageNameError::Kind::Protected) << row.name;
      EXPECT_EQ(error.records(), std::vector<int>{2}) << row.name;
      EXPECT_EQ(error.file(), row.file) << row.name;
    }
  }
}

// Every entry of the folder, hidden ones too, with its bytes.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
  std::map<std::string, std::string> entries;
  for (const auto& entry : fs::directory_iterator(folder))
    entries[entry.path().filename().string()] = entry.is_regular_file() ? ReadBytes(entry.path()) : "(folder)";
  return entries;
}

class WritePagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("1.html", "old 1");
    dir_.Write("3.html", "old 3");
    dir_.Write("keep.txt", "kept");
    ::chmod((dir_ / "1.html").c_str(), 0600);
    before_ = Snapshot(dir_.path());
  }
  PagesResult Write(const PagesHooks& hooks = {}, const PageTemplate& page = {u"[<!-- n -->]", TextEncoding::Utf8}) {
    return WritePages(PlanPages(u"<!-- n -->.html", cells_, 1, dir_.path()), page, cells_, 1, hooks);
  }

  TempDir dir_;
  SheetArray array_ = SheetOf({{u"n", u"1", u"2", u"3", u"4"}});
  SheetArrayCells cells_{array_};
  std::map<std::string, std::string> before_;
};

TEST_F(WritePagesTest, PlacesEveryPageKeepingModes) {
  const PagesResult result = Write();
  EXPECT_FALSE(result.cancelled);
  EXPECT_EQ(result.written, 4u);
  EXPECT_EQ(result.replaced, 2u);
  EXPECT_EQ(result.summary.filled, 4u);
  const std::map<std::string, std::string> after = {
      {"1.html", "[1]"}, {"2.html", "[2]"}, {"3.html", "[3]"}, {"4.html", "[4]"}, {"keep.txt", "kept"}};
  EXPECT_EQ(Snapshot(dir_.path()), after) << "no temporaries left";
  struct stat info {};
  ASSERT_EQ(::stat((dir_ / "1.html").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(WritePagesTest, AFailurePlacingTheKthPageLeavesTheFolderAsItWas) {
  for (const std::size_t k : {0u, 1u, 2u, 3u}) {
    PagesHooks hooks;
    hooks.placingFails = [k](std::size_t index) { return index == k ? EIO : 0; };
    try {
      Write(hooks);
      ADD_FAILURE() << "page " << k << ": written";
    } catch (const FileWriteError& error) {
      EXPECT_EQ(error.path(), dir_ / (std::to_string(k + 1) + ".html")) << k;
      EXPECT_EQ(error.errorNumber(), EIO) << k;
    }
    EXPECT_EQ(Snapshot(dir_.path()), before_) << "failing at page " << k;
  }
}

TEST_F(WritePagesTest, APageThatCannotGoBackIsKeptUnderAVisibleName) {
  dir_.Write("1.html.old", "someone's");
  // Page 3 fails; 1 (replacing) and 2 (new) cannot go back.
  PagesHooks hooks;
  hooks.placingFails = [](std::size_t index) { return index == 2 ? EIO : 0; };
  hooks.puttingBackFails = [](std::size_t index) { return index < 2 ? EIO : 0; };
  try {
    Write(hooks);
    ADD_FAILURE() << "written";
  } catch (const FilesNotPutBackError& error) {
    EXPECT_EQ(error.path(), dir_ / "3.html") << "the file that failed";
    ASSERT_EQ(error.kept().size(), 2u);
    EXPECT_EQ(error.kept()[0].target, dir_ / "2.html");
    EXPECT_EQ(error.kept()[0].kept, fs::path()) << "nothing was there";
    EXPECT_EQ(error.kept()[1].target, dir_ / "1.html");
    EXPECT_EQ(error.kept()[1].kept, dir_ / "1.html.old-2") << "beside it, never over a file";
  }
  std::map<std::string, std::string> after = before_;
  after["1.html"] = "[1]";
  after["1.html.old"] = "someone's";
  after["1.html.old-2"] = "old 1";
  after["2.html"] = "[2]";
  EXPECT_EQ(Snapshot(dir_.path()), after) << "no old bytes lost, no private folder left";
}

TEST_F(WritePagesTest, APageThatCannotBeMadeOrACancelWritesNothing) {
  array_.Set(0, 2, u"2😀");
  try {
    Write({}, {u"[<!-- n -->]", TextEncoding::Cp932, false});
    ADD_FAILURE() << "written";
  } catch (const PageError& error) {
    EXPECT_EQ(error.record(), 2);
    EXPECT_EQ(error.file(), dir_ / "2😀.html");
    EXPECT_THROW(std::rethrow_exception(error.cause()), UnencodableCharError);
  }
  EXPECT_EQ(Snapshot(dir_.path()), before_) << "unmade";

  std::size_t asked = 0;
  PagesHooks hooks;
  hooks.progress = [&](std::size_t made, std::size_t total) {
    EXPECT_EQ(total, 4u);
    asked = made;
    return made < 2;
  };
  const PagesResult result = Write(hooks);
  EXPECT_TRUE(result.cancelled);
  EXPECT_EQ(asked, 2u);
  EXPECT_EQ(result.written, 0u);
  EXPECT_EQ(Snapshot(dir_.path()), before_) << "cancelled";

  ASSERT_EQ(::link((dir_ / "3.html").c_str(), (dir_ / "other-name").c_str()), 0);
  before_ = Snapshot(dir_.path());
  array_.Set(0, 2, u"2");
  EXPECT_THROW(Write(), FileWriteError) << "a file with another name is not replaced";
  EXPECT_EQ(Snapshot(dir_.path()), before_) << "hard link";
}

}  // namespace
}  // namespace quillary
