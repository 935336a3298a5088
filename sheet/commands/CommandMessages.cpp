#include "sheet/commands/CommandMessages.h"

#include "commondialog/MessageBox.h"
#include "platform/Errors.h"
#include "platform/FileIO.h"
#include "sheet/Sheet.h"

namespace quillary {

void ShowRefusal(MessageBox& messageBox, const QString& prompt) {
  messageBox.Show(prompt, MsgButtons::Ok, MsgIcon::Error, kProgramTitle);
}

void ShowWarning(MessageBox& messageBox, const QString& prompt) {
  messageBox.Show(prompt, MsgButtons::Ok, MsgIcon::Exclamation, kProgramTitle);
}

void ShowOthersNotOpened(MessageBox& messageBox, const QStringList& others) {
  if (others.isEmpty()) return;
  ShowWarning(messageBox, QStringLiteral("一度に開けるファイルは 1 つだけです。次のファイルは開きませんでした:\n") +
                              others.join(u'\n'));
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
  if (bytes.damagedUtf8)
    return QStringLiteral(
               "%1は UTF-8 のようですが、UTF-8 として正しくないバイト列が %2 個あります（最初は %3 行目、先頭から %4 "
               "バイト目）。")
        .arg(what)
        .arg(bytes.count)
        .arg(bytes.firstLine)
        .arg(bytes.firstOffset + 1);
  return QStringLiteral(
             "%1には、文字コード %2 として読めないバイトが %3 個あります（最初は %4 行目、先頭から %5 バイト目）。")
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

namespace {

// 1234567 -> "1,234,567"
QString Grouped(std::uintmax_t n) {
  QString digits = QString::number(static_cast<qulonglong>(n));
  for (qsizetype at = digits.size() - 3; at > 0; at -= 3) digits.insert(at, u',');
  return digits;
}

QString ProblemMessage(const FileError& error) {
  const bool writing = dynamic_cast<const FileWriteError*>(&error) != nullptr;
  switch (error.problem()) {
    case FileProblem::NotFound:
      return writing ? QStringLiteral("保存先のフォルダーが見つかりません。")
                     : QStringLiteral("ファイルが見つかりません。");
    case FileProblem::NoPermission:
      return writing ? QStringLiteral("書き込む権限がありません。") : QStringLiteral("読み込む権限がありません。");
    case FileProblem::ReadOnlyPlace: return QStringLiteral("読み取り専用の場所なので書き込めません。");
    case FileProblem::WriteProtected: return QStringLiteral("このファイルは書き込み禁止になっています。");
    case FileProblem::NoSpace: return QStringLiteral("ディスクの空き容量が足りません。");
    case FileProblem::NameTooLong: return QStringLiteral("ファイル名が長すぎます。");
    case FileProblem::NotRegularFile:
      return writing ? QStringLiteral("通常のファイルではありません（デバイスやパイプなどには書き出せません）。")
                     : QStringLiteral("通常のファイルではありません（デバイスやパイプなどは読み込めません）。");
    case FileProblem::IsFolder: return QStringLiteral("フォルダーです。");
    case FileProblem::TooLarge:
      if (writing) return QStringLiteral("ファイルの大きさの上限を超えます。");
      return QStringLiteral("ファイルが大きすぎます（%1 バイト。読み込めるのは %2 バイトまでです）。")
          .arg(Grouped(error.size()), Grouped(kMaxReadBytes));
    case FileProblem::NoMemory: return QStringLiteral("メモリが足りません。");
    case FileProblem::InPlaceOnly:
      return QStringLiteral("別の名前（ハードリンク）があるか所有者が別のファイルなので、まとめて置き換えられません。");
    case FileProblem::Other: break;
  }
  return QStringLiteral("（%1）").arg(QString::fromStdString(ProblemText(error.problem(), error.errorNumber())));
}

}  // namespace

QString FileFailureMessage(const QString& lead, const QString& fileName, const FileError& error) {
  return lead + u'\n' + fileName + u'\n' + ProblemMessage(error);
}

QString CannotWriteMessage(const QString& fileName, const FileError* error) {
  const QString lead = QStringLiteral("ファイルに書き込めませんでした。");
  return error ? FileFailureMessage(lead, fileName, *error) : lead + u'\n' + fileName;
}

QString SheetLimitsText() {
  return QStringLiteral("レコードは %1 件、フィールドは %2 個までです").arg(kMaxRecords).arg(kMaxFields);
}

QString SheetTooLargeMessage() { return QStringLiteral("シートが大きすぎます。\n（%1）").arg(SheetLimitsText()); }

QString FileNameTooLongMessage() { return QStringLiteral("ファイル名が長すぎます。"); }

}  // namespace quillary
