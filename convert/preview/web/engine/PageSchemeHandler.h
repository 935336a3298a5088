#pragma once
// Serves the page scheme: the page from memory, the other names from the
// template's folder through the host, which reads only regular files there,
// without blocking and within its limits; and the remote scheme through the
// fetcher. Called on the window's thread; it never waits.

#include <QWebEngineUrlSchemeHandler>

#include "convert/preview/web/WebPageView.h"

namespace quillary {

class RemoteFetch;

class PageSchemeHandler final : public QWebEngineUrlSchemeHandler {
 public:
  PageSchemeHandler(WebPageHost& host, RemoteFetch& remote, QObject* parent);

  void SetPage(const WebPageContent& content) { page_ = content; }
  void requestStarted(QWebEngineUrlRequestJob* job) override;

 private:
  WebPageHost& host_;
  RemoteFetch& remote_;
  WebPageContent page_;
};

// Replies with bytes that go with the job.
void ReplyWith(QWebEngineUrlRequestJob& job, const QByteArray& contentType, const QByteArray& bytes);

}  // namespace quillary
