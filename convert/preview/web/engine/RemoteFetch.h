#pragma once
// What a page names on the web, fetched by the program for the engine when
// the user allows it: GET only, through the proxy http_proxy or https_proxy
// names, within limits of size, time and number, so that a page cannot make
// the preview wait or fill the memory.

#include <QNetworkAccessManager>
#include <QObject>

class QWebEngineUrlRequestJob;

namespace quillary {

class RemoteFetch final : public QObject {
 public:
  struct Limits {
    qint64 fileBytes = qint64{16} << 20;
    qint64 pageBytes = qint64{64} << 20;
    int pageRequests = 500;
    int milliseconds = 10'000;
  };

  explicit RemoteFetch(QObject* parent);

  // A new page: its own limits.
  void StartPage();
  void Fetch(QWebEngineUrlRequestJob& job);

 private:
  Limits limits_;
  QNetworkAccessManager network_;
  qint64 pageBytes_ = 0;
  int pageRequests_ = 0;
};

}  // namespace quillary
