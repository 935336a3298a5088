#include "mainwindow/StatusLine.h"

#include <QFileInfo>
#include <QLabel>
#include <QToolButton>

#include "commondialog/DesktopOpener.h"
#include "commondialog/ErrorGuard.h"
#include "convert/Conv.h"  // ConvertCommand keeps a guarded pointer to it
#include "convert/ConvertCommand.h"
#include "convert/PagesCommand.h"
#include "convert/PagesDialog.h"  // PagesCommand keeps a guarded pointer to it
#include "sheet/CommandMessages.h"

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
  // A flat button keeps the line as low as a label, so it fits under the box.
  OpenOutput = new QToolButton(this);
  OpenOutput->setText(QStringLiteral("出力を開く"));
  OpenOutput->setAutoRaise(true);
  OpenOutput->setObjectName(QStringLiteral("OpenOutput"));
  OpenOutput->setFocusPolicy(Qt::NoFocus);
  OpenOutput->hide();
  addPermanentWidget(OpenOutput);
  sheet_ = new QLabel(this);
  sheet_->setObjectName(QStringLiteral("SheetState"));
  addPermanentWidget(sheet_);
  ConnectGuarded(messageBox_, OpenOutput, &QToolButton::clicked, this, &StatusLine::OpenOutput_Click);
  // One line of text high, so that it fits in the band under the box.
  const int lineHeight = fontMetrics().height();
  OpenOutput->setMaximumHeight(lineHeight + 2);
  setFixedHeight(lineHeight + 4);
}

void StatusLine::ShowSheet(const SheetState& state) {
  if (state == shown_ && !sheet_->text().isEmpty()) return;
  shown_ = state;
  sheet_->setText(SheetText(state));
  sheet_->setToolTip(state.fileName);
  sheet_->show();
}

void StatusLine::ShowConversion(const ConversionDone& done) {
  ShowResult(ConversionStatusText(done), done.outputName, QStringLiteral("出力を開く"),
             QStringLiteral("出力ファイルを開けませんでした。\n"));
}

void StatusLine::ShowPages(const PagesDone& done) {
  ShowResult(PagesStatusText(done), done.folder, QStringLiteral("フォルダーを開く"),
             QStringLiteral("フォルダーを開けませんでした。\n"));
}

void StatusLine::ShowResult(const QString& text, const QString& opens, const QString& button, const QString& failure) {
  outputName_ = opens;
  openFailure_ = failure;
  message_->setText(text);
  message_->setToolTip(text);
  OpenOutput->setText(button);
  OpenOutput->show();
  sheet_->hide();
}

void StatusLine::OpenOutput_Click() {
  if (!desktop_.OpenFile(outputName_)) ShowRefusal(messageBox_, openFailure_ + outputName_);
}

}  // namespace quillary
