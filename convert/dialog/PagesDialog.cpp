#include "convert/dialog/PagesDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QVBoxLayout>

#include "commondialog/C_CommonDialog.h"
#include "commondialog/ErrorGuard.h"
#include "commondialog/MessageBox.h"
#include "convert/Module1.h"
#include "convert/dialog/EscapeNotice.h"
#include "platform/FileIO.h"
#include "sheet/commands/AskFileName.h"
#include "sheet/commands/CommandMessages.h"

namespace quillary {

namespace {

const QString kAllFilesFilter = QStringLiteral("すべてのファイル(*.*)|*.*");
// The first names shown; the count says how many there are.
constexpr std::size_t kShownNames = 3;
// Records named in a refusal; more are counted.
constexpr std::size_t kShownRecords = 10;
// Typing replans a moment after the last key, not at every one.
constexpr int kReplanDelayMs = 200;

QString RecordList(const std::vector<int>& records) {
  QStringList listed;
  for (std::size_t i = 0; i < records.size() && i < kShownRecords; ++i) listed << QString::number(records[i]);
  QString text = listed.join(QStringLiteral("、"));
  if (records.size() > kShownRecords) text += QStringLiteral(" ほか %1 件").arg(records.size() - kShownRecords);
  return text;
}

std::filesystem::path PathOf(const QString& name) { return PathFromText(name.toStdU16String()); }

QPushButton* BrowseButton(const char* name, QWidget* parent) {
  auto* button = new QPushButton(QStringLiteral("..."), parent);
  button->setObjectName(QString::fromLatin1(name));
  // Enter in a box writes (after the checks), never browses.
  button->setAutoDefault(false);
  // As small as the Convert dialog's, beside its box.
  button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 16);
  return button;
}

QLineEdit* NameBox(const char* name, QWidget* parent) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 48);
  return box;
}

}  // namespace

QString PlanSummaryText(const PagesPlan& plan) {
  QStringList names;
  for (std::size_t i = 0; i < plan.pages.size() && i < kShownNames; ++i)
    names << QString::fromStdU16String(plan.pages[i].name);
  if (plan.pages.size() > kShownNames) names << QStringLiteral("…");
  QString text = QStringLiteral("%1 個のファイルを書き出します").arg(plan.pages.size());
  if (const std::size_t replaced = plan.Replaced(); replaced > 0)
    text += QStringLiteral("（うち %1 個は既存のファイルを置き換え）").arg(replaced);
  return text + QStringLiteral(": ") + names.join(QStringLiteral("、"));
}

QString PageNameProblemText(const PageNameError& error) {
  if (error.kind() == PageNameError::Kind::Empty)
    return QStringLiteral("レコード %1 のファイル名が空になります。").arg(RecordList(error.records()));
  if (error.kind() == PageNameError::Kind::Protected)
    return QStringLiteral("レコード %1 のファイル名「%2」は定型ファイルか CSV ファイルそのものです。")
        .arg(RecordList(error.records()), QString::fromStdU16String(error.name()));
  return QStringLiteral("レコード %1 のファイル名が同じ「%2」になります。")
      .arg(RecordList(error.records()), QString::fromStdU16String(error.name()));
}

PagesDialog::PagesDialog(CommonDialogBackend& backend, MessageBox& messageBox, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint),
      backend_(backend),
      messageBox_(messageBox) {
  setObjectName(QStringLiteral("PagesDialog"));
  setWindowTitle(QStringLiteral("レコードごとに変換"));

  TemplateBox = NameBox("TemplateBox", this);
  BrowseTemplate = BrowseButton("BrowseTemplate", this);
  FolderBox = NameBox("FolderBox", this);
  BrowseFolder = BrowseButton("BrowseFolder", this);
  PatternBox = NameBox("PatternBox", this);
  PatternBox->setPlaceholderText(QStringLiteral("例: item-<!-- 商品コード -->.html"));
  PlanText = new QLabel(this);
  PlanText->setObjectName(QStringLiteral("PlanText"));
  PlanText->setWordWrap(true);
  PlanText->setTextFormat(Qt::PlainText);
  PlanText->setMinimumHeight(PlanText->fontMetrics().lineSpacing() * 3);
  PlanText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  EscapeNotice = new QLabel(EscapeNoticeText(), this);
  EscapeNotice->setObjectName(QStringLiteral("EscapeNotice"));
  EscapeNotice->setTextFormat(Qt::PlainText);
  EscapeNotice->hide();

  OKButton = new QPushButton(QStringLiteral("書き出す"), this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setDefault(true);
  CancelButton = new QPushButton(QStringLiteral("キャンセル"), this);
  CancelButton->setObjectName(QStringLiteral("CancelButton"));
  CancelButton->setAutoDefault(false);

  const auto row = [this](QLineEdit* box, QPushButton* button) {
    auto* line = new QHBoxLayout;
    line->addWidget(box, 1);
    line->addWidget(button);
    return line;
  };
  const auto label = [this](const QString& caption, QLineEdit* box) {
    auto* text = new QLabel(caption, this);
    text->setBuddy(box);  // its access key reaches the box
    return text;
  };
  auto* form = new QFormLayout;
  form->addRow(label(QStringLiteral("定型ファイル(&T):"), TemplateBox), row(TemplateBox, BrowseTemplate));
  form->addRow(label(QStringLiteral("出力先フォルダー(&F):"), FolderBox), row(FolderBox, BrowseFolder));
  form->addRow(label(QStringLiteral("ファイル名(&N):"), PatternBox), PatternBox);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(OKButton, QDialogButtonBox::AcceptRole);
  buttons->addButton(CancelButton, QDialogButtonBox::RejectRole);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(PlanText);
  layout->addWidget(EscapeNotice);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  replan_ = new QTimer(this);
  replan_->setSingleShot(true);
  replan_->setInterval(kReplanDelayMs);
  connect(replan_, &QTimer::timeout, this, [this] { ShowPlan(); });
  for (QLineEdit* box : {TemplateBox, FolderBox, PatternBox})
    connect(box, &QLineEdit::textChanged, replan_, qOverload<>(&QTimer::start));

  ConnectGuarded(messageBox_, BrowseTemplate, &QPushButton::clicked, this, &PagesDialog::BrowseTemplate_Click);
  ConnectGuarded(messageBox_, BrowseFolder, &QPushButton::clicked, this, &PagesDialog::BrowseFolder_Click);
  ConnectGuarded(messageBox_, OKButton, &QPushButton::clicked, this, &PagesDialog::OKButton_Click);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

PagesDialog::~PagesDialog() = default;

void PagesDialog::PrepareToOpen(const CellSource& cells, int k, const QString& sheetFile) {
  cells_ = &cells;
  sheetFile_ = sheetFile;
  k_ = k;
  accepted_.reset();
  ShowPlan();
  (TemplateBox->text().isEmpty() ? static_cast<QWidget*>(TemplateBox) : OKButton)->setFocus();
}

QString PagesDialog::TemplateName() const { return TemplateBox->text(); }
QString PagesDialog::FolderName() const { return FolderBox->text(); }
QString PagesDialog::Pattern() const { return PatternBox->text(); }

C_CommonDialog& PagesDialog::BrowseDialog() {
  if (!browseDialog_) browseDialog_ = std::make_unique<C_CommonDialog>(backend_);
  return *browseDialog_;
}

void PagesDialog::BrowseTemplate_Click() {
  C_CommonDialog& dialog = BrowseDialog();
  // The object serves the folder question too.
  dialog.SetFlags(0);
  dialog.SetDialogTitle(QString());
  dialog.SetInitDir(QString());
  const auto name = AskFileName(dialog, FileDialogMode::Open, kAllFilesFilter, messageBox_, TemplateName());
  if (name && FileExists(name->toStdU16String())) TemplateBox->setText(*name);
}

void PagesDialog::BrowseFolder_Click() {
  C_CommonDialog& dialog = BrowseDialog();
  dialog.SetFlags(kPickFolderFlag);
  dialog.SetDialogTitle(QStringLiteral("出力先フォルダーの選択"));
  dialog.SetInitDir(FolderName());
  const auto name = AskFileName(dialog, FileDialogMode::Open, QString(), messageBox_);
  if (name) FolderBox->setText(*name);
}

PagesDialog::Planned PagesDialog::Plan() const {
  if (TemplateName().isEmpty()) return {std::nullopt, QStringLiteral("定型ファイル名を入力してください")};
  if (!FileExists(TemplateName().toStdU16String())) return {std::nullopt, QStringLiteral("定型ファイルが存在しません")};
  if (FolderName().isEmpty()) return {std::nullopt, QStringLiteral("出力先フォルダーを入力してください")};
  if (Pattern().isEmpty())
    return {std::nullopt, QStringLiteral("ファイル名を入力してください（例: item-<!-- 商品コード -->.html）")};
  if (!cells_) return {std::nullopt, QString()};
  try {
    std::vector<std::filesystem::path> kept{PathOf(TemplateName())};
    if (!sheetFile_.isEmpty()) kept.push_back(PathOf(sheetFile_));
    PagesPlan plan = PlanPages(Pattern().toStdU16String(), *cells_, k_, PathOf(FolderName()), kept);
    if (plan.pages.empty())
      return {std::nullopt, QStringLiteral("書き出すレコードがありません（どのレコードも空です）")};
    return {std::move(plan), QString()};
  } catch (const PageNameError& error) {
    return {std::nullopt, PageNameProblemText(error)};
  } catch (const FileWriteError&) {
    return {std::nullopt, QStringLiteral("出力先フォルダーが見つかりません")};
  }
}

void PagesDialog::ShowPlan() {
  replan_->stop();
  const Planned planned = Plan();
  PlanText->setText(planned.plan ? PlanSummaryText(*planned.plan) : planned.problem);
  EscapeNotice->setVisible(cells_ && TemplateEscapesValues(TemplateName(), *cells_, k_));
}

void PagesDialog::OKButton_Click() {
  ShowPlan();
  Planned planned = Plan();
  if (!planned.plan) {
    if (!planned.problem.isEmpty()) ShowRefusal(messageBox_, planned.problem);
    return;
  }
  if (const std::size_t replaced = planned.plan->Replaced(); replaced > 0) {
    const auto first = std::find_if(planned.plan->pages.begin(), planned.plan->pages.end(),
                                    [](const PlannedPage& page) { return page.exists; });
    QString files = QStringLiteral("「%1」").arg(QString::fromStdU16String(first->name));
    if (replaced > 1) files += QStringLiteral("ほか %1 個").arg(replaced - 1);
    const QString question =
        QStringLiteral("出力先フォルダーには同じ名前のファイルがすでにあります: %1\n置き換えますか？").arg(files);
    if (messageBox_.Show(question, MsgButtons::YesNo, MsgIcon::Information, QStringLiteral("確認")) != MsgResult::Yes)
      return;
  }
  accepted_ = std::move(planned.plan);
  accept();
}

}  // namespace quillary
