// The companion converter as a user runs it: inputs in UTF-8 and CP932,
// the output's encoding, the refusal of input that does not decode, and its
// options.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/TextEncoding.h"
#include "support/TempDir.h"

namespace quillary {
namespace {

using testing::ReadBytes;
using testing::TempDir;

struct Outcome {
  int status;
  std::string errors;
};

std::string Utf8(std::u16string_view text) { return EncodeText(text, TextEncoding::Utf8); }

// Runs the converter with these arguments as a shell reads them, after
// `setup` in the same shell; standard output and standard error are
// captured together.
Outcome RunConverter(const std::string& arguments, const std::string& setup = "") {
  const std::string command = setup + "'" + QUILLARY_CONVERTER + "' " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  std::string printed;
  std::array<char, 256> buffer{};
  while (std::fgets(buffer.data(), buffer.size(), pipe)) printed += buffer.data();
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, printed};
}

std::string Quoted(const std::filesystem::path& path) { return std::string("'").append(path.string()).append("'"); }

// The converter on the three paths.
Outcome Convert(const std::filesystem::path& csv, const std::filesystem::path& templ,
                const std::filesystem::path& output, const std::string& setup = "") {
  return RunConverter(Quoted(csv) + " " + Quoted(templ) + " " + Quoted(output), setup);
}

TEST(Converter, ReadsUtf8AndGivesAnAsciiTemplateTheCsvsEncoding) {
  TempDir dir;
  const auto csv = dir.Write("in.csv", Utf8(u"商品,name\r\nりんご,😀\r\nみかん,☃\r\n"));
  const struct {
    const char* name;
    std::string templ, expected;
  } cases[] = {
      {"ASCII template", "<meta charset=\"utf-8\"><!-- BeginRepeat 2 -->[<!-- name -->]<!-- EndRepeat -->",
       Utf8(u"<meta charset=\"utf-8\">[😀][☃]")},
  };
  for (const auto& c : cases) {
    const Outcome run = Convert(csv, dir.Write("t.html", c.templ), dir / "out.html");
    EXPECT_EQ(run.status, 0) << c.name << ": " << run.errors;
    EXPECT_EQ(ReadBytes(dir / "out.html"), c.expected) << c.name;
  }
}

TEST(Converter, RefusesInputThatDoesNotDecodeAndNamesWhere) {
  TempDir dir;
  const auto goodCsv = dir.Write("good.csv", Utf8(u"name\r\nx\r\n"));
  const auto goodTemplate = dir.Write("good.html", "<!-- name -->");
  const struct {
    const char* name;
    std::filesystem::path csv, templ;
    std::string message;
  } cases[] = {
      {"CSV in CP932", dir.Write("bad.csv", "name\r\n\x93\xfa\x80\r\n"), goodTemplate,
       "bad.csv: 1 byte cannot be read as CP932, the first at byte offset 8 (line 2); nothing written"},
      {"CSV in UTF-8 with BOM", dir.Write("bom.csv", "\xEF\xBB\xBFname\r\n\xE6\x97\r\n"), goodTemplate,
       "bom.csv: 2 bytes cannot be read as UTF-8 with BOM, the first at byte offset 9 (line 2); nothing written"},
      {"template", goodCsv, dir.Write("bad.html", "<p>\xff</p>"),
       "bad.html: 1 byte cannot be read as CP932, the first at byte offset 3 (line 1); nothing written"},
      {"template in UTF-8 with two stray bytes", goodCsv,
       dir.Write("stray.html", Utf8(u"<p>価格\n<p>在庫\n") + "<p>\x81\xFF" + Utf8(u"品名</p>")),
       "stray.html: looks like UTF-8 but holds 2 malformed sequences, the first at byte offset 23 (line 3); "
       "nothing written"},
  };
  for (const auto& c : cases) {
    const Outcome run = Convert(c.csv, c.templ, dir / "out.html");
    EXPECT_EQ(run.status, 1) << c.name;
    EXPECT_NE(run.errors.find(c.message), std::string::npos) << c.name << ": " << run.errors;
    EXPECT_FALSE(std::filesystem::exists(dir / "out.html")) << c.name;
  }
}

TEST(Converter, WritesToDevicesPipesAndStandardOutput) {
  TempDir dir;
  const auto csv = dir.Write("in.csv", "name\r\nx\r\n");
  const auto templ = dir.Write("t.html", "[<!-- name -->]");
  EXPECT_EQ(Convert(csv, templ, "/dev/null").status, 0);
  // "-" is standard output (captured here with standard error).
  const Outcome out = Convert(csv, templ, "-");
  EXPECT_EQ(std::pair(out.status, out.errors), std::pair(0, std::string("[x]")));
  // A pipe gets the bytes as they come; it stays a pipe.
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  const std::string command = std::string("'") + QUILLARY_CONVERTER + "' '" + csv.string() + "' '" + templ.string() +
                              "' '" + (dir / "pipe").string() + "'";
  FILE* converter = popen(command.c_str(), "r");
  EXPECT_EQ(ReadBytes(dir / "pipe"), "[x]");
  EXPECT_EQ(WEXITSTATUS(pclose(converter)), 0);
  EXPECT_TRUE(std::filesystem::is_fifo(dir / "pipe"));
}

TEST(Converter, RefusesInputsThatAreNotRegularFilesWithoutWaiting) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  const auto csv = dir.Write("in.csv", "name\r\nx\r\n");
  const auto templ = dir.Write("t.html", "[<!-- name -->]");
  const struct {
    const char* name;
    std::filesystem::path csv, templ;
    std::string message;
  } cases[] = {
      {"CSV from a pipe nobody writes to", dir / "pipe", templ, "pipe: not a regular file"},
      {"template from a device", csv, "/dev/zero", "cannot read the template /dev/zero: not a regular file"},
      {"CSV that is a folder", dir.path(), templ, "is a folder"},
  };
  for (const auto& c : cases) {
    const Outcome run = Convert(c.csv, c.templ, dir / "out.html");
    EXPECT_EQ(run.status, 1) << c.name;
    EXPECT_NE(run.errors.find(c.message), std::string::npos) << c.name << ": " << run.errors;
    EXPECT_FALSE(std::filesystem::exists(dir / "out.html")) << c.name;
  }
  // A write-protected output is refused and kept, also for root.
  const auto locked = dir.Write("locked.html", "old");
  std::filesystem::permissions(locked, std::filesystem::perms::owner_read);
  const Outcome run = Convert(csv, templ, locked);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.errors.find("the file is write-protected"), std::string::npos) << run.errors;
  EXPECT_EQ(ReadBytes(locked), "old");
}

TEST(Converter, ReportsRunningOutOfMemory) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer needs far more address space than the limit leaves";
#else
  TempDir dir;
  // 48 MiB of CSV needs about 300 MiB as text; the converter gets 160 MiB.
  const auto csv = dir.Write("big.csv", "name\r\n\"" + std::string(48 << 20, 'x') + "\"\r\n");
  const auto templ = dir.Write("t.html", "<!-- name -->");
  const Outcome run = Convert(csv, templ, dir / "out.html", "ulimit -v 163840; ");
  EXPECT_EQ(run.status, 1) << run.errors;
  EXPECT_NE(run.errors.find("not enough memory"), std::string::npos) << run.errors;
  EXPECT_FALSE(std::filesystem::exists(dir / "out.html"));
#endif
}

// Without the cell limit, a CSV file that would need more memory than is
// left is refused before it is read (status 4), the output untouched;
// the figure given for tests, and a real address-space limit.
TEST(Converter, RefusesACsvThatWouldNotFitInMemory) {
  TempDir dir;
  // 3 MB of one-letter records: about 100 MiB by the estimate.
  std::string records = "name\r\n";
  for (int r = 0; r < 1000000; ++r) records += "x\r\n";
  const auto csv = dir.Write("big.csv", records);
  const auto templ = dir.Write("t.html", "<!-- name -->");
  const auto output = dir.Write("out.html", "old");
  const struct {
    const char* name;
    std::string setup;
    int status;
    std::string printed, written;
  } rows[] = {
      {"less left than the estimate", "QUILLARY_TEST_AVAILABLE_MEMORY=50000000 ", 4,
       "big.csv: converting it may take up to ", "old"},
      {"enough left", "QUILLARY_TEST_AVAILABLE_MEMORY=1000000000 ", 0, "", "x"},
#if !defined(__SANITIZE_ADDRESS__)
      {"an address-space limit", "ulimit -v 81920; ", 4, " MiB are left; nothing written\n", "old"},
#endif
  };
  for (const auto& row : rows) {
    dir.Write("out.html", "old");
    const Outcome run = RunConverter("--no-cell-limit " + Quoted(csv) + " " + Quoted(templ) + " " + Quoted(output),
                                     row.setup);
    EXPECT_EQ(run.status, row.status) << row.name << ": " << run.errors;
    EXPECT_NE(run.errors.find(row.printed), std::string::npos) << row.name << ": " << run.errors;
    EXPECT_EQ(ReadBytes(output), row.written) << row.name;
  }
}

TEST(Converter, SuggestsUtf8ForWhatCp932CannotHold) {
  TempDir dir;
  const Outcome run = Convert(dir.Write("in.csv", Utf8(u"name\r\n☃\r\n")),
                          dir.Write("t.html", EncodeText(u"雪: <!-- name -->", TextEncoding::Cp932)), dir / "out.html");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.errors.find("the output holds U+2603, which CP932 cannot express; nothing written "
                            "(a template saved in UTF-8 gives a UTF-8 output)"),
            std::string::npos)
      << run.errors;
  EXPECT_FALSE(std::filesystem::exists(dir / "out.html"));
}

TEST(Converter, AnswersHelpAndVersionAndRefusesWrongUsage) {
  const struct {
    const char* name;
    std::string arguments;
    int status;
    std::string printed;
  } cases[] = {
      {"help", "--help", 0, "--no-cell-limit  read a CSV beyond what the window's sheet can hold"},
      {"help: the output's cap", "--help", 0, "at most 256 Mi characters (268,435,456 UTF-16 units)"},
      {"short help", "-h", 0, "usage: quillary-convert [OPTION]... CSV TEMPLATE OUTPUT"},
      {"version", "--version", 0, std::string("quillary-convert beta ") + QUILLARY_PROJECT_VERSION + "\n"},
      {"unknown option", "--reprot a b c", 2, "quillary-convert: unknown option --reprot\nusage:"},
      {"too few paths", "--report a b", 2, "usage: quillary-convert"},
      {"too many paths", "a b c d", 2, "usage: quillary-convert"},
  };
  for (const auto& c : cases) {
    const Outcome run = RunConverter(c.arguments);
    EXPECT_EQ(run.status, c.status) << c.name;
    EXPECT_NE(run.errors.find(c.printed), std::string::npos) << c.name << ": " << run.errors;
  }
}

TEST(Converter, ReportsAndIsStrictAboutPlaceholdersLeftUnfilledOrMisspelt) {
  TempDir dir;
  const auto csv = dir.Write("-rows.csv", "name,price\r\nA,1\r\nB,2\r\n");
  const std::string paths = " -- " + Quoted(csv) + " ";
  const auto all = dir.Write("all.html", "<!-- BeginRepeat * -->[<!-- name -->]<!-- EndRepeat -->");
  const auto over = dir.Write("over.html", "<!-- name --><!-- name --><!-- name --><!-- nmae -->");
  const auto misspelt = dir.Write("misspelt.html", "<!-- name --><!-- prise --><!-- prise -->");
  const struct {
    const char* name;
    std::string options;
    std::filesystem::path templ;
    int status;
    std::string printed, written;
  } cases[] = {
      {"all filled", "--strict --report", all, 0,
       "quillary-convert: 2 placeholders filled, 0 left unfilled, 0 comments naming no field\n", "[A][B]"},
      {"left unfilled, reported", "--report", over, 0,
       "quillary-convert: 2 placeholders filled, 1 left unfilled, 1 comment naming no field\n"
       "  unfilled <!-- name --> 1\n  no field <!-- nmae --> 1\n",
       "AB<!-- name --><!-- nmae -->"},
      {"left unfilled, strict: written all the same", "--strict", over, 3,
       "quillary-convert: --strict: 1 placeholder left unfilled and 1 comment naming no field\n",
       "AB<!-- name --><!-- nmae -->"},
      {"only a misspelt name, strict", "--strict", misspelt, 3,
       "quillary-convert: --strict: 2 comments naming no field\n", "A<!-- prise --><!-- prise -->"},
      {"repeat comments name no field but are none", "--strict", all, 0, "", "[A][B]"},
      {"no options: as before", "", over, 0, "", "AB<!-- name --><!-- nmae -->"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(dir / "out.html");
    const Outcome run = RunConverter(c.options + paths + Quoted(c.templ) + " " + Quoted(dir / "out.html"));
    EXPECT_EQ(run.status, c.status) << c.name;
    EXPECT_EQ(run.errors, c.printed) << c.name;
    EXPECT_EQ(ReadBytes(dir / "out.html"), c.written) << c.name;
  }
}

TEST(Converter, ReadsASheetPastTheCellLimitWhenAsked) {
  TempDir dir;
  // 20,000 records of 2 fields: 60,003 cells with the names and labels.
  std::string text = "n,v\r\n";
  std::string expected;
  for (int r = 1; r <= 20000; ++r) {
    const std::string record = std::to_string(r), value = std::to_string(r % 7);
    text.append(record).append(",\"x").append(value).append("\"\r\n");
    expected.append("<").append(record).append(":x").append(value).append(">");
  }
  const auto csv = dir.Write("big.csv", text);
  const auto templ = dir.Write("t.html", "<!-- BeginRepeat * all -->&lt;<!-- n -->:<!-- v -->><!-- EndRepeat -->");
  const Outcome limited = Convert(csv, templ, dir / "out.html");
  EXPECT_EQ(limited.status, 1);
  EXPECT_NE(limited.errors.find("big.csv: too large (at most 32768 cells)"), std::string::npos) << limited.errors;
  EXPECT_FALSE(std::filesystem::exists(dir / "out.html"));
  for (const std::string output : {"out.html", "-"}) {
    const Outcome run = RunConverter("--no-cell-limit " + Quoted(csv) + " " + Quoted(templ) + " " +
                            (output == "-" ? output : Quoted(dir / output)));
    const std::string written = output == "-" ? run.errors : ReadBytes(dir / output);
    EXPECT_EQ(run.status, 0) << output;
    EXPECT_EQ(written.size(), expected.size() + 20000 * 3) << output;
  }
}

// Where the made output cannot take the target's place, the target is
// rewritten in place and the output made again, after the sheet was let go
// (read again then). An immutable target refuses both: said, and kept.
TEST(Converter, MakesTheOutputAgainWhereItMustBeWrittenInPlace) {
  TempDir dir;
  const auto csv = dir.Write("s.csv", "a,b\r\n1,2\r\n3,4\r\n");
  const auto templ = dir.Write("t.html", "<!-- BeginRepeat * -->[<!-- a -->]<!-- EndRepeat -->");
  const auto output = dir.Write("out.html", "old");
  if (std::system(("chattr +i " + Quoted(output) + " 2>/dev/null").c_str()) != 0)
    GTEST_SKIP() << "no immutable files here";
  const Outcome run = RunConverter("--no-cell-limit " + Quoted(csv) + " " + Quoted(templ) + " " + Quoted(output));
  std::system(("chattr -i " + Quoted(output)).c_str());
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.errors.find("cannot write"), std::string::npos) << run.errors;
  EXPECT_EQ(ReadBytes(output), "old");
}

}  // namespace
}  // namespace quillary
