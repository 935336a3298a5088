#pragma once
// The resize dialog's caution picture: a 32 x 32 yellow disc with an
// exclamation mark that reports a click.

#include <QWidget>

class QSvgRenderer;

namespace quillary {

class CautionPicture : public QWidget {
  Q_OBJECT

 public:
  explicit CautionPicture(QWidget* parent = nullptr);

  // False when the picture could not be loaded (the box stays blank).
  bool HasImage() const;

 signals:
  void Clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QSvgRenderer* renderer_;
  bool pressed_ = false;
};

}  // namespace quillary
