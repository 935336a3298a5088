#include "convert/preview/web/engine/PageSchemes.h"

#include <QWebEngineUrlScheme>

namespace quillary {

void RegisterPageSchemes() {
  for (const char* name : {kPageScheme, kRemoteScheme}) {
    QWebEngineUrlScheme scheme(name);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    // A secure context, as a page opened from a file is; style sheets and
    // fonts may come from the folder across the schemes.
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled);
    QWebEngineUrlScheme::registerScheme(scheme);
  }
}

QUrl PageUrl(const QString& path) {
  QUrl url;
  url.setScheme(QString::fromLatin1(kPageScheme));
  url.setPath(path);
  return url;
}

// The whole web address as one encoded name: the engine's tidying of paths
// ("..", "//") must not change it.
QUrl RemoteUrl(const QUrl& web) {
  return QUrl(QString::fromLatin1(kRemoteScheme) + QStringLiteral(":///") +
              QString::fromLatin1(QUrl::toPercentEncoding(web.toString(QUrl::FullyEncoded))));
}

QUrl WebUrlOf(const QUrl& remote) {
  const QString path = remote.path(QUrl::FullyEncoded);
  return QUrl(QUrl::fromPercentEncoding(path.mid(1).toLatin1()), QUrl::StrictMode);
}

}  // namespace quillary
