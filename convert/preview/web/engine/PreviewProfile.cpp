#include "convert/preview/web/engine/PreviewProfile.h"

#include <unistd.h>

#include <optional>

#include <QWebEngineDownloadRequest>
#include <QWebEngineSettings>

#include "convert/preview/web/WebPageView.h"
#include "convert/preview/web/engine/PageSchemes.h"

namespace quillary {

namespace {

// The engine reads its variables as it starts; they are put back then, so
// that programs started later (the desktop's browser) do not inherit them.
class VariableForStart {
 public:
  VariableForStart(const char* name, const QByteArray& value)
      : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
    qputenv(name, value);
  }
  ~VariableForStart() {
    if (had_)
      qputenv(name_, old_);
    else
      qunsetenv(name_);
  }
  VariableForStart(const VariableForStart&) = delete;
  VariableForStart& operator=(const VariableForStart&) = delete;

 private:
  const char* name_;
  bool had_;
  QByteArray old_;
};

// Every connection the engine would make itself goes to a proxy that is not
// there: the page's requests pass the guard first, but some (WebRTC,
// preconnections) never do. Loopback is not spared.
QByteArray EngineFlags() {
  QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
  flags +=
      " --proxy-server=127.0.0.1:9 --proxy-bypass-list=<-loopback>"
      " --force-webrtc-ip-handling-policy=disable_non_proxied_udp";
  return flags.trimmed();
}

void LockSettings(QWebEngineSettings& settings) {
  using Setting = QWebEngineSettings::WebAttribute;
  for (const Setting off :
       {Setting::JavascriptCanOpenWindows, Setting::JavascriptCanAccessClipboard, Setting::JavascriptCanPaste,
        Setting::AllowWindowActivationFromJavaScript, Setting::PluginsEnabled, Setting::PdfViewerEnabled,
        Setting::DnsPrefetchEnabled, Setting::NavigateOnDropEnabled, Setting::LocalContentCanAccessFileUrls,
        Setting::FocusOnNavigationEnabled, Setting::AutoLoadIconsForPage, Setting::HyperlinkAuditingEnabled,
        Setting::ScreenCaptureEnabled, Setting::SpatialNavigationEnabled})
    settings.setAttribute(off, false);
  settings.setAttribute(Setting::WebRTCPublicInterfacesOnly, true);
  settings.setAttribute(Setting::PlaybackRequiresUserGesture, true);
}

}  // namespace

void PrepareWebEngine() {
  static bool prepared = false;
  if (prepared) return;
  prepared = true;
  RegisterPageSchemes();
}

QWebEngineProfile* NewPreviewProfile(WebPageHost& host, QObject* parent) {
  static bool started = false;
  QWebEngineProfile* profile = nullptr;
  if (started) {
    profile = new QWebEngineProfile(parent);
  } else {
    // Root has no sandbox: the engine would end the whole program.
    std::optional<VariableForStart> sandbox;
    if (::geteuid() == 0) sandbox.emplace("QTWEBENGINE_DISABLE_SANDBOX", "1");
    const VariableForStart flags("QTWEBENGINE_CHROMIUM_FLAGS", EngineFlags());
    profile = new QWebEngineProfile(parent);
    started = true;
  }
  // No storage name: off the record, nothing written to disk.
  profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
  profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
  profile->setSpellCheckEnabled(false);
  LockSettings(*profile->settings());
  QObject::connect(profile, &QWebEngineProfile::downloadRequested, profile,
                   [&host](QWebEngineDownloadRequest* download) {
                     download->cancel();
                     host.Stopped();
                   });
  return profile;
}

}  // namespace quillary
