#include "convert/preview/web/engine/PageRequestGuard.h"

#include "convert/preview/web/WebPageView.h"
#include "convert/preview/web/engine/PageSchemes.h"

namespace quillary {

PageRequestGuard::PageRequestGuard(WebPageHost& host, QObject* parent)
    : QWebEngineUrlRequestInterceptor(parent), host_(host) {}

void PageRequestGuard::interceptRequest(QWebEngineUrlRequestInfo& info) {
  const QUrl url = info.requestUrl();
  const QString scheme = url.scheme().toLower();
  if (scheme == QLatin1StringView(kPageScheme) || scheme == u"data" || scheme == u"blob") return;
  // The remote scheme only as the switch's redirect: a page naming it
  // itself does not reach the web past the switch.
  if (remote_ && scheme == QLatin1StringView(kRemoteScheme)) return;
  if (remote_ && (scheme == u"http" || scheme == u"https")) return info.redirect(RemoteUrl(url));
  info.block(true);
  host_.Refused(url);
}

}  // namespace quillary
