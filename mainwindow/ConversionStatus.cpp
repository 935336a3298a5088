#include "mainwindow/ConversionStatus.h"

#include <QLabel>
#include <QPushButton>

#include "commondialog/DesktopOpener.h"
#include "convert/Conv.h"  // ConvertCommand keeps a guarded pointer to it
#include "convert/ConvertCommand.h"
#include "sheet/CommandMessages.h"

namespace quillary {

ConversionStatus::ConversionStatus(DesktopOpener& desktop, MessageBox& messageBox, QWidget* parent)
    : QStatusBar(parent), desktop_(desktop), messageBox_(messageBox) {
  setObjectName(QStringLiteral("ConversionStatus"));
  setSizeGripEnabled(false);
  message_ = new QLabel(this);
  message_->setObjectName(QStringLiteral("ConversionMessage"));
  // A long path must not widen the window: the line is cut, the tooltip whole.
  message_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  addWidget(message_, 1);
  OpenOutput = new QPushButton(QStringLiteral("出力を開く"), this);
  OpenOutput->setObjectName(QStringLiteral("OpenOutput"));
  OpenOutput->setFocusPolicy(Qt::NoFocus);
  addPermanentWidget(OpenOutput);
  connect(OpenOutput, &QPushButton::clicked, this, [this] { OpenOutput_Click(); });
  hide();
}

void ConversionStatus::Show(const ConversionDone& done) {
  outputName_ = done.outputName;
  const QString text = ConversionStatusText(done);
  message_->setText(text);
  message_->setToolTip(text);
  show();
}

void ConversionStatus::OpenOutput_Click() {
  if (!desktop_.OpenFile(outputName_))
    ShowRefusal(messageBox_, QStringLiteral("出力ファイルを開けませんでした。\n") + outputName_);
}

}  // namespace quillary
