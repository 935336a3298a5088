#include "mainwindow/Fonts.h"

#include <QApplication>
#include <QStringList>

namespace quillary {

namespace {

QStringList GothicFamilies() {
  return {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),          QStringLiteral("IPAPGothic"),
          QStringLiteral("IPAGothic"),       QStringLiteral("Noto Sans CJK JP"),    QStringLiteral("VL PGothic"),
          QStringLiteral("TakaoPGothic"),    QStringLiteral("Droid Sans Fallback"), QStringLiteral("sans-serif")};
}

}  // namespace

QFont GothicFont(qreal pointSize) {
  QFont font;
  font.setFamilies(GothicFamilies());
  font.setPointSizeF(pointSize);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

QFont ProgramNameFont() {
  QFont font;
  // Liberation Serif has the metrics of the designed face; the Japanese
  // faces stay at the end so any character still finds a glyph.
  QStringList families{QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                       QStringLiteral("Nimbus Roman"), QStringLiteral("DejaVu Serif"), QStringLiteral("serif")};
  families += GothicFamilies();
  font.setFamilies(families);
  font.setPointSizeF(14.25);
  font.setStyleHint(QFont::Serif);
  return font;
}

void UseJapaneseApplicationFont(QApplication& application) {
  QFont font = application.font();
  QStringList families = font.families();
  if (families.isEmpty()) families << font.family();
  for (const QString& family : GothicFamilies())
    if (!families.contains(family)) families << family;
  font.setFamilies(families);
  QApplication::setFont(font);
}

}  // namespace quillary
