#pragma once
// The status line at the bottom of the main window: after a conversion it
// says where the output went and what was filled, and its 出力を開く button
// opens the output with the desktop's default application. Hidden until the
// first conversion, so the window keeps its layout until then.

#include <QStatusBar>
#include <QString>

class QLabel;
class QPushButton;

namespace quillary {

class DesktopOpener;
class MessageBox;
struct ConversionDone;

class ConversionStatus final : public QStatusBar {
  Q_OBJECT

 public:
  ConversionStatus(DesktopOpener& desktop, MessageBox& messageBox, QWidget* parent = nullptr);

  void Show(const ConversionDone& done);
  void OpenOutput_Click();

 private:
  DesktopOpener& desktop_;
  MessageBox& messageBox_;
  QLabel* message_;
  QPushButton* OpenOutput;
  QString outputName_;
};

}  // namespace quillary
