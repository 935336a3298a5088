#pragma once
// The page drawn by the web engine, in a renderer process of its own: a
// page that takes too long is stopped there (its renderer killed; the next
// load starts a new one), and the window's thread never waits for it. The
// scroll place is kept across loads of the same template; hidden, the page
// gives its renderer up, and it is made again when shown.

#include <QList>
#include <QPointF>
#include <QTimer>
#include <QWebEngineView>
#include <utility>

#include "convert/preview/web/WebPageView.h"
#include "convert/preview/web/engine/LockedPage.h"

class QWebEngineLoadingInfo;

namespace quillary {

class PageRequestGuard;
class PageSchemeHandler;
class RemoteFetch;

class EngineView final : public QWebEngineView, public WebPageView {
 public:
  EngineView(WebPageHost& host, QWidget* parent);
  ~EngineView() override;

  QWidget* widget() override { return this; }
  void Load(const WebPageContent& content) override;
  void SetTimeLimit(int milliseconds) override { timeLimit_ = milliseconds; }

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  // How long a renderer past its time limit has to answer.
  static constexpr int kAnswerMs = 2000;

  void Start();
  void LoadingChanged(const QWebEngineLoadingInfo& info);
  void TimeUp();
  void Answered(int question, const QVariant& answer);
  void StopRenderer();
  void Terminated(QWebEnginePage::RenderProcessTerminationStatus status);
  void End(WebPageEnd end);
  QPointF Scrolled() const;
  void ScrollOnReady();
  void GiveUpRenderer();

  WebPageHost& host_;
  QWebEngineProfile* profile_;
  RemoteFetch* remote_;
  PageSchemeHandler* scheme_;
  PageRequestGuard* guard_;
  LockedPage* page_;
  WebPageContent content_;
  QUrl url_;
  QPointF scroll_;
  QTimer timeLimitTimer_;
  QTimer answerTimer_;
  int timeLimit_ = 10'000;
  // A load of ours under way, and whether the engine has started it.
  bool waiting_ = false;
  bool started_ = false;
  // A renderer killed, whose end has not come yet, and a load waiting for it.
  bool killed_ = false;
  bool startWhenKilled_ = false;
  bool discarded_ = false;
  bool closing_ = false;
  int question_ = 0;
};

}  // namespace quillary
