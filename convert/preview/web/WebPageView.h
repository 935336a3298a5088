#pragma once
// The seam between the preview and the web engine's page. The engine lives
// in a library loaded at run time, so that the program starts, and the
// preview keeps its rich-text page, where the engine is missing or cannot
// start. Both sides are built together; kWebPageAbi tells a library of
// another build, which is not used.

#include <optional>

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QUrl>

class QWidget;

namespace quillary {

constexpr int kWebPageAbi = 1;

// The page and the files of its folder are served under this scheme, by
// their absolute paths.
constexpr char kWebPageScheme[] = "quillary-page";

// A page for the engine: the output's own bytes, named as the template is
// named, so that the names in it are found in the template's folder.
struct WebPageContent {
  QByteArray bytes;
  // "text/html", with a charset only where the bytes are not the output's.
  QByteArray contentType;
  // The template's absolute path.
  QString path;
  // The encoding of a page that names none: the output's.
  QByteArray defaultEncoding;
  // The same template as before: the page stays where it was scrolled to.
  bool keepScroll = false;
  // http and https allowed (「外部の画像などを読み込む」).
  bool remote = false;
};

// How a load ended.
enum class WebPageEnd {
  Loaded,
  TimedOut,  // the renderer did not finish in time and was stopped
  Crashed,   // the renderer ended by itself
};

// What the engine's side asks of the preview; called on the window's
// thread only.
class WebPageHost {
 public:
  // The bytes of a file the page names, by its absolute path; none when it
  // is not a regular file of the template's folder, or too large (the host
  // counts why).
  virtual std::optional<QByteArray> ReadFile(const QString& path) = 0;
  // A request the engine was stopped from making (the network, a local file
  // outside the folder), counted for the note.
  virtual void Refused(const QUrl& name) = 0;
  // A navigation, window, download or permission the page asked for and
  // did not get.
  virtual void Stopped() = 0;
  // The address a link of the page opens in the desktop's browser; empty
  // when it is not offered.
  virtual QUrl BrowserLink(const QUrl& link) const = 0;
  virtual void OpenLink(const QUrl& link) = 0;
  virtual void Ended(WebPageEnd end) = 0;

 protected:
  ~WebPageHost() = default;
};

class WebPageView {
 public:
  virtual ~WebPageView() = default;
  virtual QWidget* widget() = 0;
  // Asynchronous: the host hears of the end.
  virtual void Load(const WebPageContent& content) = 0;
  // How long a load may take before its renderer is stopped.
  virtual void SetTimeLimit(int milliseconds) = 0;
};

// The library's entry points, resolved by these names.
using WebPageAbiEntry = int (*)();
// Before the first page; after QApplication.
using PrepareWebEngineEntry = void (*)();
using CreateWebPageEntry = WebPageView* (*)(WebPageHost& host, QWidget* parent);
// The check run in a process of its own: 0 when a page loads.
using CheckWebEngineEntry = int (*)(int argc, char** argv);

constexpr char kWebPageAbiName[] = "quillary_web_page_abi";
constexpr char kPrepareWebEngineName[] = "quillary_prepare_web_engine";
constexpr char kCreateWebPageName[] = "quillary_create_web_page";
constexpr char kCheckWebEngineName[] = "quillary_check_web_engine";

// Before QApplication, in any process that may start the engine: the
// engine draws through a context shared with the application's, and keeps
// no compiled shaders on disk (nothing of the preview is written to the
// user's home).
inline void PrepareWebEngineApplication() {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
  if (!qEnvironmentVariableIsSet("MESA_SHADER_CACHE_DISABLE")) qputenv("MESA_SHADER_CACHE_DISABLE", "true");
}

}  // namespace quillary
