#include "dialogs/SheetDialog.h"

#include <QKeyEvent>
#include <QPushButton>

#include "sheet/grid/Twips.h"

namespace quillary {

SheetDialog::SheetDialog(QWidget* owner, const QString& caption, int clientWidthTwips, int clientHeightTwips)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
  setWindowTitle(caption);
  setModal(true);
  setSizeGripEnabled(false);
  setFixedSize(TwipsToPixelsX(clientWidthTwips, this), TwipsToPixelsY(clientHeightTwips, this));
}

void SheetDialog::Place(QWidget* control, const char* name, TwipsRect rect) { PlaceInTwips(*control, rect, name); }

QPushButton* SheetDialog::AddButton(const QString& caption, const char* name, TwipsRect rect) {
  auto* button = new QPushButton(caption, this);
  // Set before the first show: a dialog otherwise makes its first
  // auto-default button the default one.
  button->setAutoDefault(false);
  button->setDefault(false);
  Place(button, name, rect);
  return button;
}

void SheetDialog::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter: event->accept(); return;
    default: QDialog::keyPressEvent(event);
  }
}

}  // namespace quillary
