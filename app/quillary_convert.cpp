// quillary-convert [OPTION]... CSV TEMPLATE OUTPUT
// quillary-convert [OPTION]... --each PATTERN --output-dir DIR CSV TEMPLATE
// Converts a template with a CSV file as the desktop program's Convert does
// right after opening that file: the sheet is the file, every field counts.
// With --each, one page a record instead, named by PATTERN, into DIR.
// Both inputs may be UTF-8 or CP932; the output takes the template's
// encoding (the CSV's when the template is plain ASCII). An input with bytes
// that do not decode is refused: the page would hold replacement characters.
// OUTPUT may be "-" for standard output, or a device or pipe, which get the
// bytes as they come.

#include <getopt.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

#include "app/ConvertReport.h"
#include "app/MemoryNeed.h"
#include "convert/CharacterReferences.h"
#include "convert/FindRep.h"
#include "convert/RecordPages.h"
#include "convert/TemplateFile.h"
#include "platform/Errors.h"
#include "platform/FileIO.h"
#include "platform/FileSet.h"
#include "platform/Utf8.h"
#include "quillary/Version.h"
#include "sheet/CsvCells.h"

namespace {

using namespace quillary;

constexpr int kFailed = 1, kWrongUsage = 2, kUnfilled = 3, kTooLargeForMemory = 4;

constexpr char kUsage[] =
    "usage: quillary-convert [OPTION]... CSV TEMPLATE OUTPUT   (OUTPUT - is standard output)\n"
    "       quillary-convert [OPTION]... --each PATTERN --output-dir DIR CSV TEMPLATE\n";
constexpr char kHelp[] =
    "Fills TEMPLATE's placeholders \"<!-- name -->\" and repeat blocks with the records of CSV\n"
    "and writes the result to OUTPUT, as the desktop program's Convert does. A template\n"
    "holding <!-- EscapeValues --> writes & < > \" ' in values as character references; an\n"
    "HTML page (.htm/.html, or escaping) in CP932 writes what CP932 lacks as &#x...;.\n"
    "\n"
    "  --each PATTERN   one page for every record instead: TEMPLATE filled with the field\n"
    "                   names and that record alone, named by PATTERN, which holds\n"
    "                   placeholders too (item-<!-- code -->.html); every page is made\n"
    "                   before any is written, and on a failure the folder stays as it was\n"
    "  --output-dir DIR the folder the pages go to (with --each; it must exist)\n"
    "  --report         after converting, tell on standard error how many placeholders were\n"
    "                   filled, which were left unfilled and which comments name no field,\n"
    "                   whether values were escaped and how many characters became\n"
    "                   references (with --each: how many pages, summed over them)\n"
    "  --strict         exit with status 3 when any placeholder is left unfilled or any\n"
    "                   comment \"<!-- name -->\" names no field, a misspelt placeholder most\n"
    "                   often (the output is written all the same)\n"
    "  --no-cell-limit  read a CSV beyond what the window's sheet can hold (1,048,576\n"
    "                   records and 16,384 fields);\n"
    "                   one that may need more memory than the machine has left is refused\n"
    "                   before it is read (status 4)\n"
    "  -h, --help       show this help and exit\n"
    "      --version    show the version and exit\n"
    "  --               end of options\n"
    "\n"
    "Limits: the output holds at most 256 Mi characters (268,435,456 UTF-16 units); a longer\n"
    "one is refused and nothing is written. Without the cell limit the converter takes about\n"
    "2.3 times the CSV file's size in memory for a million records of 8 fields, 7 times for\n"
    "records of short fields, 5 times for records of empty fields, 31 times for a line of a\n"
    "million field names and 28 times for a 100 MB line of commas.\n"
    "\n"
    "Exit status: 0 done; 1 a file could not be read or written, an input does not decode,\n"
    "the output cannot be encoded, page names are empty or shared, or memory ran out\n"
    "(nothing is written then); 2 wrong usage; 3 placeholders left unfilled or comments\n"
    "naming no field under --strict; 4 the CSV may need more memory than is left\n"
    "(--no-cell-limit; nothing is written).\n"
    "\n"
    "Examples (the files of examples/): a list page, then a page for every product:\n"
    "  quillary-convert sample.csv template.html list.html\n"
    "  quillary-convert --report --each 'item-<!-- 商品名 -->.html' --output-dir site sample.csv product.html\n";

struct Options {
  bool report = false, strict = false;
  CellLimit limit = CellLimit::Sheet;
  std::string csv, templ, output;
  // Pages: one a record, named by the pattern, into the folder.
  std::optional<std::u16string> each;
  std::string outputDir;
};

int Fail(const std::string& message) {
  std::fprintf(stderr, "quillary-convert: %s\n", message.c_str());
  return kFailed;
}

int WrongUsage(const std::string& message) {
  if (!message.empty()) std::fprintf(stderr, "quillary-convert: %s\n", message.c_str());
  std::fputs(kUsage, stderr);
  return kWrongUsage;
}

// The options, or the exit status when there is nothing to convert.
std::optional<int> ParseOptions(int argc, char** argv, Options& options) {
  enum { kReport = 256, kStrict, kNoCellLimit, kVersion, kEach, kOutputDir };
  static const option kLong[] = {{"report", no_argument, nullptr, kReport},
                                 {"each", required_argument, nullptr, kEach},
                                 {"output-dir", required_argument, nullptr, kOutputDir},
                                 {"strict", no_argument, nullptr, kStrict},
                                 {"no-cell-limit", no_argument, nullptr, kNoCellLimit},
                                 {"help", no_argument, nullptr, 'h'},
                                 {"version", no_argument, nullptr, kVersion},
                                 {nullptr, 0, nullptr, 0}};
  opterr = 0;
  for (int option; (option = getopt_long(argc, argv, ":h", kLong, nullptr)) != -1;) {
    switch (option) {
      case kReport: options.report = true; break;
      case kStrict: options.strict = true; break;
      case kNoCellLimit: options.limit = CellLimit::None; break;
      case kEach: {
        bool highBytes = false;
        options.each = DecodeWellFormedUtf8(optarg, highBytes);
        if (!options.each) return WrongUsage("the name pattern is not UTF-8");
        break;
      }
      case kOutputDir: options.outputDir = optarg; break;
      case 'h':
        std::fputs(kUsage, stdout);
        std::fputs(kHelp, stdout);
        return 0;
      case kVersion: std::printf("quillary-convert %s\n", kVersionText); return 0;
      case ':': return WrongUsage(std::string(argv[optind - 1]) + " needs a value");
      default: return WrongUsage(std::string("unknown option ") + argv[optind - 1]);
    }
  }
  if (options.each.has_value() != !options.outputDir.empty())
    return WrongUsage(options.each ? "--each needs --output-dir" : "--output-dir goes with --each");
  if (argc - optind != (options.each ? 2 : 3)) return WrongUsage("");
  options.csv = argv[optind];
  options.templ = argv[optind + 1];
  if (!options.each) options.output = argv[optind + 2];
  return std::nullopt;
}

std::string Hex(char32_t c) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(c));
  return buffer;
}

// Why a file failed, with the size of one too large to read.
std::string Reason(const FileError& error) {
  std::string reason = ProblemText(error.problem(), error.errorNumber());
  if (error.problem() == FileProblem::TooLarge && error.size() > 0)
    reason += " (" + std::to_string(error.size()) + " bytes; at most " + std::to_string(kMaxReadBytes) + ")";
  return reason;
}

// Where each file that could not be put back keeps its old contents.
std::string KeptList(const std::vector<KeptFile>& kept) {
  std::string list;
  for (const KeptFile& file : kept)
    list += "; " + file.target.string() +
            (file.kept.empty() ? " could not be removed"
                               : " holds the new page, its old contents are in " + file.kept.string());
  return list;
}

// The message for a failure of the conversion.
std::string FailureMessage(const Options& options, const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const PageError& error) {
    return "record " + std::to_string(error.record()) + " (" + error.file().string() +
           "): " + FailureMessage(options, error.cause());
  } catch (const PageNameError& error) {
    return std::string(error.what()) + "; nothing written";
  } catch (const FileReadError& error) {
    return "cannot read the template " + options.templ + ": " + Reason(error);
  } catch (const UndecodableTextError& error) {
    // The file and where its first undecodable byte is.
    return std::string(error.what()) + "; nothing written";
  } catch (const OutputTooLargeError& error) {
    return "the output would exceed " + std::to_string(error.limit() >> 20) + " Mi characters; nothing written";
  } catch (const UnencodableCharError& error) {
    std::string message = "the output holds " + Hex(error.character()) + ", which " + EncodingName(error.encoding()) +
                          " cannot express; nothing written";
    if (error.encoding() == TextEncoding::Cp932) message += " (a template saved in UTF-8 gives a UTF-8 output)";
    return message;
  } catch (const FilesNotPutBackError& error) {
    return "cannot write " + error.path().string() + ": " + Reason(error) + "; not every page could be put back" +
           KeptList(error.kept());
  } catch (const FileWriteError& error) {
    if (!options.each) return "cannot write " + options.output + ": " + Reason(error);
    return "cannot write " + error.path().string() + ": " + Reason(error) + "; no page written";
  } catch (const std::exception& error) {
    return error.what();
  }
}

// The sheet once more, for an output that must be made again.
std::unique_ptr<CsvCells> ReadSheetAgain(const Options& options) {
  try {
    auto sheet = std::make_unique<CsvCells>(LoadCsvCellsFile(options.csv, options.limit));
    if (sheet->undecodable.count == 0) return sheet;
  } catch (const std::exception&) {
  }
  throw std::runtime_error(options.csv + " could not be read again to write the output in place; nothing written");
}

// Expands into the output. A file gets the bytes as they are made, through
// a temporary file that takes its place when all are there, and the sheet
// is let go as soon as they are made, while they reach the disk: for
// millions of cells both take as long. Should they have to be made again
// (where the temporary file cannot take the target's place, the file is
// rewritten in place), the CSV file is read again. Standard output gets
// the whole output once it is made.
void Write(const Options& options, std::unique_ptr<CsvCells> sheet, ConversionSummary& summary) {
  const DecodedText templateFile = ReadTemplateFile(options.templ);
  const TextEncoding encoding = OutputEncoding(templateFile, sheet->encoding);
  const auto convert = [&](const std::function<void(std::string_view)>& write) {
    if (!sheet) sheet = ReadSheetAgain(options);
    ExpandToBytes(templateFile.text, *sheet, sheet->Fields(), encoding, write, kMaxOutputUnits,
                  options.report || options.strict ? &summary : nullptr, IsHtmlTemplateName(options.templ));
  };
  if (options.output != "-") {
    std::jthread lettingGo;
    ReplaceFileContents(
        options.output,
        [&](const std::function<void(std::string_view)>& write) {
          convert(write);
          lettingGo = std::jthread([done = std::move(sheet)] {});
        },
        OtherTargets::WriteInto);
    return;
  }
  std::string bytes;
  convert([&](std::string_view piece) { bytes.append(piece); });
  WriteToDescriptor(STDOUT_FILENO, bytes, "standard output");
}

// One page a record into the output folder, all or none.
void WritePagesOf(const Options& options, const CsvCells& sheet, ConversionSummary& summary, std::string& report) {
  const PageTemplate pageTemplate = ReadPageTemplate(options.templ, sheet.encoding);
  const PagesPlan plan =
      PlanPages(*options.each, sheet, sheet.Fields(), options.outputDir, {options.csv, options.templ});
  PagesResult result = WritePages(plan, pageTemplate, sheet, sheet.Fields());
  summary = std::move(result.summary);
  report = PagesReportText(result.written, result.replaced, plan.blankRecords, options.outputDir);
}

std::string Mebibytes(std::uint64_t bytes) { return std::to_string((bytes + (1 << 20) - 1) >> 20) + " MiB"; }

int Convert(const Options& options) {
  auto sheet = std::make_unique<CsvCells>();
  try {
    // Without the cell limit, a CSV file that would not fit is refused
    // before it is read whole, rather than the machine running out.
    if (options.limit == CellLimit::None) {
      if (const std::optional<MemoryShortfall> shortfall = CheckMemoryFor(options.csv, options.templ)) {
        std::fprintf(
            stderr,
            "quillary-convert: %s: converting it may take up to %s of memory, and %s %s left; nothing written\n",
            options.csv.c_str(), Mebibytes(shortfall->needed).c_str(), Mebibytes(shortfall->available).c_str(),
            shortfall->available < (std::uint64_t{2} << 20) ? "is" : "are");
        return kTooLargeForMemory;
      }
    }
    *sheet = LoadCsvCellsFile(options.csv, options.limit);
  } catch (const FileReadError& error) {
    return Fail("cannot read the CSV file " + options.csv + ": " + Reason(error));
  } catch (const SheetTooSmallError&) {
    return Fail(options.csv + ": needs field names on line 1 and at least one record");
  } catch (const SheetTooLargeError& error) {
    if (options.limit == CellLimit::None) return Fail(options.csv + ": too large");
    return Fail(options.csv + ": too large (" + std::to_string(error.rows() - 1) + " records and " +
                std::to_string(error.cols() - 1) + " fields; at most " + std::to_string(kMaxRecords) + " records and " +
                std::to_string(kMaxFields) + " fields)");
  }
  if (sheet->undecodable.count > 0)
    return Fail(FailureMessage(
        options, std::make_exception_ptr(UndecodableTextError(options.csv, sheet->encoding, sheet->undecodable))));
  ConversionSummary summary;
  std::string report;
  try {
    if (options.each)
      WritePagesOf(options, *sheet, summary, report);
    else
      Write(options, std::move(sheet), summary);
  } catch (const Error&) {
    return Fail(FailureMessage(options, std::current_exception()));
  }
  if (options.report) std::fputs((report + ReportText(summary)).c_str(), stderr);
  if (!options.strict || !HasLeftOvers(summary)) return 0;
  std::fputs(StrictFailureText(summary).c_str(), stderr);
  return kUnfilled;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (const std::optional<int> done = ParseOptions(argc, argv, options)) return *done;
  // A file size limit is reported as a failed write, not a killed process;
  // an interrupted write leaves no temporary file.
  std::signal(SIGXFSZ, SIG_IGN);
  RemoveTemporaryFilesOnSignals();
  try {
    return Convert(options);
  } catch (const std::bad_alloc&) {
    return Fail("not enough memory; nothing written");
  } catch (const std::exception& error) {
    return Fail(error.what());
  }
}
