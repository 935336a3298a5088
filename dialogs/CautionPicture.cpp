#include "dialogs/CautionPicture.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>

// The resources live in a static library: nothing would pull them into the
// program unless they are initialised by name (outside any namespace).
static void InitDialogResources() { Q_INIT_RESOURCE(dialogs); }

namespace quillary {

namespace {
constexpr int kPictureSize = 32;  // pixels
}

CautionPicture::CautionPicture(QWidget* parent) : QWidget(parent) {
  InitDialogResources();
  renderer_ = new QSvgRenderer(QStringLiteral(":/dialogs/caution.svg"), this);
}

bool CautionPicture::HasImage() const { return renderer_->isValid(); }

void CautionPicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  renderer_->render(&painter, QRectF(0, 0, kPictureSize, kPictureSize));
}

// A click is a press and a release of the left button over the picture.
void CautionPicture::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  event->accept();
}

void CautionPicture::mouseReleaseEvent(QMouseEvent* event) {
  const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  event->accept();
  if (click) emit Clicked();
}

}  // namespace quillary
