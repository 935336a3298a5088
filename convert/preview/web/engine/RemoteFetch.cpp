#include "convert/preview/web/engine/RemoteFetch.h"

#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QPointer>
#include <QWebEngineUrlRequestJob>

#include "convert/preview/web/engine/PageSchemeHandler.h"
#include "convert/preview/web/engine/PageSchemes.h"

namespace quillary {

namespace {

// The proxy the desktop sets, as a browser uses it.
class DesktopProxies final : public QNetworkProxyFactory {
 public:
  QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override { return systemProxyForQuery(query); }
};

}  // namespace

RemoteFetch::RemoteFetch(QObject* parent) : QObject(parent) {
  network_.setProxyFactory(new DesktopProxies);
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
