#include "convert/preview/PreviewViews.h"

#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QTabWidget>
#include <QTextDocument>
#include <QVBoxLayout>

#include "convert/preview/PreviewPage.h"
#include "convert/preview/PreviewTextView.h"
#include "convert/preview/web/PreviewWebPage.h"

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

// What the page shown could not have, a line for each kind.
QStringList PageLosses(const PreviewPage::Report& report) {
  using Refusal = PreviewResources::Refusal;
  static const std::pair<Refusal, const char16_t*> kRefusals[] = {{Refusal::Outside, u"定型ファイルのフォルダーの外"},
                                                                  {Refusal::Network, u"ネット上"},
                                                                  {Refusal::NotRegular, u"通常のファイルでない"},
                                                                  {Refusal::TooLarge, u"大きすぎる"},
                                                                  {Refusal::Unreadable, u"見つからないか読めない"}};
  QStringList kinds;
  int refused = 0;
  for (const auto& [refusal, kind] : kRefusals) {
    if (const int count = report.Refused(refusal); count > 0) {
      kinds << QString::fromUtf16(kind) + u' ' + QString::number(count);
      refused += count;
    }
  }
  QStringList lines;
  if (refused > 0)
    lines << QStringLiteral("画像やスタイルシートのうち %1 個は読み込みませんでした（%2）。")
                 .arg(QString::number(refused), kinds.join(u'、'));
  if (report.asText)
    lines << QStringLiteral("複雑すぎて組めないため、ページを文字だけで表示しています。");
  else if (report.simplified)
    lines << QStringLiteral("入れ子の深い表や大きすぎる表などを簡略にして表示しています。");
  if (report.capped) lines << QStringLiteral("大きすぎる余白や文字の大きさなどを抑えて表示しています。");
  return lines;
}

}  // namespace

PreviewViews::PreviewViews(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PreviewViews"));
  Unknown = new QLabel(this);
  Unknown->setObjectName(QStringLiteral("Unknown"));
  Unknown->setWordWrap(true);
  Unknown->setStyleSheet(QStringLiteral("QLabel { background: #d8c8ff; padding: 3px; }"));
  Unknown->hide();
  Tabs = new QTabWidget(this);
  Tabs->setObjectName(QStringLiteral("Tabs"));
  Page = new PreviewPage(Tabs);
  PageTab = new PreviewWebPage(Page, Tabs);
  OutputText = new PreviewTextView(Tabs);
  Tabs->addTab(PageTab, QStringLiteral("ページ"));
  Tabs->addTab(OutputText, QStringLiteral("テキスト"));
  Note = new QLabel(this);
  Note->setObjectName(QStringLiteral("Note"));
  Note->setWordWrap(true);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Unknown);
  layout->addWidget(Tabs, 1);
  layout->addWidget(Note);
  connect(Tabs, &QTabWidget::currentChanged, this, [this] {
    FillFront();
    WriteNote();
  });
  connect(PageTab, &PreviewWebPage::Redraw, this, [this] {
    pageFilled_ = false;
    FillFront();
    WriteNote();
  });
  connect(PageTab, &PreviewWebPage::NoteChanged, this, &PreviewViews::WriteNote);
}

void PreviewViews::Show(std::shared_ptr<const PreviewResult> result, const QString& templateName,
                        const PreviewLimits& limits) {
  result_ = std::move(result);
  templateName_ = templateName;
  limits_ = limits;
  pageFilled_ = false;
  textFilled_ = false;
  ListUnknown();
  FillFront();
  WriteNote();
}

void PreviewViews::ListUnknown() {
  const NameCounts& unknown = result_->expansion.summary.unknown;
  // Enough to find them by; the text view marks every one.
  constexpr int kListed = 10;
  QStringList names;
  for (const auto& entry : unknown) {
    if (names.size() == kListed) {
      names << QStringLiteral("…");
      break;
    }
    names << QString::fromStdU16String(entry.first);
  }
  Unknown->setText(QStringLiteral("どのフィールド名でもない差し込み（名前の誤り？）: ") + names.join(u'、'));
  Unknown->setVisible(!unknown.empty());
}

void PreviewViews::FillFront() {
  if (!result_) return;
  if (Tabs->currentWidget() == PageTab && !pageFilled_) FillPage();
  if (Tabs->currentWidget() == OutputText && !textFilled_) FillText();
}

void PreviewViews::FillPage() {
  pageFilled_ = true;
  const std::u16string_view text = result_->expansion.text;
  const QString shown = ToQString(PageStart(text, limits_.pageUnits));
  const bool page = IsPageName(templateName_) || Qt::mightBeRichText(shown);
  // The web engine draws as much as the text view shows, where it can.
  if (page && PageTab->ShowWeb(PageStart(text, limits_.textUnits), result_->encoding, templateName_)) return;
  PageTab->ShowRichText();
  // Pictures and style sheets named relative to the template are found
  // beside it.
  if (page)
    Page->ShowPage(shown, QFileInfo(templateName_).absolutePath());
  else
    Page->ShowText(shown);
}

void PreviewViews::FillText() {
  textFilled_ = true;
  const PreviewExpansion& expansion = result_->expansion;
  // The marks reach as far as the text shown.
  OutputText->ShowOutput(PageStart(expansion.text, limits_.textUnits), expansion.values, expansion.unfilled,
                         expansion.unknown);
}

void PreviewViews::WriteNote() {
  if (!result_) return Note->clear();
  const PreviewExpansion& expansion = result_->expansion;
  const bool page = Tabs->currentWidget() == PageTab;
  const std::size_t shown = page && !PageTab->ShowsWeb() ? limits_.pageUnits : limits_.textUnits;
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
  if (page) lines << PageLosses(PageTab->report()) << PageTab->NoteLines();
  if (!page) {
    lines << (expansion.valuesMarked
                  ? QStringLiteral(
                        "黄色は差し込んだ値、赤は埋まらずに残った差し込み、紫はどのフィールド名でもない差し込みです。")
                  : QStringLiteral(
                        "赤は埋まらずに残った差し込み、紫はどのフィールド名でもない差し込みです（値と前後の文字が"
                        "差し込みを作ったため、差し込んだ値には印を付けていません）。"));
  }
  Note->setText(lines.join(u'\n'));
}

}  // namespace quillary
