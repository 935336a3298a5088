#pragma once
// Passes the output on and counts its placeholders and unknown comments
// into a ConversionSummary as the pieces go by.

#include <string>
#include <unordered_map>
#include <vector>

#include "convert/ConversionSummary.h"
#include "convert/FieldTags.h"
#include "convert/OutputSink.h"

namespace quillary {

class SummarySink : public OutputSink {
 public:
  SummarySink(OutputSink& next, const FieldTags& tags, ConversionSummary& summary)
      : next_(next), tags_(tags), summary_(summary) {}
  void Append(std::u16string_view piece) override;
  void Expect(std::size_t units) override { next_.Expect(units); }
  void Finish() override;

  // From now on, where each comment naming no field stands in the output,
  // for those that begin before `before` (units from the output's start).
  void TellUnknownAt(std::vector<TextSpan>& spans, std::size_t before) {
    unknownAt_ = &spans;
    unknownBefore_ = before;
  }

 private:
  std::size_t Scan(std::u16string_view text, bool final);
  bool Count(std::u16string_view text, std::size_t at, std::size_t next, bool final);
  static void Add(NameCounts& counts, std::unordered_map<std::u16string, std::size_t>& index, std::u16string_view name);

  OutputSink& next_;
  const FieldTags& tags_;
  ConversionSummary& summary_;
  // The output from the first "<!-- " not yet counted, or its last
  // characters, which may begin one.
  std::u16string pending_;
  std::size_t appended_ = 0;      // units of output passed on so far
  std::size_t pendingBegin_ = 0;  // where pending_ begins in the output
  std::size_t scanBegin_ = 0;     // where the text being scanned begins
  std::vector<TextSpan>* unknownAt_ = nullptr;
  std::size_t unknownBefore_ = 0;
  std::unordered_map<std::u16string, std::size_t> unfilledIndex_, unknownIndex_;
  std::vector<int> found_;  // the tags at one "<!-- "
};

}  // namespace quillary
