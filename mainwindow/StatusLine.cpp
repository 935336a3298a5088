#include "mainwindow/StatusLine.h"

#include <QFileInfo>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

#include "commondialog/DesktopOpener.h"
#include "commondialog/ErrorGuard.h"
#include "convert/dialog/ConvertCommand.h"
#include "convert/dialog/PagesCommand.h"
#include "convert/dialog/PagesDialog.h"  // PagesCommand keeps a guarded pointer to it
#include "sheet/commands/CommandMessages.h"

namespace quillary {

namespace {

QString SheetText(const SheetState& state) {
  QStringList parts;
  parts << (state.fileName.isEmpty() ? QStringLiteral("（ファイルなし）") : QFileInfo(state.fileName).fileName());
  parts << EncodingLabel(state.encoding);
  if (state.modified) parts << QStringLiteral("変更あり");
  QString cell = QStringLiteral("%1 行 %2 列").arg(state.row).arg(state.col);
  if (state.selectedRows > 1 || state.selectedCols > 1)
    cell += QStringLiteral("（%1 × %2 を選択）").arg(state.selectedRows).arg(state.selectedCols);
  parts << cell;
  return parts.join(QStringLiteral("　"));
}

// A flat button keeps the line as low as a label, so it fits under the box;
// a picture alone (its name in the tooltip) leaves the report the width of
// the window's default size.
QToolButton* ReportButton(const QString& text, QStyle::StandardPixmap picture, const char* name, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setText(text);
  button->setIcon(parent->style()->standardIcon(picture));
  button->setToolButtonStyle(Qt::ToolButtonIconOnly);
  button->setAutoRaise(true);
  button->setObjectName(QString::fromLatin1(name));
  button->setFocusPolicy(Qt::NoFocus);
  button->hide();
  return button;
}

}  // namespace

StatusLine::StatusLine(DesktopOpener& desktop, MessageBox& messageBox, QWidget* parent)
    : QStatusBar(parent), desktop_(desktop), messageBox_(messageBox) {
  setObjectName(QStringLiteral("StatusLine"));
  setSizeGripEnabled(false);
  message_ = new QLabel(this);
  message_->setObjectName(QStringLiteral("ConversionMessage"));
  // A long path must not widen the window: the line is cut, the tooltip whole.
  message_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  addWidget(message_, 1);
  ConvertAgain = ReportButton(QStringLiteral("もう一度変換"), QStyle::SP_BrowserReload, "ConvertAgain", this);
  ConvertAgain->setToolTip(QStringLiteral("もう一度変換（Shift+F5）: 同じ定型ファイルと出力ファイルで変換します"));
  OpenOutput = ReportButton(QStringLiteral("出力を開く"), QStyle::SP_DialogOpenButton, "OpenOutput", this);
  OpenOutput->setToolTip(QStringLiteral("出力を開く: 出力ファイルを既定のアプリケーションで開きます"));
  CloseReport = ReportButton(QStringLiteral("閉じる"), QStyle::SP_TitleBarCloseButton, "CloseReport", this);
  CloseReport->setToolTip(QStringLiteral("変換の報告を閉じる（Esc）"));
  for (QToolButton* button : {ConvertAgain, OpenOutput, CloseReport}) addPermanentWidget(button);
  sheet_ = new QLabel(this);
  sheet_->setObjectName(QStringLiteral("SheetState"));
  addPermanentWidget(sheet_);
  ConnectGuarded(messageBox_, OpenOutput, &QToolButton::clicked, this, &StatusLine::OpenOutput_Click);
  ConnectGuarded(messageBox_, CloseReport, &QToolButton::clicked, this, &StatusLine::PutAwayConversion);
  connect(ConvertAgain, &QToolButton::clicked, this, &StatusLine::ConvertAgainClicked);
  // One line of text high, so that it fits in the band under the box.
  const int lineHeight = fontMetrics().height();
  for (QToolButton* button : {ConvertAgain, OpenOutput, CloseReport}) button->setMaximumHeight(lineHeight + 2);
  setFixedHeight(lineHeight + 4);
}

void StatusLine::ShowSheet(const SheetState& state) {
  if (state == shown_ && !sheet_->text().isEmpty()) return;
  shown_ = state;
  sheet_->setText(SheetText(state));
  sheet_->setToolTip(state.fileName);
  sheet_->setVisible(!ShowsConversion());
}

void StatusLine::ShowConversion(const ConversionDone& done) {
  ShowResult(ConversionReportText(done), ConversionStatusText(done), done.outputName, true);
  OpenOutput->setText(QStringLiteral("出力を開く"));
  OpenOutput->setToolTip(QStringLiteral("出力を開く: 出力ファイルを既定のアプリケーションで開きます"));
  openFailure_ = QStringLiteral("出力ファイルを開けませんでした。\n");
}

void StatusLine::ShowPages(const PagesDone& done) {
  const QString text = PagesStatusText(done);
  // もう一度変換 repeats a one-page conversion, not this.
  ShowResult(text, text, done.folder, false);
  OpenOutput->setText(QStringLiteral("フォルダーを開く"));
  OpenOutput->setToolTip(QStringLiteral("フォルダーを開く: 書き出したフォルダーを開きます"));
  openFailure_ = QStringLiteral("フォルダーを開けませんでした。\n");
}

void StatusLine::ShowResult(const QString& text, const QString& whole, const QString& opens, bool again) {
  outputName_ = opens;
  message_->setText(text);
  message_->setToolTip(whole);
  for (QWidget* part :
       {static_cast<QWidget*>(message_), static_cast<QWidget*>(OpenOutput), static_cast<QWidget*>(CloseReport)})
    part->show();
  ConvertAgain->setVisible(again);
  sheet_->hide();
}

void StatusLine::PutAwayConversion() {
  outputName_.clear();
  message_->clear();
  message_->setToolTip(QString());
  for (QWidget* button : {ConvertAgain, OpenOutput, CloseReport}) button->hide();
  sheet_->setVisible(!sheet_->text().isEmpty());
}

void StatusLine::OpenOutput_Click() {
  if (!desktop_.OpenFile(outputName_)) ShowRefusal(messageBox_, openFailure_ + outputName_);
}

}  // namespace quillary
