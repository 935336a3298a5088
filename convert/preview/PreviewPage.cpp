#include "convert/preview/PreviewPage.h"

#include <QTextDocument>

#include "convert/preview/PreviewPageBounds.h"
#include "convert/preview/PreviewPageMarkup.h"

namespace quillary {

PreviewPage::PreviewPage(QWidget* parent) : QTextBrowser(parent) {
  setObjectName(QStringLiteral("Page"));
  // A link clicked in the preview leaves the preview where it is.
  setOpenLinks(false);
  // A scroll bar that came with a long page would narrow it and lay every
  // table out twice.
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // The page is made anew on every refresh; there is nothing to undo.
  document()->setUndoRedoEnabled(false);
}

PreviewPage::~PreviewPage() = default;

namespace {

// The view lays a page out as soon as it is parsed, unless the page has no
// size: the page is parsed and bounded without one, then laid out once
// when it gets its size back. Should bounding fail, it goes empty first.
class LayoutHeld {
 public:
  explicit LayoutHeld(QTextDocument& page) : page_(page), size_(page.pageSize()) { page_.setPageSize(QSizeF(0, 0)); }
  ~LayoutHeld() {
    if (!bounded_) page_.clear();
    page_.setPageSize(size_);
  }
  LayoutHeld(const LayoutHeld&) = delete;
  LayoutHeld& operator=(const LayoutHeld&) = delete;
  void Bounded() { bounded_ = true; }

 private:
  QTextDocument& page_;
  const QSizeF size_;
  bool bounded_ = false;
};

}  // namespace

void PreviewPage::ShowPage(const QString& html, const QString& folder) {
  report_ = Report();
  const PageMarkup markup = BoundPageMarkup(html);
  report_.simplified = markup.simplified;
  resources_ = std::make_unique<PreviewResources>(folder);
  QTextDocument& page = *document();
  {
    LayoutHeld held(page);
    page.setHtml(markup.html);
    const PageBounds bounds = BoundPage(page);
    report_.capped = bounds.capped;
    report_.asText = bounds.tooComplex;
    if (bounds.tooComplex) page.setPlainText(page.toPlainText());
    held.Bounded();
  }
  for (int refusal = 0; refusal < PreviewResources::kRefusals; ++refusal)
    report_.refused[static_cast<std::size_t>(refusal)] =
        resources_->Refused(static_cast<PreviewResources::Refusal>(refusal));
}

void PreviewPage::ShowText(const QString& text) {
  report_ = Report();
  setPlainText(text);
}

QVariant PreviewPage::loadResource(int type, const QUrl& name) {
  return resources_ ? resources_->Load(type, name) : QVariant(QByteArray());
}

}  // namespace quillary
