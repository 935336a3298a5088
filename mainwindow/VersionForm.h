#pragma once
// The about box "バージョン情報": the program's icon, name and version, and OK.
// Modal over the main window, fixed size, centred on its owner.

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace quillary {

class VersionForm : public QDialog {
  Q_OBJECT

 public:
  explicit VersionForm(QWidget* owner = nullptr);

  void Command1_Click();

  QLabel* Image1;
  QLabel* Label1;
  QLabel* Label2;
  // The etched separator: a grey line with a white one under it.
  QFrame* Line1[2];
  QPushButton* Command1;

 private:
};

}  // namespace quillary
