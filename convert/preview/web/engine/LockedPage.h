#pragma once
// The engine's page, kept to what a preview needs: only the program's own
// loads of its page; no link, form, script or refresh takes it elsewhere,
// no window opens, no box is shown, no file is chosen, no permission is
// given. What the page asked for and did not get is counted.

#include <QList>
#include <QUrl>
#include <QWebEnginePage>

namespace quillary {

class WebPageHost;

class LockedPage final : public QWebEnginePage {
 public:
  LockedPage(QWebEngineProfile* profile, WebPageHost& host, QObject* parent);

  // The next load of url is the program's own: its load, or the reload of
  // a page given up while hidden.
  void ExpectLoad(const QUrl& url) { expected_ << url; }

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
  QWebEnginePage* createWindow(WebWindowType type) override;
  void javaScriptAlert(const QUrl& origin, const QString& message) override;
  // Also asked before the page is left for the next refresh: yes.
  bool javaScriptConfirm(const QUrl& origin, const QString& message) override;
  bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& value, QString* result) override;
  QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                          const QStringList& acceptedMimeTypes) override;
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                const QString& source) override;

 private:
  WebPageHost& host_;
  QList<QUrl> expected_;
};

}  // namespace quillary
