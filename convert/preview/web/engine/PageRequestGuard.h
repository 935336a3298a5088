#pragma once
// Every request of the page passes here before the engine makes it: only
// the program's own schemes and data: go on; http and https go to the
// program's fetcher where the user allows them; the rest is refused and
// counted. (A local file outside the folder the engine refuses itself.)

#include <QWebEngineUrlRequestInterceptor>

namespace quillary {

class WebPageHost;

class PageRequestGuard final : public QWebEngineUrlRequestInterceptor {
 public:
  PageRequestGuard(WebPageHost& host, QObject* parent);

  void SetRemote(bool remote) { remote_ = remote; }
  void interceptRequest(QWebEngineUrlRequestInfo& info) override;

 private:
  WebPageHost& host_;
  bool remote_ = false;
};

}  // namespace quillary
