#pragma once
// The conversion's file pipeline: read the template, expand it, encode the
// output and write it in one piece.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string_view>

#include "convert/ConversionSummary.h"
#include "convert/FindRep.h"
#include "platform/TextEncoding.h"
#include "sheet/CellSource.h"

namespace quillary {

class SheetArray;

// The template file decoded, refused when any of its bytes does not
// decode. Throws FileReadError and UndecodableTextError.
DecodedText ReadTemplateFile(const std::filesystem::path& templatePath);

// An output is written in its template's encoding; a template of plain
// ASCII has none of its own, and the output takes the sheet's (the
// encoding of the CSV file the sheet was last opened from or saved to).
TextEncoding OutputEncoding(const DecodedText& templateFile, TextEncoding sheetEncoding);

// Expands the template with any cells and hands the output's bytes, cut at
// the first NUL and encoded, to write in blocks as they are made. Throws
// OutputTooLargeError and UnencodableCharError. htmlTemplate: the template
// is named .htm or .html (see WritesReferences).
void ExpandToBytes(std::u16string_view templateText, const CellSource& cells, int k, TextEncoding encoding,
                   const std::function<void(std::string_view)>& write, std::size_t maxOutput = kMaxOutputUnits,
                   ConversionSummary* summary = nullptr, bool htmlTemplate = false, WorkProgress* progress = nullptr);

// Reads the template, expands it with k fields, cuts at the first NUL,
// encodes the result as OutputEncoding says (an HTML page in CP932 writes
// what the code page lacks as references) and replaces the output file
// in one piece; returns the encoding written. The bytes go to a file of
// their own as they are made, which takes the output's place once all are
// there. Throws FileReadError and UndecodableTextError (template),
// OutputTooLargeError, UnencodableCharError (position in the output text),
// FileWriteError and, when `progress` asks it to stop, WorkCancelled; the
// output file is untouched on any of them.
TextEncoding ConvertTemplate(const std::filesystem::path& templatePath, const std::filesystem::path& outputPath,
                             const SheetArray& array, int k, TextEncoding sheetEncoding = TextEncoding::Cp932,
                             std::size_t maxOutput = kMaxOutputUnits, ConversionSummary* summary = nullptr,
                             WorkProgress* progress = nullptr);

}  // namespace quillary
