#pragma once
// The preview's two views of one output, as tabs: the page as the window
// can render it, and the text with its values marked; under them a line
// says what is cut off or what the marks mean. Only the view in front is
// filled; the other when it comes to the front.

#include <memory>

#include <QString>
#include <QWidget>

#include "convert/preview/PreviewRender.h"

class QLabel;
class QTabWidget;

namespace quillary {

class PreviewPage;
class PreviewWebPage;
class PreviewTextView;

class PreviewViews final : public QWidget {
  Q_OBJECT

 public:
  explicit PreviewViews(QWidget* parent = nullptr);

  // result has an output; templateName decides whether it is a page and
  // where the page's pictures are looked for.
  void Show(std::shared_ptr<const PreviewResult> result, const QString& templateName, const PreviewLimits& limits);

  // Above the tabs: the comments naming no field, which the page hides.
  QLabel* Unknown;
  QTabWidget* Tabs;
  // The ページ tab: the web engine's page, or the rich-text Page.
  PreviewWebPage* PageTab;
  PreviewPage* Page;
  PreviewTextView* OutputText;
  // What is cut off; in the page view, what the page could not have; in the
  // text view, what the marks mean.
  QLabel* Note;

 private:
  // Fills the view in front if it shows an older output.
  void FillFront();
  void ListUnknown();
  void FillPage();
  void FillText();
  void WriteNote();

  std::shared_ptr<const PreviewResult> result_;
  QString templateName_;
  PreviewLimits limits_;
  bool pageFilled_ = false;
  bool textFilled_ = false;
};

}  // namespace quillary
