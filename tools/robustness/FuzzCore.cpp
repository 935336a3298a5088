// quillary-fuzz-core [ITERATIONS [SEED]]
// Feeds seeded random CSV texts, file bytes, templates and UTF-16 texts to
// the core and checks what must always hold. Case i runs on seed SEED + i,
// so "quillary-fuzz-core 1 S" repeats the case that a finding names.

#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

#include "RandomInputs.h"
#include "convert/FindRep.h"
#include "convert/LiteralEngine.h"
#include "convert/Module1.h"
#include "platform/CodePage.h"
#include "platform/TextEncoding.h"
#include "platform/Utf8.h"
#include "sheet/CSVRead.h"
#include "sheet/CsvDocument.h"
#include "sheet/Parts.h"

namespace quillary::robustness {
namespace {

// Named when the driver dies: the case and where it was.
volatile std::uint64_t g_caseSeed = 0;
const char* volatile g_stage = "start";

void ReportCrash() {
  char line[128];
  const int n = std::snprintf(line, sizeof line, "\nCRASH in case seed %llu at %s\n",
                              static_cast<unsigned long long>(g_caseSeed), g_stage);
  if (n > 0) (void)!write(STDERR_FILENO, line, static_cast<std::size_t>(n));
}

// The records of a text without quotes: lines at the separator (a final
// separator adds no line), fields at commas.
std::vector<std::vector<std::u16string>> PlainRecords(std::u16string_view text, std::u16string_view separator) {
  std::vector<std::vector<std::u16string>> records;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find(separator, start);
    if (end == std::u16string_view::npos) end = text.size();
    // Searched within its line: a sheet of a million records of one field
    // holds no comma to stop a search of the whole text.
    const std::u16string_view line = text.substr(start, end - start);
    records.emplace_back();
    for (std::size_t field = 0;; ++field) {
      const std::size_t comma = std::min(line.find(u',', field), line.size());
      records.back().emplace_back(line.substr(field, comma - field));
      if (comma == line.size()) break;
      field = comma;
    }
    start = end + separator.size();
  }
  return records;
}

bool SameTexts(const SheetArray& a, const SheetArray& b, int fields) {
  if (a.Rows() != b.Rows()) return false;
  for (int f = 0; f < fields; ++f)
    for (int r = 0; r < a.Rows(); ++r)
      if (a.Text(f, r) != b.Text(f, r)) return false;
  return true;
}

// A load as Open does it: the sheet, or the name of the refusal.
struct LoadOutcome {
  std::optional<LoadedCsv> sheet;
  std::string refusal;
};

template <typename Load>
LoadOutcome TryLoad(Load load) {
  try {
    return {load(), ""};
  } catch (const SheetTooSmallError&) {
    return {std::nullopt, "too small"};
  } catch (const SheetTooLargeError& error) {
    if (FitsSheetLimits(error.rows(), error.cols())) return {std::nullopt, "too large, yet fits"};
    return {std::nullopt, "too large"};
  }
}

bool SameLoad(const LoadOutcome& a, const LoadOutcome& b) {
  if (!a.sheet || !b.sheet) return a.refusal == b.refusal && !a.sheet && !b.sheet;
  return a.sheet->array == b.sheet->array && a.sheet->rows == b.sheet->rows && a.sheet->cols == b.sheet->cols;
}

// Outputs past this are refused as over the cap.
constexpr std::size_t kEngineCap = std::size_t{8} << 20;

class Fuzzer {
 public:
  void Case(std::uint64_t seed) {
    RandomInputs in(seed);
    in_ = &in;
    seed_ = seed;
    std::string bytes;
    std::u16string text;
    if (const int kind = in.Below(1000); kind == 0) {
      text = in.SheetAtLimit();
    } else if (kind < 500) {
      bytes = in.CsvBytes();
      Stage("DecodeText");
      text = DecodeText(bytes).text;
      Expect(text.size() <= bytes.size(), "more characters than bytes");
    } else {
      text = in.CsvText();
    }
    CheckParse(text);
    Stage("LoadCsvText");
    const LoadOutcome loaded = TryLoad([&] { return LoadCsvText(text); });
    Count("load: " + (loaded.sheet ? std::string("opened") : loaded.refusal));
    Expect(loaded.refusal.find(',') == std::string::npos, "refused as " + loaded.refusal);
    if (loaded.sheet)
      Expect(loaded.sheet->rows >= 2 && FitsSheetLimits(loaded.sheet->rows, loaded.sheet->cols) &&
                 loaded.sheet->array.Fields() == loaded.sheet->cols - 1 &&
                 loaded.sheet->array.Rows() == loaded.sheet->rows,
             "loaded sheet size");
    if (!bytes.empty() && in.OneIn(100)) CheckFiles(bytes, loaded);
    const SheetArray array = loaded.sheet ? loaded.sheet->array : in.Array();
    CheckRoundTrip(array);
    CheckSavedReadsBack(array);
    CheckRaggedFiles();
    CheckEngine(array);
    CheckCodePage();
    CheckRepeatCount(in.CountText());
  }

  void Stage(const char* stage) { g_stage = stage_ = stage; }

  // For a fixed text, which a check of every cell of a million records
  // should not make a string of each time.
  void Expect(bool holds, const char* what) {
    if (!holds) Expect(false, std::string(what));
  }
  void Expect(bool holds, const std::string& what) {
    if (holds) return;
    ++findings_;
    std::printf("FINDING case seed %llu (quillary-fuzz-core 1 %llu), %s: %s\n", static_cast<unsigned long long>(seed_),
                static_cast<unsigned long long>(seed_), stage_, what.c_str());
  }

  void Count(const std::string& path) { ++counts_[path]; }
  int findings() const { return findings_; }
  const std::map<std::string, long>& counts() const { return counts_; }

 private:
  void CheckParse(std::u16string_view text) {
    Stage("ParseCsv");
    static const std::vector<std::u16string> separators = {u"\r\n", u"\r\n", u"\r", u"\n"};
    const std::u16string& separator = in_->Pick(separators);
    SheetArray array(in_->Below(6), in_->Below(3));
    const int fields = array.Fields(), rows = array.Rows();
    const int last = ParseCsv(text, array, u',', separator, u'"');
    Expect(array.Fields() == fields && last == array.Rows() - 1, "array bounds or result");
    Count("ParseCsv");
    if (text.find(u'"') != std::u16string_view::npos) return;
    const auto records = PlainRecords(text, separator);
    Expect(array.Rows() == (records.empty() ? rows : static_cast<int>(records.size())), "record count");
    for (int r = 0; r < static_cast<int>(records.size()) && r < array.Rows(); ++r)
      for (int f = 0; f < fields; ++f)
        Expect(array.Text(f, r) == (f < static_cast<int>(records[r].size()) ? records[r][f] : u""),
               "a plain field differs from the split text");
    Count("ParseCsv: plain oracle");
  }

  void CheckFiles(const std::string& bytes, const LoadOutcome& fromText) {
    Stage("LoadCsvFile and ReadWholeFile");
    const auto file = std::filesystem::temp_directory_path() / ("quillary-fuzz-" + std::to_string(getpid()) + ".csv");
    std::ofstream(file, std::ios::binary) << bytes;
    Expect(SameLoad(TryLoad([&] { return LoadCsvFile(file); }), fromText), "file and text load differ");
    const std::u16string whole = ReadWholeFile(file);
    Expect(whole.size() == bytes.size() && whole.starts_with(DecodeText(bytes).text), "ReadWholeFile");
    std::filesystem::remove(file);
    Count("LoadCsvFile");
  }

  void CheckRoundTrip(const SheetArray& array) {
    Stage("BuildCsv round trip");
    SheetArray back(array.Fields(), 0);
    ParseCsv(BuildCsv(array, u',', u"\r\n", u'"'), back, u',', u"\r\n", u'"');
    Expect(SameTexts(array, back, array.Fields()), "cells changed");
    Count("BuildCsv round trip");
  }

  // Open after Save gives the same sheet, in whichever encoding it was saved.
  void CheckSavedReadsBack(const SheetArray& array) {
    Stage("save and reopen");
    if (array.Rows() < 2 || array.Fields() < 1) return;
    const TextEncoding encoding = in_->Encoding();
    std::string bytes;
    try {
      bytes = EncodeCsv(array, encoding);
    } catch (const UnencodableCellError&) {
      Count("save: unencodable cell");
      return;
    } catch (const ReadsBackDifferentlyError&) {
      Count("save: would read back in another encoding");
      return;
    }
    const DecodedText decoded = DecodeText(bytes);
    const LoadOutcome back = TryLoad([&] { return LoadCsvText(decoded.text); });
    Expect(back.sheet && back.sheet->array.Fields() == array.Fields() &&
               SameTexts(array, back.sheet->array, array.Fields()),
           "the saved sheet reads back different");
    Count("save and reopen");
  }

  // Files as other programs write them: ragged records, any of the three
  // encodings and line ends, quoted where needed or at random, empty lines
  // at the end. Open gives every field of every record; Save and Open again
  // give the same sheet, and Save then writes the same bytes.
  void CheckRaggedFiles() {
    Stage("ragged files");
    const TextEncoding encoding = in_->Encoding();
    const std::u16string lineEnd = in_->LineEnd();
    const auto records = in_->RaggedRecords(encoding, lineEnd);
    const std::string bytes = EncodeText(in_->CsvOf(records, lineEnd), encoding);
    // Bytes the rule reads otherwise, by its design: CP932 that is also
    // well-formed UTF-8 (half-width katakana pairs such as ﾃｽ) or holds
    // twice as many UTF-8 sequences as stray bytes (read as damaged UTF-8),
    // and UTF-8 whose first character is U+FEFF, which reads as the mark.
    bool high = false;
    const bool wellFormed = DecodeWellFormedUtf8(bytes, high).has_value();
    const Utf8Damage damage = wellFormed ? Utf8Damage{} : FindUtf8Damage(bytes);
    const bool readsAsUtf8 = wellFormed ? high : damage.wellFormed >= 2 * damage.malformed.count;
    const bool alsoUtf8 = encoding == TextEncoding::Cp932 && readsAsUtf8;
    if (alsoUtf8 || (encoding == TextEncoding::Utf8 && bytes.starts_with("\xEF\xBB\xBF"))) {
      Count("ragged files: bytes that read as another encoding");
      return;
    }
    const auto file = TemporaryFile("ragged.csv");
    const auto saved = TemporaryFile("saved.csv");
    std::ofstream(file, std::ios::binary) << bytes;
    const LoadOutcome opened = TryLoad([&] { return LoadCsvFile(file); });
    std::size_t fields = 0;
    for (const auto& record : records) fields = std::max(fields, record.size());
    if (records.size() < 2) {
      Expect(opened.refusal == "too small", "a file of one record opened");
      return;
    }
    if (!opened.sheet) {
      Expect(!FitsSheetLimits(static_cast<long long>(records.size()), static_cast<long long>(fields) + 1),
             "a ragged file was refused as " + opened.refusal);
      return;
    }
    const LoadedCsv& sheet = *opened.sheet;
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char b) { return (b & 0x80) == 0; });
    const bool sameEncoding = sheet.encoding == encoding || (ascii && sheet.encoding == TextEncoding::Cp932);
    Expect(sameEncoding && sheet.undecodable.count == 0,
           std::string("the encoding was not recognised: written in ") + EncodingName(encoding) + ", read as " +
               EncodingName(sheet.encoding) + " with " + std::to_string(sheet.undecodable.count) +
               " undecodable bytes");
    bool same = sheet.rows == static_cast<int>(records.size()) && sheet.array.Fields() == static_cast<int>(fields);
    for (int r = 0; same && r < sheet.rows; ++r)
      for (std::size_t f = 0; same && f < fields; ++f) {
        const auto& record = records[static_cast<std::size_t>(r)];
        same = sheet.array.Text(static_cast<int>(f), r) == (f < record.size() ? record[f] : u"");
      }
    Expect(same, "a field of a record was lost or changed");
    Count("ragged files: opened");
    try {
      SaveCsvFile(saved, sheet.array, sheet.encoding);
      const LoadedCsv again = LoadCsvFile(saved);
      Expect(again.array.Fields() == sheet.array.Fields() &&
                 SameTexts(again.array, sheet.array, sheet.array.Fields()) && again.encoding == sheet.encoding,
             "Save then Open changed the sheet");
      const std::string first = ReadBytes(saved);
      SaveCsvFile(saved, again.array, again.encoding);
      Expect(ReadBytes(saved) == first, "a second Save wrote other bytes");
      Count("ragged files: saved and opened again");
    } catch (const SheetTooSmallError&) {
      Expect(false, "the saved file is too small");
    }
    std::filesystem::remove(file);
    std::filesystem::remove(saved);
  }

  static std::filesystem::path TemporaryFile(const std::string& name) {
    return std::filesystem::temp_directory_path() / ("quillary-fuzz-" + std::to_string(getpid()) + "-" + name);
  }

  static std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  void CheckEngine(const SheetArray& array) {
    Stage("template engine");
    bool big = false;
    const std::u16string text = in_->Template(array, big);
    const int k = in_->OneIn(4) ? in_->Below(array.Fields() + 3) - 1 : array.Fields();
    std::u16string full;
    try {
      // The cap is the same code at any size; the program's own would have
      // a runaway template write half a gigabyte first.
      full = ExpandTemplate(text, array, k, kEngineCap);
    } catch (const OutputTooLargeError&) {
      Count("engine: over the output cap");
      return;
    }
    Count(big ? "engine: thousands of repetitions" : "engine");
    if (!big && full.size() <= 2000 && array.Rows() * array.Fields() <= 400) {
      Expect(full == literal::ExpandTemplate(text, array, k), "differs from the literal algorithm");
      Count("engine: literal oracle");
    }
    if (full.size() > 100000) return;
    // Anywhere below the size, or right at its edge.
    const std::size_t cap = in_->OneIn(2) ? full.size() + 1 - in_->Below(full.empty() ? 2 : 3)
                                          : static_cast<std::size_t>(in_->Below(static_cast<int>(full.size()) + 2));
    try {
      const bool same = ExpandTemplate(text, array, k, cap) == full;
      Expect(cap >= full.size() && same, "output within its cap");
      Count("engine: within a cap");
    } catch (const OutputTooLargeError&) {
      Expect(cap < full.size(), "refused an output within its cap");
      Count("engine: over a cap");
    }
  }

  void CheckCodePage() {
    Stage("code page");
    const std::u16string text = in_->AnyText();
    try {
      const std::string bytes = EncodeCodePage(text);
      const std::u16string back = DecodeCodePage(bytes);
      Expect(back.size() == text.size() && EncodeCodePage(back) == bytes, "encode/decode not stable");
      Count("code page: encoded");
    } catch (const UnencodableCharError& error) {
      const std::size_t at = error.position();
      Expect(at < text.size() && error.character() == CodePointAt(text, at), "refused character");
      try {
        EncodeCodePage(text.substr(0, at));
      } catch (const UnencodableCharError&) {
        Expect(false, "the refused character is not the first one the code page lacks");
      }
      Count("code page: refused");
    }
  }

  // At most eight characters: the C library's reading is exact there, and
  // rounds half to even in the default rounding mode.
  void CheckRepeatCount(const std::u16string& text) {
    Stage("repeat count");
    const std::string narrow(text.begin(), text.end());
    const double value = std::nearbyint(std::strtod(narrow.c_str(), nullptr));
    const int expected =
        static_cast<int>(std::clamp(value, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
    Expect(ReadRepeatCount(text) == expected, "\"" + narrow + "\" reads as " + std::to_string(ReadRepeatCount(text)));
    Count("repeat count");
  }

  RandomInputs* in_ = nullptr;
  std::uint64_t seed_ = 0;
  const char* stage_ = "start";
  int findings_ = 0;
  std::map<std::string, long> counts_;
};

}  // namespace
}  // namespace quillary::robustness

int main(int argc, char** argv) {
  using namespace quillary::robustness;
  if (argc > 3) {
    std::fprintf(stderr, "usage: quillary-fuzz-core [ITERATIONS [SEED]]\n");
    return 2;
  }
  const long iterations = argc > 1 ? std::atol(argv[1]) : 1000;
  const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
  for (int signal : {SIGSEGV, SIGABRT, SIGFPE, SIGBUS})
    std::signal(signal, [](int caught) {
      ReportCrash();
      std::signal(caught, SIG_DFL);
      std::raise(caught);
    });
#if defined(__SANITIZE_ADDRESS__)
  __sanitizer_set_death_callback(ReportCrash);
#endif
  // A long run is watched from its log: each finding shows when it is found,
  // and a line every so many cases says how far the run has come.
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  const auto start = std::chrono::steady_clock::now();
  Fuzzer fuzzer;
  long i = 0;
  for (; i < iterations && fuzzer.findings() < 20; ++i) {
    if (i > 0 && i % 10000 == 0)
      std::printf(
          "%ld cases, %d findings, %lld s\n", i, fuzzer.findings(),
          static_cast<long long>(
              std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count()));
    g_caseSeed = seed + static_cast<std::uint64_t>(i);
    try {
      fuzzer.Case(g_caseSeed);
    } catch (const std::exception& error) {
      fuzzer.Expect(false, std::string("unexpected exception: ") + error.what());
    }
  }
  for (const auto& [path, count] : fuzzer.counts()) std::printf("%10ld  %s\n", count, path.c_str());
  std::printf("%ld cases from seed %llu, %d findings\n", i, static_cast<unsigned long long>(seed), fuzzer.findings());
  return fuzzer.findings() == 0 ? 0 : 1;
}
