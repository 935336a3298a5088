#include "convert/preview/PreviewTextView.h"

#include <algorithm>

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

namespace quillary {

namespace {

// The spans as disjoint runs in order: nested and touching values are one
// marked run.
std::vector<TextSpan> Merged(std::vector<TextSpan> spans) {
  std::sort(spans.begin(), spans.end(), [](const TextSpan& a, const TextSpan& b) { return a.begin < b.begin; });
  std::vector<TextSpan> runs;
  for (const TextSpan& span : spans) {
    if (!runs.empty() && span.begin <= runs.back().end)
      runs.back().end = std::max(runs.back().end, span.end);
    else if (span.begin < span.end)
      runs.push_back(span);
  }
  return runs;
}

// The document makes one line end of CR LF: positions after one move back.
class LineEnds {
 public:
  explicit LineEnds(std::u16string_view text) {
    for (std::size_t at = text.find(u"\r\n"); at != std::u16string_view::npos; at = text.find(u"\r\n", at + 2))
      droppedCr_.push_back(at);
  }
  std::size_t Shown(std::size_t position) const {
    return position - static_cast<std::size_t>(std::lower_bound(droppedCr_.begin(), droppedCr_.end(), position) -
                                               droppedCr_.begin());
  }
  std::vector<TextSpan> Shown(const std::vector<TextSpan>& spans) const {
    std::vector<TextSpan> shown;
    shown.reserve(spans.size());
    for (const TextSpan& span : spans) shown.push_back({Shown(span.begin), Shown(span.end)});
    return shown;
  }

 private:
  std::vector<std::size_t> droppedCr_;
};

QTextCharFormat Background(const QColor& colour) {
  QTextCharFormat format;
  format.setBackground(colour);
  return format;
}

}  // namespace

// Colours each line as it is laid out, from the runs that reach into it.
class PreviewTextView::Highlighter final : public QSyntaxHighlighter {
 public:
  explicit Highlighter(QTextDocument* document) : QSyntaxHighlighter(document) {}

  void SetRuns(std::vector<TextSpan> values, std::vector<TextSpan> unfilled, std::vector<TextSpan> unknown) {
    values_ = std::move(values);
    unfilled_ = std::move(unfilled);
    unknown_ = std::move(unknown);
  }

 protected:
  void highlightBlock(const QString& text) override {
    const std::size_t begin = static_cast<std::size_t>(currentBlock().position());
    const std::size_t end = begin + static_cast<std::size_t>(text.size());
    // The unfilled ones last: a value may hold one.
    Colour(values_, begin, end, valueFormat_);
    Colour(unfilled_, begin, end, unfilledFormat_);
    Colour(unknown_, begin, end, unknownFormat_);
  }

 private:
  void Colour(const std::vector<TextSpan>& runs, std::size_t begin, std::size_t end, const QTextCharFormat& format) {
    auto run = std::upper_bound(runs.begin(), runs.end(), begin,
                                [](std::size_t at, const TextSpan& span) { return at < span.end; });
    for (; run != runs.end() && run->begin < end; ++run) {
      const std::size_t from = std::max(run->begin, begin);
      const std::size_t to = std::min(run->end, end);
      setFormat(static_cast<int>(from - begin), static_cast<int>(to - from), format);
    }
  }

  std::vector<TextSpan> values_, unfilled_, unknown_;
  const QTextCharFormat valueFormat_ = Background(ValueColor());
  const QTextCharFormat unfilledFormat_ = Background(UnfilledColor());
  const QTextCharFormat unknownFormat_ = Background(UnknownColor());
};

PreviewTextView::PreviewTextView(QWidget* parent) : QPlainTextEdit(parent) {
  setObjectName(QStringLiteral("OutputText"));
  setReadOnly(true);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  // The view is rebuilt whole on every refresh; there is nothing to undo.
  setUndoRedoEnabled(false);
  highlighter_ = new Highlighter(document());
}

PreviewTextView::~PreviewTextView() = default;

void PreviewTextView::ShowOutput(std::u16string_view text, const std::vector<TextSpan>& values,
                                 const std::vector<TextSpan>& unfilled, const std::vector<TextSpan>& unknown) {
  const LineEnds lineEnds(text);
  highlighter_->SetRuns(Merged(lineEnds.Shown(values)), Merged(lineEnds.Shown(unfilled)),
                        Merged(lineEnds.Shown(unknown)));
  // Laying out the new text colours it.
  setPlainText(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
}

QColor PreviewTextView::ValueColor() { return QColor(0xff, 0xee, 0x99); }
QColor PreviewTextView::UnfilledColor() { return QColor(0xff, 0xc4, 0xc4); }
QColor PreviewTextView::UnknownColor() { return QColor(0xd8, 0xc8, 0xff); }

}  // namespace quillary
