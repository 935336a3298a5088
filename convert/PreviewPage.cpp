#include "convert/PreviewPage.h"

#include <QTextDocument>

#include "convert/PreviewPageBounds.h"
#include "convert/PreviewPageMarkup.h"

namespace quillary {

PreviewPage::PreviewPage(QWidget* parent) : QTextBrowser(parent) {
  setObjectName(QStringLiteral("Page"));
  // A link clicked in the preview leaves the preview where it is.
  setOpenLinks(false);
  // A scroll bar that came with a long page would narrow it and lay every
  // table out twice.
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

PreviewPage::~PreviewPage() = default;

void PreviewPage::ShowPage(const QString& html, const QString& folder) {
  report_ = Report();
  const PageMarkup markup = BoundPageMarkup(html);
  report_.simplified = markup.simplified;
  resources_ = std::make_unique<PreviewResources>(folder);
  // Parsed apart from the view, the page is not laid out before its values
  // are bounded. Its loader is the view's (its parent's) loadResource.
  auto* page = new QTextDocument(this);
  page->setUndoRedoEnabled(false);
  page->setDefaultFont(font());
  page->setHtml(markup.html);
  const PageBounds bounds = BoundPage(*page);
  report_.capped = bounds.capped;
  for (int refusal = 0; refusal < PreviewResources::kRefusals; ++refusal)
    report_.refused[static_cast<std::size_t>(refusal)] =
        resources_->Refused(static_cast<PreviewResources::Refusal>(refusal));
  if (bounds.tooComplex) {
    const QString text = page->toPlainText();
    delete page;
    report_.asText = true;
    return SetText(text);
  }
  setDocument(page);
}

void PreviewPage::ShowText(const QString& text) {
  report_ = Report();
  SetText(text);
}

void PreviewPage::SetText(const QString& text) {
  auto* page = new QTextDocument(this);
  page->setUndoRedoEnabled(false);
  page->setDefaultFont(font());
  page->setPlainText(text);
  setDocument(page);
}

QVariant PreviewPage::loadResource(int type, const QUrl& name) {
  return resources_ ? resources_->Load(type, name) : QVariant(QByteArray());
}

}  // namespace quillary
