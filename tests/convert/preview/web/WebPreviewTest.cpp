// The preview's page drawn by the web engine, loaded as the program loads
// it: what the page names beside the template drawn (checked in the
// engine's DOM), everything else refused and counted, the switch for the
// web, the scroll kept, a hung renderer stopped, and the rich-text page
// where the engine cannot start.

#include <sys/stat.h>

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QEventLoop>
#include <QLabel>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <filesystem>
#include <memory>

#include "convert/preview/PreviewPage.h"
#include "convert/preview/PreviewViews.h"
#include "convert/preview/web/PreviewWebPage.h"
#include "convert/preview/web/WebPreviewEngine.h"
#include "support/TempDir.h"

using namespace quillary;
using namespace quillary::testing;
using Refusal = PreviewResources::Refusal;
using namespace Qt::Literals::StringLiterals;

namespace {

// Waits with the events flowing: the engine's browser side runs on this
// thread, and a wait that sleeps between rounds starves it.
bool WaitFor(const std::function<bool()>& done, int ms = 20'000) {
  if (done()) return true;
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (done()) loop.quit();
  });
  poll.start(5);
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
  return done();
}

// A picture of 40 by 30.
std::string Picture() {
  QImage image(40, 30, QImage::Format_RGB32);
  image.fill(Qt::blue);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes.toStdString();
}

// One picture over http on the loopback, for the switch.
class PictureServer {
 public:
  PictureServer() {
    server_.listen(QHostAddress::LocalHost);
    QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
      QTcpSocket* socket = server_.nextPendingConnection();
      QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
        if (!socket->readAll().contains("\r\n\r\n")) return;
        const QByteArray body = QByteArray::fromStdString(Picture());
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nConnection: close\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\n\r\n" + body);
        socket->disconnectFromHost();
      });
      QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    });
  }
  QString Url() const { return QStringLiteral("http://127.0.0.1:%1/p.png").arg(server_.serverPort()); }

 private:
  QTcpServer server_;
};

// The ページ tab alone, on screen, over a template folder.
struct Tab {
  Tab() {
    tab.resize(600, 400);
    tab.show();
    QObject::connect(&tab, &PreviewWebPage::Loaded, &tab, [this](WebPageEnd end) { ends.push_back(end); });
  }
  // Shows the page as the template's output and waits for its end.
  WebPageEnd Show(const QString& html, const char* name = "page.html") {
    const std::size_t before = ends.size();
    const std::u16string text = html.toStdU16String();
    if (!tab.ShowWeb(text, TextEncoding::Utf8, QString::fromStdString((dir / name).string())))
      return WebPageEnd::Crashed;
    if (!WaitFor([&] { return ends.size() > before; })) return WebPageEnd::TimedOut;
    return ends.back();
  }
  QVariant Run(const QString& script) {
    auto answer = std::make_shared<std::optional<QVariant>>();
    View()->page()->runJavaScript(script, [answer](const QVariant& value) { *answer = value; });
    WaitFor([&] { return answer->has_value(); }, 10'000);
    return answer->value_or(QVariant());
  }
  QWebEngineView* View() const { return qobject_cast<QWebEngineView*>(tab.web()->widget()); }
  // Refusals arrive as the page asks; a fetch may come after the load.
  int Refused(Refusal refusal, int expected) {
    WaitFor([&] { return tab.report().Refused(refusal) >= expected; }, 3000);
    return tab.report().Refused(refusal);
  }

  TempDir dir;
  PreviewPage* richText = new PreviewPage;
  PreviewWebPage tab{richText, nullptr};
  std::vector<WebPageEnd> ends;
};

}  // namespace

class WebPreviewTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    if (qEnvironmentVariable("QUILLARY_WEB_CHECK") == u"fallback") return;
    WebPreviewEngine& engine = WebPreviewEngine::Instance();
    engine.Check();
    QVERIFY2(WaitFor([&] { return engine.state() != WebPreviewEngine::State::Checking; }, 40'000), "no check");
    QVERIFY2(engine.state() == WebPreviewEngine::State::Ready, qPrintable(engine.whyNot()));
  }

  void drawsWhatTheFolderHolds() {
    Tab t;
    t.dir.Write("style.css", "h1 { color: rgb(200, 0, 0); border: 2px solid blue }");
    t.dir.Write("p.png", Picture());
    QCOMPARE(
        t.Show(u"<html><head><link rel=stylesheet href=style.css></head><body><h1>見出し</h1>"
               u"<img id=p src=p.png><script>document.title = 'ran'</script>"
               u"<a id=a href='other.html'>a</a><a id=b href='http://192.0.2.1/' target=_blank>b</a></body></html>"_s),
        WebPageEnd::Loaded);
    QVERIFY(t.tab.ShowsWeb());
    QCOMPARE(t.Run(u"getComputedStyle(document.querySelector('h1')).color"_s).toString(), u"rgb(200, 0, 0)"_s);
    QCOMPARE(t.Run(u"document.getElementById('p').naturalWidth"_s).toInt(), 40);
    QCOMPARE(t.Run(u"document.title"_s).toString(), u"ran"_s);
    QCOMPARE(t.tab.report().Refused(Refusal::Outside) + t.tab.report().Refused(Refusal::Network), 0);
    // Links and new windows are stopped, and said so.
    const QUrl shown = t.View()->url();
    t.Run(u"document.getElementById('a').click(); document.getElementById('b').click(); window.open('x.html')"_s);
    QVERIFY(WaitFor([&] { return !t.tab.NoteLines().isEmpty(); }, 3000));
    QCOMPARE(t.View()->url(), shown);
    QVERIFY(t.tab.NoteLines().join(u'\n').contains(u"止めました"_s));
  }

  void refusesAndCounts_data() {
    QTest::addColumn<QString>("body");
    QTest::addColumn<int>("refusal");
    QTest::addColumn<QString>("check");  // a script that is true when nothing came
    QTest::newRow("remote picture") << u"<img id=x src='http://192.0.2.1/x.png' alt=代わり>"_s << int(Refusal::Network)
                                    << u"document.getElementById('x').naturalWidth == 0"_s;
    QTest::newRow("the fetcher's scheme named by the page")
        << u"<img id=x src='quillary-remote:///http%3A%2F%2F192.0.2.1%2Fx.png'>"_s << int(Refusal::Network)
        << u"document.getElementById('x').naturalWidth == 0"_s;
    QTest::newRow("iframe of a file outside")
        << u"<iframe src='file:///etc/passwd'></iframe>"_s << int(Refusal::Outside) << u"true"_s;
    QTest::newRow("FIFO as a picture") << u"<img id=x src=fifo.png>"_s << int(Refusal::NotRegular)
                                       << u"document.getElementById('x').naturalWidth == 0"_s;
    QTest::newRow("link to /dev/zero as a picture")
        << u"<img id=x src=zero.png>"_s << int(Refusal::Outside) << u"document.getElementById('x').naturalWidth == 0"_s;
  }
  void refusesAndCounts() {
    QFETCH(QString, body);
    QFETCH(int, refusal);
    QFETCH(QString, check);
    Tab t;
    QCOMPARE(::mkfifo((t.dir / "fifo.png").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", t.dir / "zero.png");
    QCOMPARE(t.Show(u"<body>"_s + body + u"</body>"_s), WebPageEnd::Loaded);
    QCOMPARE(t.Refused(static_cast<Refusal>(refusal), 1), 1);
    QVERIFY(t.Run(check).toBool());
  }

  void switchAllowsTheWeb() {
    PictureServer server;
    Tab t;
    const QString page = u"<img id=x src='"_s + server.Url() + u"'>"_s;
    QCOMPARE(t.Show(page), WebPageEnd::Loaded);
    QCOMPARE(t.Refused(Refusal::Network, 1), 1);
    QCOMPARE(t.Run(u"document.getElementById('x').naturalWidth"_s).toInt(), 0);
    const std::size_t before = t.ends.size();
    t.tab.Remote->setChecked(true);
    QVERIFY(WaitFor([&] { return t.ends.size() > before; }));
    QCOMPARE(t.Run(u"document.getElementById('x').naturalWidth"_s).toInt(), 40);
    QCOMPARE(t.tab.report().Refused(Refusal::Network), 0);
  }

  void scrollKeptAcrossRefreshes() {
    Tab t;
    const QString tall = u"<div style='height: 10000px'>%1</div>"_s;
    QCOMPARE(t.Show(tall.arg(1)), WebPageEnd::Loaded);
    t.Run(u"window.scrollTo(0, 2500)"_s);
    QCOMPARE(t.Show(tall.arg(2)), WebPageEnd::Loaded);
    QCOMPARE(t.Run(u"window.scrollY"_s).toInt(), 2500);
    // Another template starts at the top.
    QCOMPARE(t.Show(tall.arg(3), "other.html"), WebPageEnd::Loaded);
    QCOMPARE(t.Run(u"window.scrollY"_s).toInt(), 0);
  }

  // It costs the renderer, never this thread, and is stopped.
  void aHungRendererIsStopped() {
    const QString html = u"<script>while (true) {}</script>"_s;
    Tab t;
    QCOMPARE(t.Show(u"<p>warm</p>"_s), WebPageEnd::Loaded);
    t.tab.web()->SetTimeLimit(1500);
    const WebPageEnd end = t.Show(html);
    QCOMPARE(end, WebPageEnd::TimedOut);
    // The rich-text view shows that page, and the next page has a renderer
    // of its own.
    QVERIFY(t.tab.NoteLines().join(u'\n').contains(u"時間内に表示されない"_s));
    QVERIFY(!t.tab.ShowWeb(html.toStdU16String(), TextEncoding::Utf8,
                           QString::fromStdString((t.dir / "page.html").string())));
    QCOMPARE(int(t.Show(u"<p>after</p>"_s)), int(WebPageEnd::Loaded));
    QCOMPARE(t.Run(u"document.body.textContent"_s).toString(), u"after"_s);
  }

  // Run alone (QUILLARY_WEB_CHECK=fallback), with an engine whose check
  // ends as the engine does as root with its sandbox.
  void fallsBackToTheRichTextPage() {
    if (qEnvironmentVariable("QUILLARY_WEB_CHECK") != u"fallback") QSKIP("run alone");
    TempDir modules;
    modules.Write("libquillary-webpreview.so", "");
    const auto check = modules.Write("quillary-web-check", "#!/bin/sh\nexit 1\n");
    std::filesystem::permissions(check, std::filesystem::perms::owner_all);
    qputenv("QUILLARY_WEB_MODULE_DIR", QByteArray::fromStdString(modules.path().string()));
    TempDir dir;
    const auto templ = dir.Write("page.html", "<p>見出し</p>");
    PreviewViews views;
    views.show();
    auto result = std::make_shared<PreviewResult>();
    result->expansion.text = u"<p>見出し</p>";
    views.Show(result, QString::fromStdString(templ.string()), PreviewLimits());
    QVERIFY(WaitFor([&] { return WebPreviewEngine::Instance().state() == WebPreviewEngine::State::Unavailable; }));
    QVERIFY(!views.PageTab->ShowsWeb());
    QCOMPARE(views.Page->toPlainText().trimmed(), u"見出し"_s);
    QVERIFY2(
        views.Note->text().contains(u"Web エンジンを起動できません（終了コード 1）。ページを簡易表示しています。"_s),
        qPrintable(views.Note->text()));
  }
};

int main(int argc, char** argv) {
  PrepareWebEngineApplication();
  QApplication application(argc, argv);
  WebPreviewTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "WebPreviewTest.moc"
