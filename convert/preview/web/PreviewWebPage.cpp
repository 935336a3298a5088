#include "convert/preview/web/PreviewWebPage.h"

#include <algorithm>

#include <QCheckBox>
#include <QFileInfo>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "commondialog/DesktopOpener.h"
#include "convert/preview/web/WebPreviewEngine.h"
#include "platform/FileIO.h"
#include "platform/FileUnderRoot.h"

namespace quillary {

namespace {

using Refusal = PreviewResources::Refusal;

// The page's bytes as Convert writes them; a character the encoding cannot
// hold (which stops Convert) leaves the page in UTF-8, said so.
void Encode(std::u16string_view page, TextEncoding encoding, WebPageContent& content) {
  content.defaultEncoding = encoding == TextEncoding::Cp932 ? "Shift_JIS" : "UTF-8";
  content.contentType = "text/html";
  try {
    const std::string bytes = EncodeText(page, encoding);
    content.bytes = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
  } catch (const Error&) {
    content.bytes = QString::fromUtf16(page.data(), static_cast<qsizetype>(page.size())).toUtf8();
    content.contentType = "text/html; charset=utf-8";
  }
}

}  // namespace

PreviewWebPage::PreviewWebPage(PreviewPage* richText, QWidget* parent) : QWidget(parent), richText_(richText) {
  setObjectName(QStringLiteral("PageTab"));
  stack_ = new QStackedWidget(this);
  stack_->addWidget(richText_);
  Remote = new QCheckBox(QStringLiteral("外部の画像などを読み込む(&W)"), this);
  Remote->setObjectName(QStringLiteral("Remote"));
  Remote->setToolTip(
      QStringLiteral("このプレビューで、ページが名指す http と https の画像などをネットから読み込みます"));
  remoteRow_ = new QWidget(this);
  auto* row = new QHBoxLayout(remoteRow_);
  row->setContentsMargins(4, 2, 4, 2);
  row->addWidget(Remote);
  row->addStretch();
  remoteRow_->hide();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(stack_, 1);
  layout->addWidget(remoteRow_);
  connect(Remote, &QCheckBox::toggled, this, [this](bool on) {
    content_.remote = on;
    content_.keepScroll = true;
    if (ShowsWeb()) Load();
  });
  connect(&WebPreviewEngine::Instance(), &WebPreviewEngine::Changed, this, &PreviewWebPage::Redraw);
}

PreviewWebPage::~PreviewWebPage() {
  // The engine's page goes first: it may still call this host as it goes.
  delete web_;
}

bool PreviewWebPage::ShowWeb(std::u16string_view page, TextEncoding encoding, const QString& templateName) {
  WebPreviewEngine& engine = WebPreviewEngine::Instance();
  engine.Check();
  if (engine.state() != WebPreviewEngine::State::Ready) return false;
  WebPageContent content;
  Encode(page, encoding, content);
  content.path = QFileInfo(templateName).absoluteFilePath();
  content.remote = Remote->isChecked();
  if (!failedPage_.isNull() && content.bytes == failedPage_ && content.path == content_.path) return false;
  failedPage_.clear();
  failure_.clear();
  content.keepScroll = web_ && content.path == content_.path;
  content_ = std::move(content);
  folder_ = QFileInfo(content_.path).absolutePath();
  if (!web_) {
    web_ = engine.CreatePage(*this, stack_);
    if (!web_) return false;
    stack_->addWidget(web_->widget());
  }
  stack_->setCurrentWidget(web_->widget());
  remoteRow_->show();
  Load();
  return true;
}

void PreviewWebPage::ShowRichText() {
  stack_->setCurrentWidget(richText_);
  remoteRow_->hide();
}

bool PreviewWebPage::ShowsWeb() const { return web_ && stack_->currentWidget() == web_->widget(); }

void PreviewWebPage::Load() {
  report_ = PreviewPage::Report();
  refusedNames_.clear();
  bytesRead_ = 0;
  stopped_ = 0;
  web_->Load(content_);
  emit NoteChanged();
}

const PreviewPage::Report& PreviewWebPage::report() const { return ShowsWeb() ? report_ : richText_->report(); }

QStringList PreviewWebPage::NoteLines() const {
  QStringList lines;
  const WebPreviewEngine& engine = WebPreviewEngine::Instance();
  if (!failure_.isEmpty())
    lines << failure_;
  else if (engine.state() == WebPreviewEngine::State::Unavailable)
    lines << QStringLiteral("%1。ページを簡易表示しています。").arg(engine.whyNot());
  else if (engine.state() == WebPreviewEngine::State::Checking)
    lines << QStringLiteral("Web エンジンを準備しています。その間、ページを簡易表示しています。");
  if (ShowsWeb() && stopped_ > 0)
    lines << QStringLiteral("ページが求めた移動やウィンドウなど %1 件を止めました。").arg(stopped_);
  return lines;
}

std::optional<QByteArray> PreviewWebPage::ReadFile(const QString& path) {
  const PreviewResources::Limits limits;
  const std::uintmax_t room = std::min(limits.fileBytes, limits.pageBytes - std::min(limits.pageBytes, bytesRead_));
  try {
    const std::string read =
        ReadFileUnder(PathFromText(folder_.toStdU16String()), PathFromText(path.toStdU16String()), room);
    bytesRead_ += read.size();
    return QByteArray(read.data(), static_cast<qsizetype>(read.size()));
  } catch (const UnderRootError& error) {
    Count(RefusalOf(error.problem()), path);
  } catch (const std::exception&) {
    Count(Refusal::Unreadable, path);
  }
  return std::nullopt;
}

void PreviewWebPage::Refused(const QUrl& name) {
  static const QStringList kLocal{QStringLiteral("file"), QStringLiteral("filesystem")};
  Count(kLocal.contains(name.scheme(), Qt::CaseInsensitive) ? Refusal::Outside : Refusal::Network,
        name.toString(QUrl::FullyEncoded));
}

void PreviewWebPage::Count(Refusal refusal, const QString& name) {
  // A name the page asks for again is counted once, as the rich-text view
  // counts it.
  if (refusedNames_.contains(name)) return;
  refusedNames_.insert(name);
  ++report_.refused[static_cast<std::size_t>(refusal)];
  emit NoteChanged();
}

void PreviewWebPage::Stopped() {
  ++stopped_;
  emit NoteChanged();
}

QUrl PreviewWebPage::BrowserLink(const QUrl& link) const {
  if (!desktop_ || link.scheme() != QLatin1StringView(kWebPageScheme)) return QUrl();
  // Only what the page could show itself: a file of the template's folder.
  const QString path = QFileInfo(link.path(QUrl::FullyDecoded)).canonicalFilePath();
  const QString folder = QFileInfo(folder_).canonicalFilePath();
  if (path.isEmpty() || folder.isEmpty() || !path.startsWith(folder + u'/')) return QUrl();
  return QUrl::fromLocalFile(path);
}

void PreviewWebPage::OpenLink(const QUrl& link) {
  if (desktop_ && link.isLocalFile()) desktop_->OpenFile(link.toLocalFile());
}

void PreviewWebPage::Ended(WebPageEnd end) {
  if (end != WebPageEnd::Loaded) {
    failedPage_ = content_.bytes;
    failure_ = end == WebPageEnd::TimedOut
                   ? QStringLiteral("ページが時間内に表示されないため、簡易表示にしています。")
                   : QStringLiteral("ページを表示するプロセスが止まったため、簡易表示にしています。");
    emit Redraw();
  }
  emit Loaded(end);
}

}  // namespace quillary
