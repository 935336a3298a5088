#include "convert/PreviewViews.h"

#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include "convert/PreviewTextView.h"

namespace quillary {

namespace {

// Within this many units before the cut, the page is cut after a tag's end
// rather than inside a tag.
constexpr std::size_t kTagReach = 1000;

bool IsPageName(const QString& templateName) {
  static const QStringList kPageSuffixes{QStringLiteral("htm"), QStringLiteral("html"), QStringLiteral("xhtml"),
                                         QStringLiteral("shtml")};
  return kPageSuffixes.contains(QFileInfo(templateName).suffix().toLower());
}

// The first `limit` units, never ending inside a tag or a surrogate pair.
std::u16string_view PageStart(std::u16string_view text, std::size_t limit) {
  if (text.size() <= limit) return text;
  std::u16string_view start = text.substr(0, limit);
  const std::size_t tagEnd = start.rfind(u'>');
  if (tagEnd != std::u16string_view::npos && limit - tagEnd <= kTagReach) return start.substr(0, tagEnd + 1);
  if (QChar::isHighSurrogate(start.back())) start.remove_suffix(1);
  return start;
}

QString ToQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QString Count(std::size_t units) { return QLocale(QLocale::C).toString(static_cast<qulonglong>(units)); }

}  // namespace

PreviewViews::PreviewViews(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PreviewViews"));
  Tabs = new QTabWidget(this);
  Tabs->setObjectName(QStringLiteral("Tabs"));
  Page = new QTextBrowser(Tabs);
  Page->setObjectName(QStringLiteral("Page"));
  // A link clicked in the preview leaves the preview where it is.
  Page->setOpenLinks(false);
  // A scroll bar that came with a long page would narrow it and lay every
  // table out twice.
  Page->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  OutputText = new PreviewTextView(Tabs);
  Tabs->addTab(Page, QStringLiteral("ページ"));
  Tabs->addTab(OutputText, QStringLiteral("テキスト"));
  Note = new QLabel(this);
  Note->setObjectName(QStringLiteral("Note"));
  Note->setWordWrap(true);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Tabs, 1);
  layout->addWidget(Note);
  connect(Tabs, &QTabWidget::currentChanged, this, [this] {
    FillFront();
    WriteNote();
  });
}

void PreviewViews::Show(std::shared_ptr<const PreviewResult> result, const QString& templateName,
                        const PreviewLimits& limits) {
  result_ = std::move(result);
  templateName_ = templateName;
  limits_ = limits;
  pageFilled_ = false;
  textFilled_ = false;
  FillFront();
  WriteNote();
}

void PreviewViews::FillFront() {
  if (!result_) return;
  if (Tabs->currentWidget() == Page && !pageFilled_) FillPage();
  if (Tabs->currentWidget() == OutputText && !textFilled_) FillText();
}

void PreviewViews::FillPage() {
  pageFilled_ = true;
  const std::u16string_view text = result_->expansion.text;
  // Pictures and style sheets named relative to the template are found
  // beside it.
  Page->setSearchPaths({QFileInfo(templateName_).absolutePath()});
  const QString shown = ToQString(PageStart(text, limits_.pageUnits));
  if (IsPageName(templateName_) || Qt::mightBeRichText(shown))
    Page->setHtml(shown);
  else
    Page->setPlainText(shown);
}

void PreviewViews::FillText() {
  textFilled_ = true;
  const PreviewExpansion& expansion = result_->expansion;
  // The marks reach as far as the text shown.
  OutputText->ShowOutput(PageStart(expansion.text, limits_.textUnits), expansion.values, expansion.unfilled);
}

void PreviewViews::WriteNote() {
  if (!result_) return Note->clear();
  const PreviewExpansion& expansion = result_->expansion;
  const bool page = Tabs->currentWidget() == Page;
  const std::size_t shown = page ? limits_.pageUnits : limits_.textUnits;
  QStringList lines;
  if (expansion.cut)
    lines << QStringLiteral(
                 "出力が %1 文字を超えるため、その先は作っていません（「出力を開く」で開くのもここまでです。"
                 "変換では全体を書き出します）。")
                 .arg(Count(limits_.outputUnits));
  else if (expansion.text.size() > shown)
    lines << QStringLiteral(
                 "長いため、先頭の約 %1 文字だけを表示しています（全体は %2 文字）。"
                 "全体は「出力を開く」でブラウザーに表示できます。")
                 .arg(Count(shown), Count(expansion.text.size()));
  if (!page) {
    lines << (expansion.valuesMarked ? QStringLiteral("黄色は差し込んだ値、赤は埋まらずに残った差し込みです。")
                                     : QStringLiteral("赤は埋まらずに残った差し込みです（値と前後の文字が差し込みを"
                                                      "作ったため、差し込んだ値には印を付けていません）。"));
  }
  Note->setText(lines.join(u'\n'));
}

}  // namespace quillary
