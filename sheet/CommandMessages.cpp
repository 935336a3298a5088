#include "sheet/CommandMessages.h"

#include "mainwindow/MessageBox.h"

namespace quillary {

void ShowRefusal(MessageBox& messageBox, const QString& prompt) {
  messageBox.Show(prompt, MsgButtons::Ok, MsgIcon::Error, kProgramTitle);
}

QString CharacterText(char32_t character) {
  const QString code = QString::number(static_cast<uint>(character), 16).toUpper().rightJustified(4, u'0');
  return QStringLiteral("「") + QString::fromUcs4(&character, 1) + QStringLiteral("」（U+") + code +
         QStringLiteral("）");
}

QString UnencodableMessage() { return QStringLiteral("保存できない文字が含まれています。"); }

QString CannotWriteMessage(const QString& fileName) {
  return QStringLiteral("ファイルに書き込めませんでした。\n") + fileName;
}

QString FileNameTooLongMessage() { return QStringLiteral("ファイル名が長すぎます。"); }

}  // namespace quillary
