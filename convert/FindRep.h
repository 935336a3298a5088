#pragma once
// The template engine (module FindRep): placeholders "<!-- name -->" filled
// from the sheet through one row cursor per field, and repeat blocks
// "<!-- BeginRepeat n ...-->body<!-- EndRepeat -->" written n times, all in
// memory. Reading the template and writing the output: TemplateFile.h; the
// procedures one at a time: FindRepSteps.h.

#include <cstddef>
#include <string>
#include <string_view>

#include "convert/ConversionSummary.h"
#include "convert/OutputSink.h"
#include "platform/Errors.h"
#include "sheet/CellSource.h"

namespace quillary {

class SheetArray;
class WorkProgress;

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

// The count text read as a decimal number from its start (blanks, sign,
// digits, fraction, exponent), rounded half to even, clamped to an int's
// range.
int ReadRepeatCount(std::u16string_view countText);

// A count of "*" asks for as many repetitions as the body's fields have
// rows left: the most, over the fields whose placeholder the body holds, of
// their last row - cursor + 1 (0 when no field's is there). It is not
// clamped; the output's cap holds it.
bool IsAllRowsCount(std::u16string_view countText);

// The whole expansion in memory (before the NUL cut). Throws
// OutputTooLargeError as soon as it would pass maxOutput units. A summary,
// if asked for, counts the output before the NUL cut.
std::u16string ExpandTemplate(std::u16string_view templateText, const SheetArray& array, int k,
                              std::size_t maxOutput = kMaxOutputUnits, ConversionSummary* summary = nullptr);
// The same from any cells, piece by piece into sink (then its Finish). A
// template that opts in to escaping ("<!-- EscapeValues -->") has its
// values escaped and the comment left out (convert/ValueEscaping.h).
// Reports how far its repeat blocks have come to `progress`, and throws
// WorkCancelled when asked to stop.
void ExpandTemplate(std::u16string_view templateText, const CellSource& cells, int k, OutputSink& sink,
                    std::size_t maxOutput = kMaxOutputUnits, ConversionSummary* summary = nullptr,
                    WorkProgress* progress = nullptr);
// The same for a text taken as it stands, without the opt-in: a file name
// pattern.
void ExpandText(std::u16string_view templateText, const CellSource& cells, int k, OutputSink& sink,
                std::size_t maxOutput = kMaxOutputUnits, ConversionSummary* summary = nullptr,
                WorkProgress* progress = nullptr);

// Whether a CP932 output of this template writes the characters the code
// page lacks as character references rather than refusing them: an HTML
// page (a template named .htm or .html, or one that escapes its values).
bool WritesReferences(std::u16string_view templateText, const CellSource& cells, int k, bool htmlTemplate);

}  // namespace quillary
