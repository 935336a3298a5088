#pragma once
// The preview's text view: the output as text, the values filled in it on
// a yellow ground, the placeholders left unfilled on a red one and the
// comments naming no field on a violet one.

#include <string_view>
#include <vector>

#include <QPlainTextEdit>

#include "convert/PreviewExpansion.h"

namespace quillary {

class PreviewTextView final : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit PreviewTextView(QWidget* parent = nullptr);
  ~PreviewTextView() override;

  // The spans count units of text, which is shown whole.
  void ShowOutput(std::u16string_view text, const std::vector<TextSpan>& values, const std::vector<TextSpan>& unfilled,
                  const std::vector<TextSpan>& unknown);

  // The colours of the three kinds, for the legend and the tests.
  static QColor ValueColor();
  static QColor UnfilledColor();
  static QColor UnknownColor();

 private:
  class Highlighter;
  Highlighter* highlighter_;
};

}  // namespace quillary
