#include "mainwindow/VersionForm.h"

#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

#include "mainwindow/Fonts.h"
#include "mainwindow/Icons.h"
#include "quillary/Version.h"
#include "sheet/grid/Twips.h"

namespace quillary {

namespace {

// Client area and controls, in twips.
constexpr int kClientWidth = 4680;
constexpr int kClientHeight = 1980;
constexpr int kLineTop = 1260;

QFrame* EtchLine(QWidget* parent, const QColor& colour) {
  auto* line = new QFrame(parent);
  line->setFrameShape(QFrame::NoFrame);
  line->setAutoFillBackground(true);
  QPalette palette = line->palette();
  palette.setColor(QPalette::Window, colour);
  line->setPalette(palette);
  return line;
}

}  // namespace

VersionForm::VersionForm(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
  setWindowTitle(QStringLiteral("バージョン情報"));
  setModal(true);
  setSizeGripEnabled(false);
  setFixedSize(TwipsToPixelsX(kClientWidth, this), TwipsToPixelsY(kClientHeight, this));

  Image1 = new QLabel(this);
  PlaceInTwips(*Image1, {240, 240, 480, 480}, "Image1");
  Image1->setPixmap(ProgramIcon().pixmap(Image1->size()));

  Label1 = new QLabel(QStringLiteral("Quillary"), this);
  Label1->setFont(ProgramNameFont());
  PlaceInTwips(*Label1, {1080, 180, 3360, 435}, "Label1");

  Label2 = new QLabel(QString::fromLatin1(kVersionText), this);
  Label2->setFont(GothicFont(9));
  PlaceInTwips(*Label2, {1080, 660, 3360, 255}, "Label2");

  Label3 = new QLabel(QStringLiteral("使い方はヘルプメニュー（F1）から"), this);
  Label3->setFont(GothicFont(9));
  PlaceInTwips(*Label3, {1080, 960, 3360, 255}, "Label3");

  Line1[0] = EtchLine(this, QColor(0x80, 0x80, 0x80));
  Line1[1] = EtchLine(this, Qt::white);
  const int lineWidth = kClientWidth - 2 * 120;
  PlaceInTwips(*Line1[0], {120, kLineTop, lineWidth, 15}, "Line1");
  PlaceInTwips(*Line1[1], {120, kLineTop + 15, lineWidth, 15}, "Line1");

  Command1 = new QPushButton(QStringLiteral("OK"), this);
  PlaceInTwips(*Command1, {kClientWidth - 1215 - 240, 1440, 1215, 375}, "Command1");
  Command1->setDefault(true);
  connect(Command1, &QPushButton::clicked, this, &VersionForm::Command1_Click);
}

void VersionForm::Command1_Click() { accept(); }

}  // namespace quillary
