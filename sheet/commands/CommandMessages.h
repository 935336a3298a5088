#pragma once
// Refusals shared by the commands that read and write the user's files.

#include <QString>
#include <QStringList>

#include "platform/TextEncoding.h"

namespace quillary {

class FileError;
class MessageBox;

// OK button, error icon, the program's title.
void ShowRefusal(MessageBox& messageBox, const QString& prompt);
// OK button, exclamation icon, the program's title: done, but not all of it.
void ShowWarning(MessageBox& messageBox, const QString& prompt);
// Tells that only the first of several files named at once was opened.
void ShowOthersNotOpened(MessageBox& messageBox, const QStringList& others);

// "CP932", "UTF-8", "UTF-8 (BOM 付き)": as the File menu names them.
QString EncodingLabel(TextEncoding encoding);

// "<what>には、文字コード CP932 として読めないバイトが 3 個あります（最初は 2 行目、
// 先頭から 57 バイト目）。": what did not decode, and where the first of it is;
// for damaged UTF-8, "<what>は UTF-8 のようですが、UTF-8 として正しくない
// バイト列が 2 個あります（…）。".
QString UndecodableBytesMessage(const QString& what, TextEncoding encoding, const UndecodableBytes& bytes);

// "「☃」（U+2603）": the character itself and its code, since some
// characters are invisible or look like others.
QString CharacterText(char32_t character);

// lead, the file name on the next line, and why on the third: "書き込む
// 権限がありません。", "ディスクの空き容量が足りません。" ...
QString FileFailureMessage(const QString& lead, const QString& fileName, const FileError& error);
// "ファイルに書き込めませんでした。" and the file name on the next line,
// and why when it is known.
QString CannotWriteMessage(const QString& fileName, const FileError* error = nullptr);
// "レコードは 1048576 件、フィールドは 16384 個までです": the sheet's limits.
QString SheetLimitsText();
// "シートが大きすぎます。" and the limits: a command would pass them.
QString SheetTooLargeMessage();
// The file dialog returned a path longer than the name it may take.
QString FileNameTooLongMessage();

}  // namespace quillary
