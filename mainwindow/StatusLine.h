#pragma once
// The status line at the bottom of the main window: on the right the sheet's
// file, its encoding, whether it is modified, the current cell and the
// selection's size; on the left what the last conversion wrote, with a
// 出力を開く button that opens the output with the desktop's default
// application. A conversion just done has the whole line until the sheet's
// state next changes: the window's width holds little more.

#include <QStatusBar>
#include <QString>

#include "platform/TextEncoding.h"

class QLabel;
class QToolButton;

namespace quillary {

class DesktopOpener;
class MessageBox;
struct ConversionDone;
struct PagesDone;

// What the line says about the sheet.
struct SheetState {
  QString fileName;  // empty: not opened from or saved to a file
  TextEncoding encoding = TextEncoding::Cp932;
  bool modified = false;
  int row = 0;  // the current cell
  int col = 0;
  int selectedRows = 1;
  int selectedCols = 1;
  bool operator==(const SheetState&) const = default;
};

class StatusLine final : public QStatusBar {
  Q_OBJECT

 public:
  StatusLine(DesktopOpener& desktop, MessageBox& messageBox, QWidget* parent = nullptr);

  void ShowSheet(const SheetState& state);
  void ShowConversion(const ConversionDone& done);
  // Pages written: the button opens their folder.
  void ShowPages(const PagesDone& done);
  void OpenOutput_Click();

 private:
  DesktopOpener& desktop_;
  MessageBox& messageBox_;
  QLabel* message_;
  QLabel* sheet_;
  QToolButton* OpenOutput;
  void ShowResult(const QString& text, const QString& opens, const QString& button, const QString& failure);
  QString outputName_;
  QString openFailure_;
  SheetState shown_;
};

}  // namespace quillary
