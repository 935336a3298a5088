#include "convert/dialog/ConvertAgain.h"

#include <QDateTime>
#include <QFileInfo>

#include "commondialog/MessageBox.h"
#include "convert/Module1.h"
#include "convert/dialog/Conv.h"
#include "sheet/commands/CommandMessages.h"

namespace quillary {

namespace {

// "前回の変換の定型ファイルが見つかりません。" and the name: the dialog follows.
QString GoneMessage(const QString& what, const QString& fileName) {
  return QStringLiteral("前回の変換の%1が見つかりません。\n%2\n変換するファイルを選び直してください。")
      .arg(what, fileName);
}

bool Unchanged(const ConversionPair& pair) {
  const QFileInfo output(pair.outputName);
  return pair.outputModified >= 0 && output.lastModified().toMSecsSinceEpoch() == pair.outputModified &&
         output.size() == pair.outputSize;
}

}  // namespace

ConversionPair StampedPair(const QString& templateName, const QString& outputName) {
  ConversionPair pair{templateName, outputName};
  const QFileInfo output(outputName);
  if (output.isFile()) {
    pair.outputModified = output.lastModified().toMSecsSinceEpoch();
    pair.outputSize = output.size();
  }
  return pair;
}

std::optional<ConversionDone> ConvertAgainCommand::ConvertAgain_Click(const std::optional<ConversionPair>& pair) {
  if (!pair) return convert_.Convert_Click();
  QString gone;
  if (!FileExists(pair->templateName.toStdU16String()))
    gone = GoneMessage(QStringLiteral("定型ファイル"), pair->templateName);
  else if (!QFileInfo::exists(pair->outputName))
    gone = GoneMessage(QStringLiteral("出力ファイル"), pair->outputName);
  if (!gone.isEmpty()) {
    ShowRefusal(messageBox_, gone);
    return convert_.Convert_Click();
  }
  // Someone else's change to the output is not replaced without a question.
  return convert_.ConvertWith(pair->templateName, pair->outputName,
                              [&] { return Unchanged(*pair) || MayReplaceOutput(messageBox_); });
}

}  // namespace quillary
