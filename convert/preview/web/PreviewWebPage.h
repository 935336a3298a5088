#pragma once
// The preview's ページ tab: the page drawn by the web engine where it can
// start, otherwise by the rich-text view, with what the engine's page was
// refused and the switch that lets it reach the web. The engine's page is
// kept to the template's folder: it reads files only through this tab,
// which takes only regular files there, within the page's limits.

#include <string_view>

#include <QSet>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "convert/preview/PreviewPage.h"
#include "convert/preview/web/WebPageView.h"
#include "platform/TextEncoding.h"

class QCheckBox;
class QStackedWidget;

namespace quillary {

class DesktopOpener;

class PreviewWebPage final : public QWidget, public WebPageHost {
  Q_OBJECT

 public:
  // richText: the view used where the engine is not.
  PreviewWebPage(PreviewPage* richText, QWidget* parent);
  ~PreviewWebPage() override;

  // Links of the page may be opened there from the page's menu.
  void SetDesktop(DesktopOpener* desktop) { desktop_ = desktop; }

  // Draws the page with the engine; false when the engine is not ready,
  // or could not draw this page before, and the rich-text view is to.
  bool ShowWeb(std::u16string_view page, TextEncoding encoding, const QString& templateName);
  void ShowRichText();

  bool ShowsWeb() const;
  // What the page shown lost: the rich-text view's, or what the engine's
  // page was refused.
  const PreviewPage::Report& report() const;
  // Lines for the note besides the losses: why the engine is not used,
  // what the page asked for and did not get.
  QStringList NoteLines() const;

  QCheckBox* Remote;  // 「外部の画像などを読み込む」
  // The engine's page, once made.
  WebPageView* web() const { return web_; }

  std::optional<QByteArray> ReadFile(const QString& path) override;
  void Refused(const QUrl& name) override;
  void Stopped() override;
  QUrl BrowserLink(const QUrl& link) const override;
  void OpenLink(const QUrl& link) override;
  void Ended(WebPageEnd end) override;

 signals:
  // The page is to be drawn again (the engine became ready, or failed).
  void Redraw();
  void NoteChanged();
  // A load of the engine's page ended.
  void Loaded(WebPageEnd end);

 private:
  void Load();
  void Count(PreviewResources::Refusal refusal, const QString& name);

  PreviewPage* richText_;
  QStackedWidget* stack_;
  QWidget* remoteRow_;
  WebPageView* web_ = nullptr;
  DesktopOpener* desktop_ = nullptr;
  WebPageContent content_;
  QString folder_;
  PreviewPage::Report report_;
  QSet<QString> refusedNames_;
  std::uintmax_t bytesRead_ = 0;
  int stopped_ = 0;
  // The page the engine could not draw, and why; drawn by the rich-text
  // view until the page changes.
  QByteArray failedPage_;
  QString failure_;
};

}  // namespace quillary
