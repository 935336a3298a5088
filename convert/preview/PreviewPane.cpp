#include "convert/preview/PreviewPane.h"

#include <algorithm>

#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "commondialog/C_CommonDialog.h"
#include "commondialog/ErrorGuard.h"
#include "commondialog/Services.h"
#include "convert/dialog/ConvertCommand.h"
#include "convert/preview/PreviewBrowserFile.h"
#include "convert/preview/PreviewRefresh.h"
#include "convert/preview/PreviewViews.h"
#include "convert/preview/web/PreviewWebPage.h"
#include "sheet/Sheet.h"
#include "sheet/commands/AskFileName.h"
#include "sheet/commands/CommandMessages.h"
#include "sheet/document/SheetDocument.h"

namespace quillary {

namespace {

const QString kAllFilesFilter = QStringLiteral("すべてのファイル(*.*)|*.*");

// The first size in pixels (at least as high as the owner), and the gap
// to the owner.
constexpr int kWidth = 560;
constexpr int kHeight = 600;
constexpr int kGap = 8;

QLabel* MakeLabel(const char* name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setWordWrap(true);
  // A long name or message must not widen the window, nor a short one
  // take the room of the views.
  label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Maximum);
  return label;
}

QPushButton* MakeButton(const char* name, const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  return button;
}

// The field names and one record: what a page of that record is made from.
Sheet RecordSheet(const Sheet& sheet, int record) {
  Sheet one(2, sheet.Cols());
  for (int col = 0; col < sheet.Cols(); ++col) {
    one.SetShared(0, col, sheet.Shared(0, col));
    // A row label is its row's number: the record's own, as text.
    one.SetShared(1, col, col == 0 ? SharedText::Copy(sheet.Text(record, 0)) : sheet.Shared(record, col));
  }
  return one;
}

}  // namespace

PreviewPane::PreviewPane(const SheetDocument& document, const Services& services,
                         std::function<QString()> convertTemplate, std::function<int()> currentRow, QWidget* owner)
    : QWidget(owner, Qt::Tool),
      document_(document),
      dialogBackend_(services.dialogBackend),
      messageBox_(services.messageBox),
      desktop_(*services.desktop),
      convertTemplate_(std::move(convertTemplate)),
      currentRow_(std::move(currentRow)),
      browserFile_(std::make_unique<PreviewBrowserFile>(desktop_)) {
  setObjectName(QStringLiteral("PreviewPane"));
  setWindowTitle(QStringLiteral("プレビュー"));
  // Showing it leaves the keyboard with the sheet.
  setAttribute(Qt::WA_ShowWithoutActivating);
  refresh_ = new PreviewRefresh(
      document_, [this] { Refresh(); }, this);

  Notice = MakeLabel("Notice", this);
  Notice->setText(
      QStringLiteral("グリッドの今のシートで表示しています（変換は最後に開いたか保存したシートを使います）"));
  Notice->setStyleSheet(QStringLiteral("QLabel { background: #e8f0fb; padding: 3px; }"));
  TemplateLabel = MakeLabel("TemplateLabel", this);
  ChooseTemplate = MakeButton("ChooseTemplate", QStringLiteral("定型ファイル(&T)..."), this);
  OpenOutput = MakeButton("OpenOutput", QStringLiteral("出力を開く(&B)"), this);
  OpenOutput->setToolTip(
      QStringLiteral("このプレビューを一時ファイルに書き出してブラウザーで開きます（出力ファイルには何も書きません）"));
  PageChoice = new QComboBox(this);
  PageChoice->setObjectName(QStringLiteral("PageChoice"));
  PageChoice->addItems({QStringLiteral("ページ全体"), QStringLiteral("このレコードのページ")});
  PageChoice->setToolTip(QStringLiteral(
      "「このレコードのページ」は、今のセルのレコードだけで作るページ（レコードごとに変換の 1 ファイル）を表示します"));
  PageChoice->setVisible(static_cast<bool>(currentRow_));
  Problem = MakeLabel("Problem", this);
  Problem->setTextInteractionFlags(Qt::TextSelectableByMouse);
  Views = new PreviewViews(this);
  Views->PageTab->SetDesktop(&desktop_);
  Summary = MakeLabel("Summary", this);

  auto* templateRow = new QHBoxLayout;
  templateRow->addWidget(TemplateLabel, 1);
  templateRow->addWidget(ChooseTemplate);
  templateRow->addWidget(PageChoice);
  templateRow->addWidget(OpenOutput);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Notice);
  layout->addLayout(templateRow);
  layout->addWidget(Problem);
  layout->addWidget(Views, 1);
  layout->addWidget(Summary);
  // Without the views, what there is stays at the top.
  layout->addStretch();

  const auto guarded = [this](void (PreviewPane::*handler)()) {
    return [this, handler] { RunGuarded(messageBox_, [&] { (this->*handler)(); }); };
  };
  connect(ChooseTemplate, &QPushButton::clicked, this, guarded(&PreviewPane::ChooseTemplate_Click));
  connect(OpenOutput, &QPushButton::clicked, this, guarded(&PreviewPane::OpenOutput_Click));
  connect(PageChoice, &QComboBox::currentIndexChanged, this, [this] { refresh_->RefreshNow(); });
  if (owner) owner->installEventFilter(this);
  SetTemplateName(QString());
}

PreviewPane::~PreviewPane() = default;

void PreviewPane::ShowBeside() {
  QWidget* owner = parentWidget();
  if (!placed_ && owner) {
    placed_ = true;
    const QRect frame = owner->frameGeometry();
    const QRect screen = owner->screen()->availableGeometry();
    resize(kWidth, std::min(std::max(owner->height(), kHeight), screen.height()));
    int x = frame.right() + 1 + kGap;
    if (x + kWidth > screen.right()) x = frame.left() - kWidth - kGap;
    if (x < screen.left()) x = screen.right() - kWidth;
    move(x, frame.top());
  }
  show();
  raise();
}

void PreviewPane::ChooseTemplate_Click() {
  if (!browseDialog_) browseDialog_ = std::make_unique<C_CommonDialog>(dialogBackend_);
  if (!templateName_.isEmpty()) browseDialog_->SetInitDir(QFileInfo(templateName_).absolutePath());
  if (const auto name = AskFileName(*browseDialog_, FileDialogMode::Open, kAllFilesFilter, messageBox_)) {
    templateChosen_ = true;
    SetTemplateName(*name);
  }
}

void PreviewPane::ConvertedWith(const QString& templateName) {
  if (!templateChosen_ && templateName != templateName_) SetTemplateName(templateName);
}

std::optional<QRect> PreviewPane::Placement() const {
  if (!placed_) return std::nullopt;
  return geometry();
}

void PreviewPane::SetPlacement(const QRect& placement) {
  placed_ = true;
  setGeometry(placement);
}

void PreviewPane::OpenOutput_Click() {
  if (!result_ || !result_->HasOutput() || !result_->unwritable.isEmpty()) return;
  QString problem;
  if (!browserFile_->Open(result_->bytes, templateName_, problem)) ShowRefusal(messageBox_, problem);
}

void PreviewPane::SetTemplateName(const QString& name) {
  templateName_ = name;
  TemplateLabel->setText(QStringLiteral("定型ファイル: ") +
                         (name.isEmpty() ? QStringLiteral("（未選択）") : QFileInfo(name).fileName()));
  TemplateLabel->setToolTip(name);
  refresh_->Watch(name);
  refresh_->RefreshNow();
}

void PreviewPane::TakeConvertTemplate() {
  if (!templateName_.isEmpty() || !convertTemplate_) return;
  if (const QString name = convertTemplate_(); !name.isEmpty()) SetTemplateName(name);
}

void PreviewPane::ShowRecordPage(bool recordPage) { PageChoice->setCurrentIndex(recordPage ? 1 : 0); }

void PreviewPane::CurrentRowChanged() {
  // The field-name row shows the first record's page.
  if (PageChoice->currentIndex() == 1 && std::max(currentRow_(), 1) != shownRecord_) refresh_->Changed();
}

void PreviewPane::Refresh() {
  RunGuarded(messageBox_, [this] {
    if (templateName_.isEmpty()) {
      result_.reset();
      ShowProblem(QStringLiteral("「定型ファイル」で定型ファイルを選ぶと、変換の結果をここに表示します。"), false);
      return;
    }
    const Sheet& sheet = document_.sheet();
    shownRecord_ = PageChoice->currentIndex() == 1 && currentRow_ && sheet.Rows() > 1
                       ? std::clamp(currentRow_(), 1, sheet.Rows() - 1)
                       : 0;
    result_ = std::make_shared<const PreviewResult>(RenderPreview(
        templateName_, shownRecord_ > 0 ? RecordSheet(sheet, shownRecord_) : sheet, document_.fileEncoding(), limits_));
    ShowResult();
  });
}

void PreviewPane::ShowResult() {
  if (!result_->HasOutput()) return ShowProblem(result_->problem, true);
  ShowProblem(result_->unwritable, true);
  Views->show();
  Views->Show(result_, templateName_, limits_);
  const ConversionSummary& summary = result_->expansion.summary;
  const QString page = shownRecord_ > 0 ? QStringLiteral("レコード %1 のページ　").arg(shownRecord_) : QString();
  Summary->setText(page + FilledText(summary) + EscapingText(summary) + LeftOverText(summary) +
                   QStringLiteral("　出力の文字コード: ") + EncodingLabel(result_->encoding));
  Summary->setToolTip(Summary->text());
  Summary->show();
  OpenOutput->setEnabled(result_->unwritable.isEmpty());
}

void PreviewPane::ShowProblem(const QString& problem, bool error) {
  Problem->setText(problem);
  Problem->setStyleSheet(error ? QStringLiteral("QLabel { color: #b00000; }") : QString());
  Problem->setVisible(!problem.isEmpty());
  if (result_ && result_->HasOutput()) return;
  // No output: nothing to show or open.
  Views->hide();
  Summary->hide();
  OpenOutput->setEnabled(false);
}

void PreviewPane::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  TakeConvertTemplate();
  refresh_->SetShown(true);
  emit ShownChanged(true);
}

void PreviewPane::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  refresh_->SetShown(false);
  emit ShownChanged(false);
}

bool PreviewPane::eventFilter(QObject* watched, QEvent* event) {
  // Minimising the owner is the window system's doing; the pane goes with it there.
  if (watched == parentWidget() && event->type() == QEvent::Hide && !event->spontaneous()) hide();
  return QWidget::eventFilter(watched, event);
}

}  // namespace quillary
