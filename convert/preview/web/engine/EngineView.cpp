#include "convert/preview/web/engine/EngineView.h"

#include <signal.h>

#include <QContextMenuEvent>
#include <QMenu>
#include <QPointer>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

#include "convert/preview/web/engine/PageRequestGuard.h"
#include "convert/preview/web/engine/PageSchemeHandler.h"
#include "convert/preview/web/engine/PageSchemes.h"
#include "convert/preview/web/engine/PreviewProfile.h"
#include "convert/preview/web/engine/RemoteFetch.h"

namespace quillary {

namespace {

const QString kScrollScript = QStringLiteral("quillary-scroll");

QString ScrollTo(const QPointF& place) {
  return QStringLiteral("window.scrollTo(%1, %2);").arg(place.x()).arg(place.y());
}

}  // namespace

EngineView::EngineView(WebPageHost& host, QWidget* parent)
    : QWebEngineView(parent),
      host_(host),
      profile_(NewPreviewProfile(host, this)),
      remote_(new RemoteFetch(this)),
      scheme_(new PageSchemeHandler(host, *remote_, this)),
      guard_(new PageRequestGuard(host, this)),
      page_(new LockedPage(profile_, host, this)) {
  setObjectName(QStringLiteral("WebPage"));
  for (const char* scheme : {kPageScheme, kRemoteScheme}) profile_->installUrlSchemeHandler(scheme, scheme_);
  page_->setUrlRequestInterceptor(guard_);
  setPage(page_);
  timeLimitTimer_.setSingleShot(true);
  answerTimer_.setSingleShot(true);
  connect(&timeLimitTimer_, &QTimer::timeout, this, [this] { TimeUp(); });
  connect(&answerTimer_, &QTimer::timeout, this, [this] { StopRenderer(); });
  connect(page_, &QWebEnginePage::loadingChanged, this,
          [this](const QWebEngineLoadingInfo& info) { LoadingChanged(info); });
  connect(page_, &QWebEnginePage::renderProcessTerminated, this,
          [this](QWebEnginePage::RenderProcessTerminationStatus status, int) { Terminated(status); });
}

EngineView::~EngineView() {
  // The page goes before its profile, and a script's answer that never
  // came is not waited for.
  closing_ = true;
  delete page_;
  delete profile_;
}

void EngineView::Load(const WebPageContent& content) {
  // While a load is under way, its place is still the one wanted.
  if (!content.keepScroll)
    scroll_ = QPointF();
  else if (!waiting_ && !discarded_)
    scroll_ = Scrolled();
  content_ = content;
  url_ = PageUrl(content.path);
  scheme_->SetPage(content);
  guard_->SetRemote(content.remote);
  page_->settings()->setDefaultTextEncoding(QString::fromLatin1(content.defaultEncoding));
  if (discarded_) return;  // loaded when shown
  Start();
}

void EngineView::Start() {
  // A load asked of a renderer being killed is lost: it waits for the end.
  if (killed_) {
    startWhenKilled_ = true;
    return;
  }
  remote_->StartPage();
  ScrollOnReady();
  waiting_ = true;
  started_ = false;
  answerTimer_.stop();
  timeLimitTimer_.start(timeLimit_);
  page_->ExpectLoad(url_);
  page_->load(url_);
}

// Before the page is first drawn, and again when it has all it names.
void EngineView::ScrollOnReady() {
  QWebEngineScriptCollection& scripts = page_->scripts();
  for (const QWebEngineScript& old : scripts.find(kScrollScript)) scripts.remove(old);
  if (scroll_.isNull()) return;
  QWebEngineScript script;
  script.setName(kScrollScript);
  script.setInjectionPoint(QWebEngineScript::DocumentReady);
  script.setWorldId(QWebEngineScript::ApplicationWorld);
  script.setRunsOnSubFrames(false);
  script.setSourceCode(ScrollTo(scroll_));
  scripts.insert(script);
}

void EngineView::LoadingChanged(const QWebEngineLoadingInfo& info) {
  if (!waiting_ || info.url() != url_) return;
  // Loads are started in order: the first start after ours was asked for
  // is ours, and so is the success after it.
  if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) started_ = true;
  if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus && started_) End(WebPageEnd::Loaded);
}

// A renderer that still answers is only waiting for what the page names.
void EngineView::TimeUp() {
  if (!waiting_) return;
  const int question = ++question_;
  answerTimer_.start(kAnswerMs);
  page_->runJavaScript(QStringLiteral("0"), QWebEngineScript::ApplicationWorld,
                       [view = QPointer<EngineView>(this), question](const QVariant& answer) {
                         if (view) view->Answered(question, answer);
                       });
}

void EngineView::Answered(int question, const QVariant& answer) {
  // An answer the page's end gave in place of the renderer's is none.
  if (closing_ || question != question_ || !answer.isValid() || !waiting_) return;
  End(WebPageEnd::Loaded);
}

void EngineView::StopRenderer() {
  if (!waiting_) return;
  const qint64 renderer = page_->renderProcessPid();
  // (No pid is 0, which would be the whole process group.)
  if (renderer > 0 && ::kill(static_cast<pid_t>(renderer), SIGKILL) == 0) killed_ = true;
  End(WebPageEnd::TimedOut);
}

void EngineView::Terminated(QWebEnginePage::RenderProcessTerminationStatus status) {
  if (std::exchange(killed_, false)) {
    if (std::exchange(startWhenKilled_, false)) Start();
    return;
  }
  if (status == QWebEnginePage::NormalTerminationStatus) return;
  End(WebPageEnd::Crashed);
}

void EngineView::End(WebPageEnd end) {
  waiting_ = false;
  timeLimitTimer_.stop();
  answerTimer_.stop();
  if (end == WebPageEnd::Loaded && !scroll_.isNull())
    page_->runJavaScript(ScrollTo(scroll_), QWebEngineScript::ApplicationWorld);
  host_.Ended(end);
}

QPointF EngineView::Scrolled() const { return page_->scrollPosition() / page_->zoomFactor(); }

void EngineView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* copy =
      menu.addAction(QStringLiteral("コピー(&C)"), this, [this] { triggerPageAction(QWebEnginePage::Copy); });
  copy->setEnabled(page_->hasSelection());
  menu.addAction(QStringLiteral("すべて選択(&A)"), this, [this] { triggerPageAction(QWebEnginePage::SelectAll); });
  if (const QWebEngineContextMenuRequest* request = lastContextMenuRequest()) {
    if (const QUrl link = host_.BrowserLink(request->linkUrl()); !link.isEmpty()) {
      menu.addSeparator();
      menu.addAction(QStringLiteral("リンクをブラウザーで開く(&B)"), this, [this, link] { host_.OpenLink(link); });
    }
  }
  menu.exec(event->globalPos());
}

void EngineView::showEvent(QShowEvent* event) {
  QWebEngineView::showEvent(event);
  if (!std::exchange(discarded_, false)) return;
  // Made active, the page reloads what it showed; then the latest comes.
  page_->ExpectLoad(page_->url());
  page_->setLifecycleState(QWebEnginePage::LifecycleState::Active);
  Start();
}

void EngineView::hideEvent(QHideEvent* event) {
  QWebEngineView::hideEvent(event);
  // Once the engine knows the page is hidden.
  QTimer::singleShot(0, this, [this] { GiveUpRenderer(); });
}

void EngineView::GiveUpRenderer() {
  if (isVisible() || discarded_ || page_->lifecycleState() != QWebEnginePage::LifecycleState::Active) return;
  if (!waiting_) scroll_ = Scrolled();
  page_->setLifecycleState(QWebEnginePage::LifecycleState::Discarded);
  if (page_->lifecycleState() != QWebEnginePage::LifecycleState::Discarded) return;
  discarded_ = true;
  waiting_ = false;
  timeLimitTimer_.stop();
  answerTimer_.stop();
}

}  // namespace quillary
