#pragma once
// The status line at the bottom of the main window: on the right the sheet's
// file, its encoding, whether it is modified, the current cell and the
// selection's size. A conversion's report takes the whole line in its place,
// what went wrong first, with もう一度変換, 出力を開く (the output with the
// desktop's default application) and a close mark, until it is put away
// (the mark, Esc in the grid, New or Open): the window's default width
// holds no more.

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
  // The sheet's state again in the report's place.
  void PutAwayConversion();
  bool ShowsConversion() const { return !outputName_.isEmpty(); }
  // Pages written: the button opens their folder.
  void ShowPages(const PagesDone& done);
  void OpenOutput_Click();

 signals:
  void ConvertAgainClicked();

 private:
  DesktopOpener& desktop_;
  MessageBox& messageBox_;
  QLabel* message_;
  QLabel* sheet_;
  QToolButton* ConvertAgain;
  QToolButton* OpenOutput;
  QToolButton* CloseReport;
  // The report's text, its whole text for the tooltip, what the open button
  // opens, and whether もう一度変換 applies.
  void ShowResult(const QString& text, const QString& whole, const QString& opens, bool again);
  QString outputName_;
  QString openFailure_;
  SheetState shown_;
};

}  // namespace quillary
