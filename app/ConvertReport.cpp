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
  return text;
}

bool HasLeftOvers(const ConversionSummary& summary) {
  return summary.UnfilledCount() > 0 || !summary.unknown.empty();
}

std::string StrictFailureText(const ConversionSummary& summary) {
  std::string reasons;
  if (const std::size_t unfilled = summary.UnfilledCount(); unfilled > 0)
    reasons = Counted(unfilled, "placeholder", "placeholders") + " left unfilled";
  if (const std::size_t unknown = TotalCount(summary.unknown); unknown > 0)
    reasons += (reasons.empty() ? "" : " and ") + Counted(unknown, "comment", "comments") + " naming no field";
  return "quillary-convert: --strict: " + reasons + "\n";
}

}  // namespace quillary
