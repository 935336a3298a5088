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
#include <utility>
#include <vector>

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
  const auto templ =
      dir.Write("t.html", "<meta charset=\"utf-8\"><!-- BeginRepeat 2 -->[<!-- name -->]<!-- EndRepeat -->");
  // "-" is standard output (captured here with standard error).
  const Outcome run = Convert(csv, templ, "-");
  EXPECT_EQ(std::pair(run.status, run.errors), std::pair(0, Utf8(u"<meta charset=\"utf-8\">[😀][☃]")));
}

TEST(Converter, RefusesInputsItCannotReadSayingWhyAndWritesNothing) {
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
      {"template in UTF-8 with two stray bytes", goodCsv,
       dir.Write("stray.html", Utf8(u"<p>価格\n<p>在庫\n") + "<p>\x81\xFF" + Utf8(u"品名</p>")),
       "stray.html: looks like UTF-8 but holds 2 malformed sequences, the first at byte offset 23 (line 3); "
       "nothing written"},
      {"template from a device", goodCsv, "/dev/zero", "cannot read the template /dev/zero: not a regular file"},
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
  const Outcome run = Convert(goodCsv, goodTemplate, locked);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.errors.find("the file is write-protected"), std::string::npos) << run.errors;
  EXPECT_EQ(ReadBytes(locked), "old");
}

TEST(Converter, WritesToDevicesAndPipes) {
  TempDir dir;
  const auto csv = dir.Write("in.csv", "name\r\nx\r\n");
  const auto templ = dir.Write("t.html", "[<!-- name -->]");
  EXPECT_EQ(Convert(csv, templ, "/dev/null").status, 0);
  // A pipe gets the bytes as they come; it stays a pipe.
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  const std::string command = std::string("'") + QUILLARY_CONVERTER + "' '" + csv.string() + "' '" + templ.string() +
                              "' '" + (dir / "pipe").string() + "'";
  FILE* converter = popen(command.c_str(), "r");
  EXPECT_EQ(ReadBytes(dir / "pipe"), "[x]");
  EXPECT_EQ(WEXITSTATUS(pclose(converter)), 0);
  EXPECT_TRUE(std::filesystem::is_fifo(dir / "pipe"));
}

// A CSV file that needs more memory than is left: without the cell limit
// refused before it is read (status 4) by the estimate, against the figure
// given for tests or a real address-space limit; with it, reported when
// reading runs out. The output is kept as it was.
TEST(Converter, RefusesOrReportsACsvThatDoesNotFitInMemory) {
  TempDir dir;
  // 3 MB of one-letter records: about 100 MiB by the estimate.
  std::string records = "name\r\n";
  for (int r = 0; r < 1000000; ++r) records += "x\r\n";
  const auto many = dir.Write("big.csv", records);
  const auto templ = dir.Write("t.html", "<!-- name -->");
  const auto output = dir / "out.html";
  const struct {
    const char* name;
    std::string setup;  // before the converter, in its shell
    std::filesystem::path csv;
    int status;
    std::string printed, written;
  } rows[] = {
    {"less left than the estimate", "QUILLARY_TEST_AVAILABLE_MEMORY=50000000 ", many, 4,
     "big.csv: converting it may take up to ", "old"},
#if !defined(__SANITIZE_ADDRESS__)  // it needs far more address space than the limits leave
    {"an address-space limit", "ulimit -v 81920; ", many, 4, " MiB are left; nothing written\n", "old"},
    // 48 MiB of CSV needs about 300 MiB as text; the converter gets 160 MiB.
    {"running out while reading", "ulimit -v 163840; ",
     dir.Write("wide.csv", "name\r\n\"" + std::string(48 << 20, 'x') + "\"\r\n"), 1, "not enough memory", "old"},
#endif
  };
  for (const auto& row : rows) {
    dir.Write("out.html", "old");
    const std::string limit = row.csv == many ? "--no-cell-limit " : "";
    const Outcome run = RunConverter(limit + Quoted(row.csv) + " " + Quoted(templ) + " " + Quoted(output), row.setup);
    EXPECT_EQ(run.status, row.status) << row.name << ": " << run.errors;
    EXPECT_NE(run.errors.find(row.printed), std::string::npos) << row.name << ": " << run.errors;
    EXPECT_EQ(ReadBytes(output), row.written) << row.name;
  }
}

// What CP932 cannot hold outside HTML is the pages' test.
TEST(Converter, WritesWhatCp932CannotHoldAsAReferenceInHtml) {
  TempDir dir;
  const auto csv = dir.Write("in.csv", Utf8(u"name\r\n☃\r\n"));
  const std::string templ = EncodeText(u"雪: <!-- name -->", TextEncoding::Cp932);
  const Outcome page = RunConverter("--report " + Quoted(csv) + " " + Quoted(dir.Write("t.html", templ)) + " " +
                                    Quoted(dir / "out.html"));
  EXPECT_EQ(page.status, 0) << page.errors;
  EXPECT_EQ(ReadBytes(dir / "out.html"), EncodeText(u"雪: &#x2603;", TextEncoding::Cp932));
  EXPECT_NE(page.errors.find("1 character written as a character reference"), std::string::npos) << page.errors;
}

TEST(Converter, AnswersHelpAndVersionAndRefusesWrongUsage) {
  const struct {
    const char* name;
    std::string arguments;
    int status;
    std::string printed;
  } cases[] = {
      {"help", "--help", 0, "--no-cell-limit  read a CSV beyond what the window's sheet can hold"},
      {"short help", "-h", 0, "usage: quillary-convert [OPTION]... CSV TEMPLATE OUTPUT"},
      {"version", "--version", 0, std::string("quillary-convert beta ") + QUILLARY_PROJECT_VERSION + "\n"},
      {"unknown option", "--reprot a b c", 2, "quillary-convert: unknown option --reprot\nusage:"},
      {"too few paths", "--report a b", 2, "usage: quillary-convert"},
      {"pages: no folder", "--each x.html a b", 2, "quillary-convert: --each needs --output-dir\n"},
      {"pages: no pattern", "--output-dir d a b", 2, "quillary-convert: --output-dir goes with --each\n"},
      {"pages: a pattern not UTF-8", "--each \"$(printf '\\377')\" --output-dir d a b", 2,
       "the name pattern is not UTF-8"},
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
  };
  for (const auto& c : cases) {
    std::filesystem::remove(dir / "out.html");
    const Outcome run = RunConverter(c.options + paths + Quoted(c.templ) + " " + Quoted(dir / "out.html"));
    EXPECT_EQ(run.status, c.status) << c.name;
    EXPECT_EQ(run.errors, c.printed) << c.name;
    EXPECT_EQ(ReadBytes(dir / "out.html"), c.written) << c.name;
  }
}

TEST(Converter, TakesWhatTheWindowTakesAndMoreWhenAsked) {
  TempDir dir;
  // 1,048,576 records of 2 fields, the most the window's sheet holds, then
  // one more.
  std::string atLimit = "n,v\r\n";
  for (int r = 1; r <= 1048576; ++r) atLimit.append(std::to_string(r % 10)).append(",\"x\"\r\n");
  const std::string overLimit = atLimit + "7,\"x\"\r\n";
  const auto templ = dir.Write("t.html", "<!-- BeginRepeat * all --><!-- n --><!-- EndRepeat -->");
  const Outcome taken = Convert(dir.Write("limit.csv", atLimit), templ, dir / "limit.html");
  EXPECT_EQ(taken.status, 0) << taken.errors;
  EXPECT_EQ(ReadBytes(dir / "limit.html").size(), 1048576u);
  const auto csv = dir.Write("big.csv", overLimit);
  const Outcome limited = Convert(csv, templ, dir / "out.html");
  EXPECT_EQ(limited.status, 1);
  EXPECT_NE(limited.errors.find(
                "big.csv: too large (1048577 records and 2 fields; at most 1048576 records and 16384 fields)"),
            std::string::npos)
      << limited.errors;
  EXPECT_FALSE(std::filesystem::exists(dir / "out.html"));
  const Outcome run =
      RunConverter("--no-cell-limit " + Quoted(csv) + " " + Quoted(templ) + " " + Quoted(dir / "out.html"));
  EXPECT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(ReadBytes(dir / "out.html").size(), 1048577u);
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

TEST(Converter, WritesAPageForEveryRecordOrNone) {
  TempDir dir;
  const auto csv = dir.Write("in.csv", Utf8(u"code,name\r\nA1,りんご & <梨>\r\nB/2,😀\r\n,\r\n"));
  const auto templ = dir.Write("item.html", EncodeText(u"<p>品<!-- name --><!-- nmae --></p>", TextEncoding::Cp932));
  const auto escaping =
      dir.Write("escaping.html", EncodeText(u"品<!-- EscapeValues --><!-- name -->", TextEncoding::Cp932));
  const auto plain = dir.Write("item.txt", EncodeText(u"品<!-- name -->", TextEncoding::Cp932));
  const std::filesystem::path out = dir / "out";
  const struct {
    const char* name;
    std::string options;
    std::filesystem::path templ;
    int status;
    std::vector<std::string> printed;
    std::vector<std::pair<std::string, std::u16string>> written;  // CP932 unless ASCII
  } cases[] = {
      {"reported",
       "--report --each 'p-<!-- code -->.html'",
       templ,
       0,
       {"quillary-convert: 2 pages written in ", " (1 blank record without a page)\n",
        "2 placeholders filled, 0 left unfilled, 2 comments naming no field\n", "  no field <!-- nmae --> 2\n",
        "  1 character written as a character reference\n"},
       {{"p-A1.html", u"<p>品りんご & <梨><!-- nmae --></p>"}, {"p-B_2.html", u"<p>品&#x1F600;<!-- nmae --></p>"}}},
      {"escaping reported",
       "--report --each '<!-- code -->'",
       escaping,
       0,
       {"  values escaped (<!-- EscapeValues -->)\n"},
       {{"A1", u"品りんご &amp; &lt;梨&gt;"}, {"B_2", u"品&#x1F600;"}}},
      {"one name for two records",
       "--each 'same.html'",
       templ,
       1,
       {"quillary-convert: the name pattern gives records 1, 2 one file name, same.html; nothing written\n"},
       {}},
      {"not HTML: what CP932 lacks is refused",
       "--each '<!-- code -->'",
       plain,
       1,
       {"record 2 (",
        "B_2): the output holds U+1F600, which CP932 cannot express; nothing written (a template saved in UTF-8 "
        "gives a UTF-8 output)"},
       {}},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all(out);
    std::filesystem::create_directory(out);
    const Outcome run =
        RunConverter(c.options + " --output-dir " + Quoted(out) + " " + Quoted(csv) + " " + Quoted(c.templ));
    EXPECT_EQ(run.status, c.status) << c.name << ": " << run.errors;
    for (const std::string& printed : c.printed)
      EXPECT_NE(run.errors.find(printed), std::string::npos) << c.name << ": " << run.errors;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out), {}),
              static_cast<std::ptrdiff_t>(c.written.size()))
        << c.name;
    for (const auto& [file, text] : c.written)
      EXPECT_EQ(ReadBytes(out / file), EncodeText(text, TextEncoding::Cp932)) << c.name << ": " << file;
  }
}

}  // namespace
}  // namespace quillary
