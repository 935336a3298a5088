#include "sheet/CommandMessages.h"

#include "mainwindow/MessageBox.h"

namespace quillary {

void ShowRefusal(MessageBox& messageBox, const QString& prompt) {
  messageBox.Show(prompt, MsgButtons::Ok, MsgIcon::Error, kProgramTitle);
}

void ShowWarning(MessageBox& messageBox, const QString& prompt) {
  messageBox.Show(prompt, MsgButtons::Ok, MsgIcon::Exclamation, kProgramTitle);
}

QString EncodingLabel(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8: return QStringLiteral("UTF-8");
    case TextEncoding::Utf8WithBom: return QStringLiteral("UTF-8 (BOM 付き)");
    case TextEncoding::Cp932: break;
  }
  return QStringLiteral("CP932");
}

QString UndecodableBytesMessage(const QString& what, TextEncoding encoding, const UndecodableBytes& bytes) {
  return QStringLiteral("%1には、文字コード %2 として読めないバイトが %3 個あります（最初は %4 行目、先頭から %5 バイト目）。")
      .arg(what, EncodingLabel(encoding))
      .arg(bytes.count)
      .arg(bytes.firstLine)
      .arg(bytes.firstOffset + 1);
}

QString CharacterText(char32_t character) {
  const QString code = QString::number(static_cast<uint>(character), 16).toUpper().rightJustified(4, u'0');
  return QStringLiteral("「") + QString::fromUcs4(&character, 1) + QStringLiteral("」（U+") + code +
         QStringLiteral("）");
}

QString CannotWriteMessage(const QString& fileName) {
  return QStringLiteral("ファイルに書き込めませんでした。\n") + fileName;
}

QString FileNameTooLongMessage() { return QStringLiteral("ファイル名が長すぎます。"); }

}  // namespace quillary
