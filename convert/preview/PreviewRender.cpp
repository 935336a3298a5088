#include "convert/preview/PreviewRender.h"

#include <new>

#include "commondialog/ErrorGuard.h"
#include "convert/TemplateFile.h"
#include "platform/Errors.h"
#include "platform/FileIO.h"
#include "sheet/Sheet.h"
#include "sheet/SheetArray.h"
#include "sheet/commands/CommandMessages.h"

namespace quillary {

namespace {

QString UnwritableMessage(const UnencodableCharError& error) {
  return QStringLiteral("出力の文字コード（%1）では書けない文字があるため、変換は何も書き出しません。\n")
             .arg(EncodingLabel(error.encoding())) +
         CharacterText(error.character());
}

void Expand(const QString& templateName, const Sheet& sheet, TextEncoding saveEncoding, const PreviewLimits& limits,
            PreviewResult& result) {
  const DecodedText templateFile = ReadTemplateFile(PathFromText(templateName.toStdU16String()));
  result.encoding = OutputEncoding(templateFile, saveEncoding);
  // What a Save would leave for Convert.
  const SheetArray array = SheetArray::FromSheet(sheet);
  result.expansion = ExpandForPreview(templateFile.text, array, sheet.Cols() - 1, limits.outputUnits, limits.textUnits);
  try {
    result.bytes = EncodeText(result.expansion.text, result.encoding);
  } catch (const UnencodableCharError& error) {
    result.unwritable = UnwritableMessage(error);
  }
}

}  // namespace

PreviewResult RenderPreview(const QString& templateName, const Sheet& sheet, TextEncoding saveEncoding,
                            const PreviewLimits& limits) {
  PreviewResult result;
  try {
    Expand(templateName, sheet, saveEncoding, limits, result);
  } catch (const FileReadError& error) {
    result.problem = FileFailureMessage(QStringLiteral("定型ファイルを読み込めませんでした。"), templateName, error);
  } catch (const UndecodableTextError& error) {
    // Convert refuses such a template, so no page is shown for it either.
    result.problem = UndecodableBytesMessage(QStringLiteral("定型ファイル"), error.encoding(), error.bytes()) +
                     QStringLiteral("\nこの定型ファイルでは変換できません。");
  } catch (const std::bad_alloc&) {
    result = PreviewResult();
    result.problem = OutOfMemoryMessage();
  }
  return result;
}

}  // namespace quillary
