#pragma once
// The preview's page: the rich-text view over a page made safe for it. The
// markup is bounded and the values capped before it is laid out, and the
// page's pictures and style sheets come only from the template's folder;
// the view's own loader, which opens whatever it is given, is never asked.

#include <array>
#include <memory>

#include <QString>
#include <QTextBrowser>

#include "convert/preview/PreviewResources.h"

namespace quillary {

class PreviewPage final : public QTextBrowser {
  Q_OBJECT

 public:
  // What the page last shown lost on its way to the view.
  struct Report {
    std::array<int, PreviewResources::kRefusals> refused{};
    // Deep nesting or large tables laid flat.
    bool simplified = false;
    // Sizes, margins and the like capped.
    bool capped = false;
    // Too complex to lay out at all: shown as its text.
    bool asText = false;

    int Refused(PreviewResources::Refusal refusal) const { return refused[static_cast<std::size_t>(refusal)]; }
  };

  explicit PreviewPage(QWidget* parent = nullptr);
  ~PreviewPage() override;

  // Pictures and style sheets named relative to folder are found there.
  void ShowPage(const QString& html, const QString& folder);
  void ShowText(const QString& text);

  const Report& report() const { return report_; }

  QVariant loadResource(int type, const QUrl& name) override;

 private:
  std::unique_ptr<PreviewResources> resources_;
  Report report_;
};

}  // namespace quillary
