#include "convert/FindRep.h"

#include <algorithm>
#include <optional>

#include "convert/BackgroundSink.h"
#include "convert/CharacterReferences.h"
#include "convert/EncodingSink.h"
#include "convert/FieldTags.h"
#include "convert/Module1.h"
#include "convert/SheetArrayCells.h"
#include "convert/SummarySink.h"
#include "convert/ValueEscaping.h"
#include "platform/FileIO.h"
#include "sheet/SheetArray.h"

namespace quillary {

namespace {

constexpr auto npos = std::u16string_view::npos;
constexpr std::u16string_view kCommentEnd = u"-->";

// The work array as the engine reads it.
using ArrayCells = SheetArrayCells;

// A well-formed repeat block: where its start comment begins, its count
// text and body, and where the text after its end comment begins.
struct RepeatBlock {
  std::size_t start;
  std::u16string_view countText, body;
  std::size_t afterBegin;
};

std::optional<RepeatBlock> FindRepeatBlock(std::u16string_view text) {
  const std::size_t start = text.find(kBeginRepeat);
  if (start == npos) return std::nullopt;
  const std::size_t countBegin = start + kBeginRepeat.size();
  const std::size_t space = text.find(u' ', countBegin);
  if (space == npos) return std::nullopt;
  // A start comment closed before any space lacks the space after its count.
  const std::u16string_view countText = text.substr(countBegin, space - countBegin);
  if (countText.find(kCommentEnd) != npos) return std::nullopt;
  const std::size_t close = text.find(kCommentEnd, space + 1);
  if (close == npos) return std::nullopt;
  const std::size_t end = text.find(kEndRepeat, close + 1);
  if (end == npos) return std::nullopt;
  const std::size_t bodyBegin = close + kCommentEnd.size();
  return RepeatBlock{start, countText, text.substr(bodyBegin, end - bodyBegin), end + kEndRepeat.size()};
}

// The sink of an expansion, refusing any piece that would take the output
// past its cap.
class CappedOutput {
 public:
  CappedOutput(OutputSink& sink, std::size_t maxOutput) : sink_(sink), maxOutput_(maxOutput) {}
  void Append(std::u16string_view piece) {
    if (piece.size() > maxOutput_ - written_) throw OutputTooLargeError(maxOutput_);
    written_ += piece.size();
    sink_.Append(piece);
  }
  void Take(std::u16string& text) {
    if (text.size() > maxOutput_ - written_) throw OutputTooLargeError(maxOutput_);
    written_ += text.size();
    sink_.Take(text);
  }
  // Never more than the cap: values may be shorter than their tags, so a
  // body too big in total is only refused once the output passes.
  void Expect(std::size_t units) { sink_.Expect(std::min(units, maxOutput_ - written_)); }

 private:
  OutputSink& sink_;
  std::size_t maxOutput_;
  std::size_t written_ = 0;
};

// Batches grow to this, from a size a small output fills.
constexpr std::size_t kFirstBatch = std::size_t{1} << 16, kLargestBatch = std::size_t{1} << 19;

// Appends count repetitions of the body.
void AppendRepetitions(CappedOutput& out, std::u16string_view body, const std::vector<TagAt>& bodyTags,
                       Filler& filler, long long count) {
  // An empty body adds nothing and moves no cursor, however often.
  if (body.empty()) return;
  if (count > 0) out.Expect(body.size() * static_cast<std::size_t>(std::min(count, 1LL << 32)));
  // Planned for the second repetition on: a block made once is not worth it.
  std::optional<RepetitionPlan> plan;
  // Repetitions go on in batches: one piece each would cost more than its
  // making.
  std::u16string batch;
  std::size_t batchSize = kFirstBatch;
  for (long long i = 0; i < count; ++i) {
    if (i == 1) plan.emplace(body, bodyTags, filler.Tags());
    // Without a change the cursors stand still: every later repetition is
    // the same unfilled body.
    if (!filler.FillRepetition(body, bodyTags, plan ? &*plan : nullptr, batch)) {
      out.Take(batch);
      for (; i < count; ++i) out.Append(body);
      return;
    }
    if (batch.size() < batchSize) continue;
    out.Take(batch);
    // Room for the next batch at once, now that the output is large.
    batchSize = std::min(2 * batchSize, kLargestBatch);
    batch.reserve(batchSize + batchSize / 4);
  }
  out.Take(batch);
}

// Stretch by stretch in document order; the cursors carry over.
void Expand(std::u16string_view templateText, const FieldTags& tags, RowCursors& rowCursor, CappedOutput& out) {
  Filler filler(tags, rowCursor);
  std::u16string stretch;
  for (std::u16string_view rest = templateText;;) {
    const auto block = FindRepeatBlock(rest);
    stretch.assign(rest.substr(0, block ? block->start : rest.size()));
    filler.FillStretch(stretch);
    out.Append(stretch);
    if (!block) return;
    const std::vector<TagAt> bodyTags = FindTags(block->body, tags);
    const long long count =
        IsAllRowsCount(block->countText) ? filler.RowsLeft(bodyTags) : ReadRepeatCount(block->countText);
    AppendRepetitions(out, block->body, bodyTags, filler, count);
    rest.remove_prefix(block->afterBegin);
  }
}

std::size_t Filled(const RowCursors& rowCursor) {
  std::size_t filled = 0;
  for (const int cursor : rowCursor) filled += static_cast<std::size_t>(cursor - 1);
  return filled;
}

}  // namespace

RepeatSplit SplitAtRepeatBlock(std::u16string_view text) {
  RepeatSplit split;
  const auto block = FindRepeatBlock(text);
  if (!block) {
    split.before = text;
    return split;
  }
  split.found = true;
  split.allRows = IsAllRowsCount(block->countText);
  split.count = split.allRows ? 0 : ReadRepeatCount(block->countText);
  split.before = text.substr(0, block->start);
  split.body = block->body;
  split.after = text.substr(block->afterBegin);
  return split;
}

bool IsAllRowsCount(std::u16string_view countText) { return countText == u"*"; }

int ProcessedFields(const SheetArray& array, int k) { return std::max(0, std::min(k, array.Fields())); }

void FillPlaceholders(std::u16string& text, RowCursors& rowCursor, const SheetArray& array) {
  const ArrayCells cells(array);
  const FieldTags tags(cells, static_cast<int>(rowCursor.size()));
  Filler(tags, rowCursor).FillStretch(text);
}

void ExpandRepeatBlock(std::u16string& body, RowCursors& rowCursor, const SheetArray& array, int count,
                       std::size_t maxOutput) {
  const ArrayCells cells(array);
  const FieldTags tags(cells, static_cast<int>(rowCursor.size()));
  Filler filler(tags, rowCursor);
  std::u16string result;
  StringSink sink(result);
  CappedOutput out(sink, maxOutput);
  AppendRepetitions(out, body, FindTags(body, tags), filler, count);
  body = std::move(result);
}

int ReplaceFirst(std::u16string& text, std::u16string_view find, std::u16string_view replacement) {
  if (find.empty()) return 0;
  const std::size_t at = text.find(find);
  if (at == npos) return 0;
  text.replace(at, find.size(), replacement);
  return 1;
}

void ExpandText(std::u16string_view templateText, const CellSource& cells, int k, OutputSink& sink,
                std::size_t maxOutput, ConversionSummary* summary) {
  const FieldTags tags(cells, std::max(0, k));
  RowCursors rowCursor(static_cast<std::size_t>(tags.Fields()), 1);
  std::optional<SummarySink> counted;
  if (summary) {
    *summary = ConversionSummary();
    counted.emplace(sink, tags, *summary);
  }
  CappedOutput out(counted ? static_cast<OutputSink&>(*counted) : sink, maxOutput);
  if (tags.Fields() == 0)
    out.Append(templateText);
  else
    Expand(templateText, tags, rowCursor, out);
  if (summary) summary->filled = Filled(rowCursor);
  (counted ? static_cast<OutputSink&>(*counted) : sink).Finish();
}

void ExpandTemplate(std::u16string_view templateText, const CellSource& cells, int k, OutputSink& sink,
                    std::size_t maxOutput, ConversionSummary* summary) {
  const ValueEscaping escaping(templateText, cells, k);
  ExpandText(escaping.Text(), escaping.Cells(), k, sink, maxOutput, summary);
  if (summary) summary->valuesEscaped = escaping.On();
}

std::u16string ExpandTemplate(std::u16string_view templateText, const SheetArray& array, int k,
                              std::size_t maxOutput, ConversionSummary* summary) {
  std::u16string result;
  result.reserve(std::min(templateText.size(), maxOutput));
  StringSink sink(result);
  ExpandTemplate(templateText, ArrayCells(array), k, sink, maxOutput, summary);
  return result;
}

bool WritesReferences(std::u16string_view templateText, const CellSource& cells, int k, bool htmlTemplate) {
  return htmlTemplate || OptsInToEscaping(templateText, cells, k);
}

TextEncoding OutputEncoding(const DecodedText& templateFile, TextEncoding sheetEncoding) {
  return templateFile.ascii ? sheetEncoding : templateFile.encoding;
}

DecodedText ReadTemplateFile(const std::filesystem::path& templatePath) {
  // Read whole before anything is written, so the output may replace the template.
  DecodedText templateFile = ReadWholeTextFile(templatePath);
  // Replacement characters in the page would be a garbled page reported as made.
  if (templateFile.undecodable.count > 0)
    throw UndecodableTextError(templatePath, templateFile.encoding, templateFile.undecodable);
  return templateFile;
}

void ExpandToBytes(std::u16string_view templateText, const CellSource& cells, int k, TextEncoding encoding,
                   const std::function<void(std::string_view)>& write, std::size_t maxOutput,
                   ConversionSummary* summary, bool htmlTemplate) {
  EncodingSink encoded(encoding, write, WritesReferences(templateText, cells, k, htmlTemplate));
  BackgroundSink sink(encoded);
  ExpandTemplate(templateText, cells, k, sink, maxOutput, summary);
  if (summary) summary->references = encoded.References();
}

EncodedOutput ConvertTemplateToBytes(const std::filesystem::path& templatePath, const SheetArray& array, int k,
                                     TextEncoding sheetEncoding, std::size_t maxOutput, ConversionSummary* summary) {
  const DecodedText templateFile = ReadTemplateFile(templatePath);
  EncodedOutput output;
  output.encoding = OutputEncoding(templateFile, sheetEncoding);
  ExpandToBytes(templateFile.text, ArrayCells(array), k, output.encoding,
                [&](std::string_view bytes) { output.bytes.append(bytes); }, maxOutput, summary,
                IsHtmlTemplateName(templatePath));
  return output;
}

TextEncoding ConvertTemplate(const std::filesystem::path& templatePath,
                             const std::filesystem::path& outputPath, const SheetArray& array, int k,
                             TextEncoding sheetEncoding, std::size_t maxOutput, ConversionSummary* summary) {
  const EncodedOutput output = ConvertTemplateToBytes(templatePath, array, k, sheetEncoding, maxOutput, summary);
  ReplaceFileContents(outputPath, output.bytes);
  return output.encoding;
}

}  // namespace quillary
