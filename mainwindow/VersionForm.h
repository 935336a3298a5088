#pragma once
// The about box "バージョン情報": the program's icon, name and version, where the guide is, and OK.
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

  void Command1_Click();  // OK

  QLabel* Image1;  // the program's icon
  QLabel* Label1;  // its name
  QLabel* Label2;  // its version
  QLabel* Label3;  // where the user guide is: the Help menu, F1
  // The etched separator: a grey line with a white one under it.
  QFrame* Line1[2];       // an etched line: dark over light
  QPushButton* Command1;  // OK

 private:
};

}  // namespace quillary
