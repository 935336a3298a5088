#include "app/ConvertReport.h"

#include "platform/Errors.h"
#include "platform/TextEncoding.h"

namespace quillary {

namespace {

std::string Counted(std::size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

void ListNames(std::string& text, const char* label, const NameCounts& names) {
  for (const auto& [name, count] : names) {
    std::string shown;
    try {
      shown = EncodeText(name, TextEncoding::Utf8);
    } catch (const UnencodableCharError&) {
      shown = "(a name that UTF-8 cannot hold)";
    }
    text += std::string("  ") + label + " <!-- " + shown + " --> " + std::to_string(count) + "\n";
  }
}

}  // namespace

std::string ReportText(const ConversionSummary& summary) {
  const std::size_t unknown = TotalCount(summary.unknown);
  std::string text = "quillary-convert: " + Counted(summary.filled, "placeholder", "placeholders") + " filled, " +
                     std::to_string(summary.UnfilledCount()) + " left unfilled, " +
                     Counted(unknown, "comment", "comments") + " naming no field\n";
  ListNames(text, "unfilled", summary.unfilled);
  ListNames(text, "no field", summary.unknown);
  if (summary.valuesEscaped) text += "  values escaped (<!-- EscapeValues -->)\n";
  if (summary.references > 0)
    text += "  " +
            Counted(summary.references, "character written as a character reference",
                    "characters written as character references") +
            "\n";
  return text;
}

std::string PagesReportText(std::size_t written, std::size_t replaced, int blankRecords, const std::string& folder) {
  std::string details;
  if (replaced > 0) details = std::to_string(replaced) + " replaced";
  if (blankRecords > 0)
    details += (details.empty() ? "" : ", ") +
               Counted(static_cast<std::size_t>(blankRecords), "blank record", "blank records") + " without a page";
  return "quillary-convert: " + Counted(written, "page", "pages") + " written in " + folder +
         (details.empty() ? "" : " (" + details + ")") + "\n";
}

bool HasLeftOvers(const ConversionSummary& summary) { return summary.UnfilledCount() > 0 || !summary.unknown.empty(); }

std::string StrictFailureText(const ConversionSummary& summary) {
  std::string reasons;
  if (const std::size_t unfilled = summary.UnfilledCount(); unfilled > 0)
    reasons = Counted(unfilled, "placeholder", "placeholders") + " left unfilled";
  if (const std::size_t unknown = TotalCount(summary.unknown); unknown > 0)
    reasons += (reasons.empty() ? "" : " and ") + Counted(unknown, "comment", "comments") + " naming no field";
  return "quillary-convert: --strict: " + reasons + "\n";
}

}  // namespace quillary
