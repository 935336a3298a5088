#pragma once
// The template engine: placeholders "<!-- name -->" filled from the sheet
// array through one row cursor per field, and repeat blocks
// "<!-- BeginRepeat n ...-->body<!-- EndRepeat -->" written n times.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/ConversionSummary.h"
#include "convert/Filler.h"
#include "convert/OutputSink.h"
#include "platform/Errors.h"
#include "platform/TextEncoding.h"
#include "sheet/CellSource.h"

namespace quillary {

class SheetArray;

inline constexpr std::u16string_view kBeginRepeat = u"<!-- BeginRepeat ";
inline constexpr std::u16string_view kEndRepeat = u"<!-- EndRepeat -->";

// The expansion stops before its output passes this many UTF-16 units
// (512 MiB): a big body repeated 32,767 times would otherwise ask for many
// gigabytes.
inline constexpr std::size_t kMaxOutputUnits = std::size_t{256} << 20;

// The output would pass its cap; nothing has been written.
class OutputTooLargeError : public Error {
 public:
  explicit OutputTooLargeError(std::size_t limit)
      : Error("the output would exceed " + std::to_string(limit) + " characters"), limit_(limit) {}
  std::size_t limit() const { return limit_; }

 private:
  std::size_t limit_;
};

struct RepeatSplit {
  bool found = false;    // a well-formed block was found
  int count = 0;         // repetitions asked for, clamped to an int's range
  bool allRows = false;  // the count is "*": as many as the body's fields have rows left (count 0)
  std::u16string before; // text ahead of the block (the whole text if none)
  std::u16string body;
  std::u16string after;
};

// Finds the first repeat block. A start comment without a space after its
// count, without "-->" or without an end comment is not a block: found is
// false and before holds the whole text.
RepeatSplit SplitAtRepeatBlock(std::u16string_view text);

// The count text read as a decimal number from its start (blanks, sign,
// digits, fraction, exponent), rounded half to even, clamped to an int's
// range.
int ReadRepeatCount(std::u16string_view countText);

// A count of "*" asks for as many repetitions as the body's fields have
// rows left: the most, over the fields whose placeholder the body holds, of
// their last row - cursor + 1 (0 when no field's is there). It is not
// clamped; the output's cap holds it.
bool IsAllRowsCount(std::u16string_view countText);

// Fields processed for a grid with k data columns: never more than the
// array has.
int ProcessedFields(const SheetArray& array, int k);

// Fills the placeholders of a stretch outside blocks: for each field in
// order, its successive placeholders take its successive rows.
void FillPlaceholders(std::u16string& text, RowCursors& rowCursor, const SheetArray& array);

// Replaces body by count repetitions, each filling at most the first
// placeholder of every field that still has rows. Throws
// OutputTooLargeError when the repetitions would pass maxOutput.
void ExpandRepeatBlock(std::u16string& body, RowCursors& rowCursor, const SheetArray& array,
                       int count, std::size_t maxOutput = kMaxOutputUnits);

// Replaces the first occurrence of find; 1 if replaced, 0 if not found.
int ReplaceFirst(std::u16string& text, std::u16string_view find, std::u16string_view replacement);

// The whole expansion in memory (before the NUL cut). Throws
// OutputTooLargeError as soon as it would pass maxOutput units. A summary,
// if asked for, counts the output before the NUL cut.
std::u16string ExpandTemplate(std::u16string_view templateText, const SheetArray& array, int k,
                              std::size_t maxOutput = kMaxOutputUnits, ConversionSummary* summary = nullptr);
// The same from any cells, piece by piece into sink (then its Finish). A
// template that opts in to escaping ("<!-- EscapeValues -->") has its
// values escaped and the comment left out (convert/ValueEscaping.h).
void ExpandTemplate(std::u16string_view templateText, const CellSource& cells, int k, OutputSink& sink,
                    std::size_t maxOutput = kMaxOutputUnits, ConversionSummary* summary = nullptr);
// The same for a text taken as it stands, without the opt-in: a file name
// pattern.
void ExpandText(std::u16string_view templateText, const CellSource& cells, int k, OutputSink& sink,
                std::size_t maxOutput = kMaxOutputUnits, ConversionSummary* summary = nullptr);

// Whether a CP932 output of this template writes the characters the code
// page lacks as character references rather than refusing them: an HTML
// page (a template named .htm or .html, or one that escapes its values).
bool WritesReferences(std::u16string_view templateText, const CellSource& cells, int k, bool htmlTemplate);

// An output is written in its template's encoding; a template of plain
// ASCII has none of its own, and the output takes the sheet's (the
// encoding of the CSV file the sheet was last opened from or saved to).
TextEncoding OutputEncoding(const DecodedText& templateFile, TextEncoding sheetEncoding);

// The output file's bytes and the encoding they are in.
struct EncodedOutput {
  std::string bytes;
  TextEncoding encoding;
};

// Reads the template, expands it with k fields, cuts at the first NUL and
// encodes the result as OutputEncoding says (an HTML page in CP932 writes
// what the code page lacks as references). Throws FileReadError and
// UndecodableTextError (template), OutputTooLargeError and
// UnencodableCharError (position in the output text).
EncodedOutput ConvertTemplateToBytes(const std::filesystem::path& templatePath, const SheetArray& array, int k,
                                     TextEncoding sheetEncoding = TextEncoding::Cp932,
                                     std::size_t maxOutput = kMaxOutputUnits, ConversionSummary* summary = nullptr);

// The template file decoded, refused when any of its bytes does not
// decode. Throws FileReadError and UndecodableTextError.
DecodedText ReadTemplateFile(const std::filesystem::path& templatePath);

// Expands the template with any cells and hands the output's bytes, cut at
// the first NUL and encoded, to write in blocks as they are made. Throws
// OutputTooLargeError and UnencodableCharError. htmlTemplate: the template
// is named .htm or .html (see WritesReferences).
void ExpandToBytes(std::u16string_view templateText, const CellSource& cells, int k, TextEncoding encoding,
                   const std::function<void(std::string_view)>& write, std::size_t maxOutput = kMaxOutputUnits,
                   ConversionSummary* summary = nullptr, bool htmlTemplate = false);

// ConvertTemplateToBytes, then replaces the output file in one piece;
// returns the encoding written. Throws what that throws and FileWriteError;
// the output file is untouched on any of them.
TextEncoding ConvertTemplate(const std::filesystem::path& templatePath,
                             const std::filesystem::path& outputPath, const SheetArray& array, int k,
                             TextEncoding sheetEncoding = TextEncoding::Cp932,
                             std::size_t maxOutput = kMaxOutputUnits, ConversionSummary* summary = nullptr);

}  // namespace quillary
