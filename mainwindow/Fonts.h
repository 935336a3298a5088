#pragma once
// The program's fonts. Each names the face the program was designed with
// first and falls back to faces that are installed on the desktops it runs
// on, so Japanese text always finds a Japanese font.

#include <QFont>

class QApplication;

namespace quillary {

// "ＭＳ Ｐゴシック" 9 pt: the grid, the overlay editor, the about box's version.
QFont GothicFont(qreal pointSize = 9);
// "Times New Roman" 14.25 pt: the program name in the about box.
QFont ProgramNameFont();

// The application's default font with the same Japanese fallback.
void UseJapaneseApplicationFont(QApplication& application);

}  // namespace quillary
