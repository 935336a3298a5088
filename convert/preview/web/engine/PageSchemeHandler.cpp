#include "convert/preview/web/engine/PageSchemeHandler.h"

#include <QBuffer>
#include <QMimeDatabase>
#include <QWebEngineUrlRequestJob>

#include "convert/preview/web/engine/PageSchemes.h"
#include "convert/preview/web/engine/RemoteFetch.h"

namespace quillary {

namespace {

// By the name's suffix, as a browser takes a local file; no charset, so
// that style sheets and scripts decode as the page does.
QByteArray ContentTypeOf(const QString& path) {
  static const QMimeDatabase kTypes;
  return kTypes.mimeTypeForFile(path, QMimeDatabase::MatchExtension).name().toLatin1();
}

}  // namespace

PageSchemeHandler::PageSchemeHandler(WebPageHost& host, RemoteFetch& remote, QObject* parent)
    : QWebEngineUrlSchemeHandler(parent), host_(host), remote_(remote) {}

void PageSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
  if (job->requestMethod() != "GET") return job->fail(QWebEngineUrlRequestJob::RequestDenied);
  const QUrl url = job->requestUrl();
  if (url.scheme() == QLatin1StringView(kRemoteScheme)) {
    if (!page_.remote) return job->fail(QWebEngineUrlRequestJob::RequestDenied);
    return remote_.Fetch(*job);
  }
  const QString path = url.path(QUrl::FullyDecoded);
  if (path == page_.path) return ReplyWith(*job, page_.contentType, page_.bytes);
  const std::optional<QByteArray> bytes = host_.ReadFile(path);
  if (!bytes) return job->fail(QWebEngineUrlRequestJob::RequestDenied);
  ReplyWith(*job, ContentTypeOf(path), *bytes);
}

void ReplyWith(QWebEngineUrlRequestJob& job, const QByteArray& contentType, const QByteArray& bytes) {
  // The engine reads it on a thread of its own until the job goes.
  auto* buffer = new QBuffer(&job);
  buffer->setData(bytes);
  job.reply(contentType, buffer);
}

}  // namespace quillary
