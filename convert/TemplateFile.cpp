#include "convert/TemplateFile.h"

#include <string>

#include "convert/BackgroundSink.h"
#include "convert/CharacterReferences.h"
#include "convert/EncodingSink.h"
#include "convert/Module1.h"
#include "convert/SheetArrayCells.h"
#include "platform/FileIO.h"
#include "sheet/SheetArray.h"

namespace quillary {

DecodedText ReadTemplateFile(const std::filesystem::path& templatePath) {
  // Read whole before anything is written, so the output may replace the template.
  DecodedText templateFile = ReadWholeTextFile(templatePath);
  // Replacement characters in the page would be a garbled page reported as made.
  if (templateFile.undecodable.count > 0)
    throw UndecodableTextError(templatePath, templateFile.encoding, templateFile.undecodable);
  return templateFile;
}

TextEncoding OutputEncoding(const DecodedText& templateFile, TextEncoding sheetEncoding) {
  return templateFile.ascii ? sheetEncoding : templateFile.encoding;
}

void ExpandToBytes(std::u16string_view templateText, const CellSource& cells, int k, TextEncoding encoding,
                   const std::function<void(std::string_view)>& write, std::size_t maxOutput,
                   ConversionSummary* summary, bool htmlTemplate, WorkProgress* progress) {
  EncodingSink encoded(encoding, write, WritesReferences(templateText, cells, k, htmlTemplate));
  BackgroundSink sink(encoded);
  ExpandTemplate(templateText, cells, k, sink, maxOutput, summary, progress);
  if (summary) summary->references = encoded.References();
}

TextEncoding ConvertTemplate(const std::filesystem::path& templatePath, const std::filesystem::path& outputPath,
                             const SheetArray& array, int k, TextEncoding sheetEncoding, std::size_t maxOutput,
                             ConversionSummary* summary, WorkProgress* progress) {
  const DecodedText templateFile = ReadTemplateFile(templatePath);
  const TextEncoding encoding = OutputEncoding(templateFile, sheetEncoding);
  // Written as made, while the expansion goes on: the output file itself is
  // replaced only once the expansion has ended well, so a failure or a stop
  // leaves it as it was.
  ReplaceFileContents(outputPath, [&](const std::function<void(std::string_view)>& write) {
    ExpandToBytes(templateFile.text, SheetArrayCells(array), k, encoding, write, maxOutput, summary,
                  IsHtmlTemplateName(templatePath), progress);
  });
  return encoding;
}

}  // namespace quillary
