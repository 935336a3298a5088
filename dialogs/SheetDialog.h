#pragma once
// What the two sheet dialogs share: a fixed-size modal window laid out in
// twips, centred on its owner, without minimise or maximise buttons, whose
// buttons are never the default or cancel button (Enter and Esc do nothing;
// the close box still closes without change).

#include <QDialog>
#include <QString>

#include "sheet/grid/Twips.h"

class QKeyEvent;
class QPushButton;

namespace quillary {

class SheetDialog : public QDialog {
  Q_OBJECT

 protected:
  SheetDialog(QWidget* owner, const QString& caption, int clientWidthTwips, int clientHeightTwips);

  // Names the control as the dialog's handlers call it and places it.
  void Place(QWidget* control, const char* name, TwipsRect rect);
  QPushButton* AddButton(const QString& caption, const char* name, TwipsRect rect);

  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace quillary
