#include "convert/preview/web/engine/RemoteFetch.h"

#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QPointer>
#include <QWebEngineUrlRequestJob>

#include "convert/preview/web/engine/PageSchemeHandler.h"
#include "convert/preview/web/engine/PageSchemes.h"

namespace quillary {

namespace {

// The proxy named by http_proxy and https_proxy, as command-line tools take
// it. The desktop's own lookup (libproxy) waits on the calling thread, which
// is the window's, for as long as it takes: it hung the preview.
class ProxyFromEnvironment final : public QNetworkProxyFactory {
 public:
  QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override {
    const bool https = query.url().scheme() == u"https";
    for (const char* name : {https ? "https_proxy" : "http_proxy", https ? "HTTPS_PROXY" : "HTTP_PROXY"}) {
      const QUrl proxy = QUrl::fromUserInput(qEnvironmentVariable(name));
      if (proxy.isValid() && !proxy.host().isEmpty())
        return {QNetworkProxy(QNetworkProxy::HttpProxy, proxy.host(), static_cast<quint16>(proxy.port(8080)),
                              proxy.userName(), proxy.password())};
    }
    return {QNetworkProxy(QNetworkProxy::NoProxy)};
  }
};

}  // namespace

RemoteFetch::RemoteFetch(QObject* parent) : QObject(parent) {
  network_.setProxyFactory(new ProxyFromEnvironment);
  network_.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
  network_.setTransferTimeout(limits_.milliseconds);
}

void RemoteFetch::StartPage() {
  pageBytes_ = 0;
  pageRequests_ = 0;
}

void RemoteFetch::Fetch(QWebEngineUrlRequestJob& job) {
  const QUrl web = WebUrlOf(job.requestUrl());
  const QString scheme = web.scheme();
  if (!web.isValid() || (scheme != u"http" && scheme != u"https") || ++pageRequests_ > limits_.pageRequests)
    return job.fail(QWebEngineUrlRequestJob::RequestDenied);
  QNetworkRequest request(web);
  request.setMaximumRedirectsAllowed(5);
  QNetworkReply* reply = network_.get(request);
  QPointer<QWebEngineUrlRequestJob> waiting(&job);
  // A page gone, or refreshed, takes its requests with it.
  connect(&job, &QObject::destroyed, reply, &QNetworkReply::abort);
  connect(reply, &QNetworkReply::downloadProgress, reply, [this, reply](qint64 received, qint64 total) {
    const qint64 size = std::max(received, total);
    if (size > limits_.fileBytes || pageBytes_ + size > limits_.pageBytes) reply->abort();
  });
  connect(reply, &QNetworkReply::finished, this, [this, reply, waiting] {
    reply->deleteLater();
    if (!waiting) return;
    if (reply->error() != QNetworkReply::NoError) return waiting->fail(QWebEngineUrlRequestJob::RequestFailed);
    const QByteArray bytes = reply->readAll();
    pageBytes_ += bytes.size();
    ReplyWith(*waiting, reply->header(QNetworkRequest::ContentTypeHeader).toByteArray(), bytes);
  });
}

}  // namespace quillary
