// quillary-convert CSV TEMPLATE OUTPUT
// Converts a template with a CSV file as the desktop program's Convert does
// right after opening that file: the sheet is the file, every field counts.
// Both inputs may be UTF-8 or CP932; the output takes the template's
// encoding (the CSV's when the template is plain ASCII). An input with bytes
// that do not decode is refused: the page would hold replacement characters.
// OUTPUT may be "-" for standard output, or a device or pipe, which get the
// bytes as they come.

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <exception>
#include <new>
#include <string>

#include "convert/FindRep.h"
#include "platform/Errors.h"
#include "platform/FileIO.h"
#include "sheet/CsvDocument.h"

namespace {

using namespace quillary;

int Fail(const std::string& message) {
  std::fprintf(stderr, "quillary-convert: %s\n", message.c_str());
  return 1;
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

// The file and where its first undecodable byte is.
int FailUndecodable(const UndecodableTextError& error) { return Fail(std::string(error.what()) + "; nothing written"); }

int Convert(const std::string& csv, const std::string& templ, const std::string& output) {
  LoadedCsv sheet;
  try {
    sheet = LoadCsvFile(csv);
  } catch (const FileReadError& error) {
    return Fail("cannot read the CSV file " + csv + ": " + Reason(error));
  } catch (const SheetTooSmallError&) {
    return Fail(csv + ": needs field names on line 1 and at least one record");
  } catch (const SheetTooLargeError&) {
    return Fail(csv + ": too large (at most 32768 cells)");
  }
  if (sheet.undecodable.count > 0)
    return FailUndecodable(UndecodableTextError(csv, sheet.encoding, sheet.undecodable));
  EncodedOutput converted;
  try {
    converted = ConvertTemplateToBytes(templ, sheet.array, sheet.array.Fields(), sheet.encoding);
  } catch (const FileReadError& error) {
    return Fail("cannot read the template " + templ + ": " + Reason(error));
  } catch (const UndecodableTextError& error) {
    return FailUndecodable(error);
  } catch (const OutputTooLargeError& error) {
    return Fail("the output would exceed " + std::to_string(error.limit() >> 20) + " Mi characters; nothing written");
  } catch (const UnencodableCharError& error) {
    std::string message = "the output holds " + Hex(error.character()) + ", which " +
                          EncodingName(error.encoding()) + " cannot express; nothing written";
    if (error.encoding() == TextEncoding::Cp932) message += " (a template saved in UTF-8 gives a UTF-8 output)";
    return Fail(message);
  }
  try {
    if (output == "-")
      WriteToDescriptor(STDOUT_FILENO, converted.bytes, "standard output");
    else
      ReplaceFileContents(output, converted.bytes, OtherTargets::WriteInto);
  } catch (const FileWriteError& error) {
    return Fail("cannot write " + output + ": " + Reason(error));
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: quillary-convert CSV TEMPLATE OUTPUT   (OUTPUT - is standard output)\n");
    return 2;
  }
  // A file size limit is reported as a failed write, not a killed process;
  // an interrupted write leaves no temporary file.
  std::signal(SIGXFSZ, SIG_IGN);
  RemoveTemporaryFilesOnSignals();
  try {
    return Convert(argv[1], argv[2], argv[3]);
  } catch (const std::bad_alloc&) {
    return Fail("not enough memory; nothing written");
  } catch (const std::exception& error) {
    return Fail(error.what());
  }
}
