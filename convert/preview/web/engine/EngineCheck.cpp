#include "convert/preview/web/engine/EngineCheck.h"

#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QTimer>

#include "convert/preview/web/engine/EngineView.h"
#include "convert/preview/web/engine/PreviewProfile.h"

namespace quillary {

namespace {

enum CheckStatus { kLoaded = 0, kTimedOut = 2, kCrashed = 3, kNotDrawn = 4 };

// Ends at once: what the engine would do on its way out is not the check's.
[[noreturn]] void Finish(int status) {
  std::fflush(nullptr);
  std::_Exit(status);
}

class CheckHost final : public WebPageHost {
 public:
  std::optional<QByteArray> ReadFile(const QString&) override { return std::nullopt; }
  void Refused(const QUrl&) override {}
  void Stopped() override {}
  QUrl BrowserLink(const QUrl&) const override { return QUrl(); }
  void OpenLink(const QUrl&) override {}
  void Ended(WebPageEnd end) override {
    if (end == WebPageEnd::TimedOut) Finish(kTimedOut);
    if (end == WebPageEnd::Crashed) Finish(kCrashed);
    // The renderer ran the page's script.
    view->page()->runJavaScript(QStringLiteral("document.title"),
                                [](const QVariant& title) { Finish(title.toString() == u"ok" ? kLoaded : kNotDrawn); });
  }

  EngineView* view = nullptr;
};

}  // namespace

int CheckWebEngine(int argc, char** argv) {
  PrepareWebEngineApplication();
  QApplication application(argc, argv);
  PrepareWebEngine();
  CheckHost host;
  EngineView view(host, nullptr);
  host.view = &view;
  // Drawn, but not on the user's screen.
  view.setAttribute(Qt::WA_DontShowOnScreen);
  view.resize(320, 200);
  view.show();
  view.SetTimeLimit(20'000);
  view.Load({"<title>-</title><script>document.title = 'o' + 'k'</script><p>ok</p>", "text/html",
             QStringLiteral("/quillary-check.html"), "UTF-8", false, false});
  return application.exec();
}

}  // namespace quillary
