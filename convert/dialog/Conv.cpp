#include "convert/dialog/Conv.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "commondialog/C_CommonDialog.h"
#include "commondialog/ErrorGuard.h"
#include "commondialog/MessageBox.h"
#include "convert/Module1.h"
#include "convert/dialog/EscapeNotice.h"
#include "sheet/commands/AskFileName.h"
#include "sheet/commands/CommandMessages.h"
#include "sheet/grid/Twips.h"

namespace quillary {

namespace {

const QString kAllFilesFilter = QStringLiteral("すべてのファイル(*.*)|*.*");

// The controls' rectangles in twips, relative to their parent.
constexpr TwipsRect kClientArea{0, 0, 5835, 2535};
constexpr TwipsRect kFrame1{120, 240, 5595, 675};
constexpr TwipsRect kFrame2{120, 1140, 5595, 675};
constexpr TwipsRect kNameBox{120, 240, 4935, 315};       // inside its frame
constexpr TwipsRect kBrowseButton{5160, 240, 315, 315};  // inside its frame
constexpr TwipsRect kOKButton{3000, 2040, 1215, 375};
constexpr TwipsRect kCancelButton{4380, 2040, 1215, 375};
// Left of the buttons, in the band the layout leaves free.
constexpr TwipsRect kEscapeNotice{120, 1920, 2760, 555};

template <typename Widget, typename... Args>
Widget* MakeControl(const char* name, const TwipsRect& rect, QWidget* parent, Args&&... args) {
  auto* widget = new Widget(std::forward<Args>(args)..., parent);
  widget->setObjectName(QString::fromLatin1(name));
  PlaceInTwips(*widget, rect);
  return widget;
}

QPushButton* MakeBrowseButton(const char* name, QWidget* frame) {
  auto* button = MakeControl<QPushButton>(name, kBrowseButton, frame, QStringLiteral("..."));
  // Enter in a name box runs the conversion's checks, never a browse.
  button->setAutoDefault(false);
  return button;
}

}  // namespace

Conv::Conv(CommonDialogBackend& backend, MessageBox& messageBox, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint),
      backend_(backend),
      messageBox_(messageBox) {
  setObjectName(QStringLiteral("Conv"));
  setWindowTitle(QStringLiteral("変換"));

  Frame1 = MakeControl<QGroupBox>("Frame1", kFrame1, this, QStringLiteral("定型ファイル"));
  Text1 = MakeControl<QLineEdit>("Text1", kNameBox, Frame1);
  Command1 = MakeBrowseButton("Command1", Frame1);
  Frame2 = MakeControl<QGroupBox>("Frame2", kFrame2, this, QStringLiteral("出力ファイル"));
  Text2 = MakeControl<QLineEdit>("Text2", kNameBox, Frame2);
  Command2 = MakeBrowseButton("Command2", Frame2);
  OKButton = MakeControl<QPushButton>("OKButton", kOKButton, this, QStringLiteral("変換"));
  OKButton->setDefault(true);
  CancelButton = MakeControl<QPushButton>("CancelButton", kCancelButton, this, QStringLiteral("ｷｬﾝｾﾙ"));
  CancelButton->setAutoDefault(false);

  EscapeNotice = MakeControl<QLabel>("EscapeNotice", kEscapeNotice, this, EscapeNoticeText());
  EscapeNotice->setWordWrap(true);
  EscapeNotice->setTextFormat(Qt::PlainText);
  EscapeNotice->hide();
  connect(Text1, &QLineEdit::textChanged, this,
          [this](const QString& name) { EscapeNotice->setVisible(escapeCheck_ && escapeCheck_(name)); });

  setTabOrder(OKButton, CancelButton);
  setTabOrder(CancelButton, Text1);
  setTabOrder(Text1, Command1);
  setTabOrder(Command1, Text2);
  setTabOrder(Text2, Command2);

  setFixedSize(TwipsToPixelsX(kClientArea.width, this), TwipsToPixelsY(kClientArea.height, this));

  ConnectGuarded(messageBox_, Command1, &QPushButton::clicked, this, &Conv::Command1_Click);
  ConnectGuarded(messageBox_, Command2, &QPushButton::clicked, this, &Conv::Command2_Click);
  ConnectGuarded(messageBox_, OKButton, &QPushButton::clicked, this, &Conv::OKButton_Click);
  ConnectGuarded(messageBox_, CancelButton, &QPushButton::clicked, this, &Conv::CancelButton_Click);
}

Conv::~Conv() = default;

void Conv::SetEscapeCheck(std::function<bool(const QString&)> check) {
  escapeCheck_ = std::move(check);
  EscapeNotice->setVisible(escapeCheck_ && escapeCheck_(Text1->text()));
}

void Conv::PrepareToOpen() {
  Text1->clear();
  Text2->clear();
  OKButton->setFocus();
}

QString Conv::TemplateName() const { return Text1->text(); }

QString Conv::OutputName() const { return Text2->text(); }

C_CommonDialog& Conv::BrowseDialog() {
  // No owner window is given: it stays 0.
  if (!browseDialog_) browseDialog_ = std::make_unique<C_CommonDialog>(backend_);
  return *browseDialog_;
}

std::optional<QString> Conv::Browse(FileDialogMode mode) {
  return AskFileName(BrowseDialog(), mode, kAllFilesFilter, messageBox_);
}

void Conv::Command1_Click() {
  // A chosen template that cannot be read is dropped without a word.
  const auto name = Browse(FileDialogMode::Open);
  if (name && FileExists(name->toStdU16String())) Text1->setText(*name);
}

void Conv::Command2_Click() {
  if (const auto name = Browse(FileDialogMode::Save)) Text2->setText(*name);
}

void Conv::Refuse(const QString& prompt) { ShowRefusal(messageBox_, prompt); }

void Conv::OKButton_Click() {
  const QString templateName = TemplateName();
  const QString outputName = OutputName();
  if (templateName.isEmpty()) return Refuse(QStringLiteral("定型ファイル名を入力してください"));
  if (!FileExists(templateName.toStdU16String())) return Refuse(QStringLiteral("定型ファイルが存在しません"));
  if (outputName.isEmpty()) return Refuse(QStringLiteral("出力ファイル名を入力してください"));
  if (FileExists(outputName.toStdU16String()) && !MayReplaceOutput(messageBox_)) return;
  accept();
}

bool MayReplaceOutput(MessageBox& messageBox) {
  return messageBox.Show(QStringLiteral("出力ファイルはすでに存在します\n置き換えますか？"), MsgButtons::YesNo,
                         MsgIcon::Information, QStringLiteral("確認")) == MsgResult::Yes;
}

void Conv::CancelButton_Click() { reject(); }

void Conv::reject() {
  Text1->clear();
  Text2->clear();
  QDialog::reject();
}

}  // namespace quillary
