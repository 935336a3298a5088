#pragma once
// Refusals shared by the commands that read and write the user's files.

#include <QString>

namespace quillary {

class MessageBox;

// OK button, error icon, the program's title.
void ShowRefusal(MessageBox& messageBox, const QString& prompt);

// "「☃」（U+2603）": the character itself and its code, since some
// characters are invisible or look like others.
QString CharacterText(char32_t character);

// The first line of every refusal for a character the file cannot hold.
QString UnencodableMessage();
// "ファイルに書き込めませんでした。" and the file name on the next line.
QString CannotWriteMessage(const QString& fileName);
// The file dialog returned a path longer than the name it may take.
QString FileNameTooLongMessage();

}  // namespace quillary
