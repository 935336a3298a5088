// quillary-convert CSV TEMPLATE OUTPUT
// Converts a template with a CSV file as the desktop program's Convert does
// right after opening that file: the sheet is the file, every field counts.
// Both inputs may be UTF-8 or CP932; the output takes the template's
// encoding (the CSV's when the template is plain ASCII). An input with bytes
// that do not decode is refused: the page would hold replacement characters.

#include <cstdio>
#include <exception>
#include <string>

#include "convert/FindRep.h"
#include "platform/Errors.h"
#include "sheet/CsvDocument.h"

namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "quillary-convert: %s\n", message.c_str());
  return 1;
}

std::string Hex(char32_t c) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(c));
  return buffer;
}

// The file and where its first undecodable byte is.
int FailUndecodable(const quillary::UndecodableTextError& error) {
  return Fail(std::string(error.what()) + "; nothing written");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: quillary-convert CSV TEMPLATE OUTPUT\n");
    return 2;
  }
  const std::string csv = argv[1], templ = argv[2], output = argv[3];
  quillary::LoadedCsv sheet;
  try {
    sheet = quillary::LoadCsvFile(csv);
  } catch (const quillary::FileReadError&) {
    return Fail("cannot read the CSV file " + csv);
  } catch (const quillary::SheetTooSmallError&) {
    return Fail(csv + ": needs field names on line 1 and at least one record");
  } catch (const quillary::SheetTooLargeError&) {
    return Fail(csv + ": too large (at most 32768 cells)");
  } catch (const std::exception& error) {
    return Fail(csv + ": " + error.what());
  }
  if (sheet.undecodable.count > 0)
    return FailUndecodable(quillary::UndecodableTextError(csv, sheet.encoding, sheet.undecodable));
  try {
    quillary::ConvertTemplate(templ, output, sheet.array, sheet.array.Fields(), sheet.encoding);
  } catch (const quillary::FileReadError&) {
    return Fail("cannot read the template " + templ);
  } catch (const quillary::UndecodableTextError& error) {
    return FailUndecodable(error);
  } catch (const quillary::OutputTooLargeError& error) {
    return Fail("the output would exceed " + std::to_string(error.limit() >> 20) +
                " Mi characters; nothing written");
  } catch (const quillary::UnencodableCharError& error) {
    std::string message = "the output holds " + Hex(error.character()) + ", which " +
                          quillary::EncodingName(error.encoding()) + " cannot express; nothing written";
    if (error.encoding() == quillary::TextEncoding::Cp932)
      message += " (a template saved in UTF-8 gives a UTF-8 output)";
    return Fail(message);
  } catch (const quillary::FileWriteError&) {
    return Fail("cannot write " + output);
  } catch (const std::exception& error) {
    return Fail(error.what());
  }
  return 0;
}
