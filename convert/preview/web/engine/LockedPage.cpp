#include "convert/preview/web/engine/LockedPage.h"

#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineRegisterProtocolHandlerRequest>

#include "convert/preview/web/WebPageView.h"

namespace quillary {

namespace {

// How the engine tells of a local file it refused to load.
const QString kLocalRefused = QStringLiteral("Not allowed to load local resource: ");

}  // namespace

LockedPage::LockedPage(QWebEngineProfile* profile, WebPageHost& host, QObject* parent)
    : QWebEnginePage(profile, parent), host_(host) {
  connect(this, &QWebEnginePage::featurePermissionRequested, this, [this](const QUrl& origin, Feature feature) {
    setFeaturePermission(origin, feature, PermissionDeniedByUser);
    host_.Stopped();
  });
  connect(this, &QWebEnginePage::fullScreenRequested, this,
          [](QWebEngineFullScreenRequest request) { request.reject(); });
  connect(this, &QWebEnginePage::fileSystemAccessRequested, this, [this](QWebEngineFileSystemAccessRequest request) {
    request.reject();
    host_.Stopped();
  });
  connect(this, &QWebEnginePage::registerProtocolHandlerRequested, this,
          [](QWebEngineRegisterProtocolHandlerRequest request) { request.reject(); });
}

bool LockedPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
  // A frame's request is judged as any other request of the page.
  if (!isMainFrame) return true;
  if ((type == NavigationTypeTyped || type == NavigationTypeReload) && expected_.removeOne(url)) return true;
  host_.Stopped();
  return false;
}

QWebEnginePage* LockedPage::createWindow(WebWindowType) {
  host_.Stopped();
  return nullptr;
}

void LockedPage::javaScriptAlert(const QUrl&, const QString&) {}

bool LockedPage::javaScriptConfirm(const QUrl&, const QString&) { return true; }

bool LockedPage::javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) { return false; }

QStringList LockedPage::chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) {
  host_.Stopped();
  return {};
}

void LockedPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int, const QString&) {
  if (message.startsWith(kLocalRefused)) host_.Refused(QUrl(message.mid(kLocalRefused.size())));
}

}  // namespace quillary
