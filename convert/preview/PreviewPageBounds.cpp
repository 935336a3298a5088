#include "convert/preview/PreviewPageBounds.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include "convert/preview/PreviewMarkupTree.h"
#include "convert/preview/PreviewPageMarkup.h"

namespace quillary {

namespace {

using P = QTextFormat;

// Each value alone: a length in pixels, a font, a percentage of what holds
// it (more than the whole would compound through nested boxes), a
// percentage of the font, indent levels and a stretch.
constexpr double kMostLength = 10'000;
constexpr double kMostFontPixels = 500;
constexpr double kMostShare = 100;
constexpr double kMostFontShare = 1000;
constexpr int kMostIndent = 50;
constexpr int kMostStretch = 400;
constexpr double kPointPixels = 96.0 / 72.0;

constexpr int kLengths[] = {P::BlockTopMargin,
                            P::BlockBottomMargin,
                            P::BlockLeftMargin,
                            P::BlockRightMargin,
                            P::TextIndent,
                            P::FontWordSpacing,
                            P::FrameBorder,
                            P::FrameMargin,
                            P::FramePadding,
                            P::FrameTopMargin,
                            P::FrameBottomMargin,
                            P::FrameLeftMargin,
                            P::FrameRightMargin,
                            P::TableCellSpacing,
                            P::TableCellPadding,
                            P::TableCellTopPadding,
                            P::TableCellBottomPadding,
                            P::TableCellLeftPadding,
                            P::TableCellRightPadding,
                            P::TableCellTopBorder,
                            P::TableCellBottomBorder,
                            P::TableCellLeftBorder,
                            P::TableCellRightBorder,
                            P::ImageWidth,
                            P::ImageHeight};

double Capped(double value, double most) { return std::isfinite(value) ? std::clamp(value, -most, most) : 0.0; }

// Caps and scales the value of `property`; false when it stays as it was.
bool CapDouble(QTextFormat& format, int property, double most, double scale, double least = 0) {
  if (!format.hasProperty(property)) return false;
  const double value = format.doubleProperty(property);
  double capped = Capped(value, most) * scale;
  if (least > 0 && std::abs(capped) < least) capped = std::copysign(least, capped);
  if (capped == value) return false;
  format.setProperty(property, capped);
  return true;
}

bool CapInt(QTextFormat& format, int property, int most, double scale, int least = 0) {
  if (!format.hasProperty(property)) return false;
  const int value = format.intProperty(property);
  const int capped = std::max(least, static_cast<int>(std::clamp(value, 0, most) * scale));
  if (capped == value) return false;
  format.setProperty(property, capped);
  return true;
}

QTextLength CappedLength(const QTextLength& length, double scale) {
  if (length.type() == QTextLength::FixedLength)
    return QTextLength(QTextLength::FixedLength, Capped(length.rawValue(), kMostLength) * scale);
  if (length.type() == QTextLength::PercentageLength)
    return QTextLength(QTextLength::PercentageLength, std::clamp(length.rawValue(), 0.0, kMostShare));
  return length;
}

bool CapLengths(QTextFormat& format, double scale) {
  bool changed = false;
  for (const int property : {P::FrameWidth, P::FrameHeight, P::BlockTrailingHorizontalRulerWidth}) {
    if (!format.hasProperty(property)) continue;
    const QTextLength capped = CappedLength(format.lengthProperty(property), scale);
    if (capped == format.lengthProperty(property)) continue;
    format.setProperty(property, capped);
    changed = true;
  }
  if (format.hasProperty(P::TableColumnWidthConstraints)) {
    QList<QTextLength> columns = format.lengthVectorProperty(P::TableColumnWidthConstraints);
    bool columnsChanged = false;
    for (QTextLength& column : columns) {
      const QTextLength capped = CappedLength(column, scale);
      columnsChanged = columnsChanged || !(capped == column);
      column = capped;
    }
    if (columnsChanged) format.setProperty(P::TableColumnWidthConstraints, columns);
    changed = changed || columnsChanged;
  }
  return changed;
}

// Every value of the format that bears on the layout; the properties of
// one kind of format never stand in another, so all are tried on each.
bool CapFormat(QTextFormat& format, double scale) {
  bool changed = false;
  for (const int property : kLengths) changed |= CapDouble(format, property, kMostLength, scale);
  changed |= CapLengths(format, scale);
  const bool shareOfFont = format.intProperty(P::LineHeightType) == QTextBlockFormat::ProportionalHeight;
  changed |= CapDouble(format, P::LineHeight, shareOfFont ? kMostFontShare : kMostLength, shareOfFont ? 1 : scale);
  const bool spacingShare = format.intProperty(P::FontLetterSpacingType) == QFont::PercentageSpacing;
  changed |=
      CapDouble(format, P::FontLetterSpacing, spacingShare ? kMostFontShare : kMostLength, spacingShare ? 1 : scale);
  // A size of 0 or less the view ignores; one above stays at least a pixel.
  if (format.doubleProperty(P::FontPointSize) > 0)
    changed |= CapDouble(format, P::FontPointSize, kMostFontPixels / kPointPixels, scale, 1 / kPointPixels);
  if (format.intProperty(P::FontPixelSize) > 0)
    changed |= CapInt(format, P::FontPixelSize, static_cast<int>(kMostFontPixels), scale, 1);
  changed |= CapInt(format, P::BlockIndent, kMostIndent, scale);
  changed |= CapInt(format, P::ListIndent, kMostIndent, scale);
  changed |= CapInt(format, P::FontStretch, kMostStretch, 1);
  return changed;
}

struct Extent {
  double down = 0;
  double across = 0;
};

double Reach(const QTextLength& length, double whole) {
  if (length.type() == QTextLength::FixedLength) return std::abs(length.rawValue());
  if (length.type() == QTextLength::PercentageLength) return length.rawValue() / 100 * whole;
  return 0;
}

double Abs(const QTextFormat& format, int property) { return std::abs(format.doubleProperty(property)); }

// A page as wide as a wide screen, for what is a share of the width.
constexpr double kScreenWidth = 4000;

void AddFrame(const QTextFrameFormat& format, Extent& extent) {
  const double box = 2 * (Abs(format, P::FramePadding) + Abs(format, P::FrameBorder));
  extent.down +=
      Abs(format, P::FrameTopMargin) + Abs(format, P::FrameBottomMargin) + box + Reach(format.height(), kScreenWidth);
  extent.across +=
      Abs(format, P::FrameLeftMargin) + Abs(format, P::FrameRightMargin) + box + Reach(format.width(), kScreenWidth);
}

void AddCell(const QTextFormat& cell, Extent& extent) {
  extent.down += Abs(cell, P::TableCellTopPadding) + Abs(cell, P::TableCellBottomPadding) +
                 Abs(cell, P::TableCellTopBorder) + Abs(cell, P::TableCellBottomBorder);
  extent.across += Abs(cell, P::TableCellLeftPadding) + Abs(cell, P::TableCellRightPadding) +
                   Abs(cell, P::TableCellLeftBorder) + Abs(cell, P::TableCellRightBorder);
}

void AddTable(const QTextTable& table, Extent& extent) {
  const QTextTableFormat format = table.format();
  const double rows = table.rows(), columns = table.columns();
  const double spacing = Abs(format, P::TableCellSpacing);
  const double box = 2 * (Abs(format, P::TableCellPadding) + Abs(format, P::FrameBorder));
  extent.down += (rows + 1) * spacing + rows * box;
  extent.across += (columns + 1) * spacing + columns * box;
  for (const QTextLength& column : format.columnWidthConstraints()) extent.across += Reach(column, kScreenWidth);
}

class Pass {
 public:
  Pass(QTextDocument& document, double scale) : document_(document), scale_(scale) {
    const QFont font = document.defaultFont();
    defaultPixels_ = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * kPointPixels;
  }

  // False when the tables are past what the markup lets through.
  bool Run() {
    if (!Frame(document_.rootFrame(), 0)) return false;
    Blocks();
    return true;
  }

  const Extent& extent() const { return extent_; }
  bool changed() const { return changed_; }

 private:
  bool Frame(QTextFrame* frame, int tables) {
    auto* table = qobject_cast<QTextTable*>(frame);
    QTextFrameFormat format = frame->frameFormat();
    if (CapFormat(format, scale_)) {
      changed_ = true;
      if (table)
        table->setFormat(format.toTableFormat());
      else
        frame->setFrameFormat(format);
    }
    AddFrame(format, extent_);
    if (table) {
      places_ += static_cast<long long>(table->rows()) * table->columns();
      if (++tables > MarkupTree::kMaxTableDepth || places_ > 2 * kPageTableCells) return false;
      AddTable(*table, extent_);
      Cells(*table);
    }
    for (QTextFrame* child : frame->childFrames())
      if (!Frame(child, tables)) return false;
    return true;
  }

  void Cells(QTextTable& table) {
    for (int row = 0; row < table.rows(); ++row) {
      for (int column = 0; column < table.columns(); ++column) {
        QTextTableCell cell = table.cellAt(row, column);
        if (cell.row() != row || cell.column() != column) continue;  // spanned over
        QTextCharFormat format = cell.format();
        if (CapFormat(format, scale_)) {
          changed_ = true;
          cell.setFormat(format);
        }
        AddCell(format, extent_);
      }
    }
  }

  double Pixels(const QTextCharFormat& format) const {
    if (format.intProperty(P::FontPixelSize) > 0) return format.intProperty(P::FontPixelSize);
    if (format.doubleProperty(P::FontPointSize) > 0) return format.doubleProperty(P::FontPointSize) * kPointPixels;
    // Up to "xx-large".
    return defaultPixels_ * (format.intProperty(P::FontSizeAdjustment) > 0 ? 2.4 : 1.0);
  }

  // The most one line of the block can take, in text of this size: every
  // character may have a line of its own.
  static double LineDown(const QTextBlockFormat& block, double pixels) {
    const double natural = 2 * pixels, height = std::abs(block.lineHeight());
    switch (block.lineHeightType()) {
      case QTextBlockFormat::ProportionalHeight: return natural * std::max(1.0, height / 100);
      case QTextBlockFormat::FixedHeight:
      case QTextBlockFormat::LineDistanceHeight: return natural + height;
      case QTextBlockFormat::MinimumHeight: return std::max(natural, height);
      default: return natural;
    }
  }

  // A picture's size as laid out: as the page gives it, or its own, the
  // one scaled as the other is where only one is given.
  QSizeF PictureSize(const QTextImageFormat& format) {
    const QVariant picture = document_.resource(QTextDocument::ImageResource, QUrl(format.name()));
    QSizeF own = picture.typeId() == QMetaType::QPixmap  ? QSizeF(picture.value<QPixmap>().size())
                 : picture.typeId() == QMetaType::QImage ? QSizeF(picture.value<QImage>().size())
                                                         : QSizeF(16, 16);
    own = own.expandedTo(QSizeF(1, 1));
    const double width = format.width(), height = format.height();
    if (width > 0 && height > 0) return {width, height};
    if (width > 0) return {width, own.height() * width / own.width()};
    if (height > 0) return {own.width() * height / own.height(), height};
    return own;
  }

  // Gives a picture a size of its own where it would reach too far, or
  // where all is scaled down.
  bool SizePicture(QTextCharFormat& format) {
    QTextImageFormat picture = format.toImageFormat();
    QSizeF size = PictureSize(picture);
    const double fit = std::min({1.0, kMostLength / size.width(), kMostLength / size.height()});
    if (fit == 1.0 && scale_ == 1.0) return false;
    size *= fit * scale_;
    picture.setWidth(std::max(1.0, size.width()));
    picture.setHeight(std::max(1.0, size.height()));
    format = picture;
    return true;
  }

  void Blocks() {
    struct Change {
      int position, length;
      QTextFormat format;
    };
    std::vector<Change> blocks, blockChars, fragments;
    std::set<QTextList*> lists;
    for (QTextBlock block = document_.begin(); block.isValid(); block = block.next()) {
      QTextBlockFormat format = block.blockFormat();
      if (CapFormat(format, scale_)) blocks.push_back({block.position(), 0, format});
      extent_.down += Abs(format, P::BlockTopMargin) + Abs(format, P::BlockBottomMargin);
      extent_.across += Abs(format, P::BlockLeftMargin) + Abs(format, P::BlockRightMargin) +
                        Abs(format, P::TextIndent) + format.indent() * document_.indentWidth();
      QTextCharFormat blockChar = block.charFormat();
      if (Characters(blockChar, format, 1)) blockChars.push_back({block.position(), 0, blockChar});
      if (QTextList* list = block.textList(); list && lists.insert(list).second) List(*list);
      for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        QTextCharFormat characters = fragment.charFormat();
        if (Characters(characters, format, fragment.length()))
          fragments.push_back({fragment.position(), fragment.length(), characters});
      }
    }
    changed_ = changed_ || !blocks.empty() || !blockChars.empty() || !fragments.empty();
    QTextCursor cursor(&document_);
    cursor.beginEditBlock();
    for (const Change& change : blocks) {
      cursor.setPosition(change.position);
      cursor.setBlockFormat(change.format.toBlockFormat());
    }
    for (const Change& change : blockChars) {
      cursor.setPosition(change.position);
      cursor.setBlockCharFormat(change.format.toCharFormat());
    }
    for (const Change& change : fragments) {
      cursor.setPosition(change.position);
      cursor.setPosition(change.position + change.length, QTextCursor::KeepAnchor);
      cursor.setCharFormat(change.format.toCharFormat());
    }
    cursor.endEditBlock();
  }

  void List(QTextList& list) {
    QTextListFormat format = list.format();
    if (CapFormat(format, scale_)) {
      changed_ = true;
      list.setFormat(format);
    }
    extent_.across += format.indent() * document_.indentWidth();
  }

  // Caps `count` characters of this format and adds their reach; true when
  // the format changed.
  bool Characters(QTextCharFormat& format, const QTextBlockFormat& block, int count) {
    bool changed = CapFormat(format, scale_);
    if (format.isImageFormat()) {
      changed = SizePicture(format) || changed;
      const QSizeF size = PictureSize(format.toImageFormat());
      extent_.down += size.height();
      extent_.across += size.width();
      return changed;
    }
    if (scale_ < 1 && format.intProperty(P::FontPixelSize) <= 0 && format.doubleProperty(P::FontPointSize) <= 0) {
      format.setProperty(P::FontPixelSize, std::max(1, static_cast<int>(Pixels(format) * scale_)));
      changed = true;
    }
    const double pixels = Pixels(format);
    const double stretch = format.fontStretch() > 0 ? format.fontStretch() / 100.0 : 1.0;
    const double letters = format.fontLetterSpacingType() == QFont::PercentageSpacing
                               ? std::max(1.0, format.fontLetterSpacing() / 100) * 2 * pixels * stretch
                               : 2 * pixels * stretch + std::abs(format.fontLetterSpacing());
    extent_.down += count * LineDown(block, pixels);
    extent_.across += count * (letters + std::abs(format.fontWordSpacing()));
    return changed;
  }

  QTextDocument& document_;
  const double scale_;
  double defaultPixels_ = 16;
  Extent extent_;
  long long places_ = 0;
  bool changed_ = false;
};

}  // namespace

PageBounds BoundPage(QTextDocument& document) {
  PageBounds bounds;
  Pass capped(document, 1);
  if (!capped.Run()) {
    bounds.tooComplex = true;
    return bounds;
  }
  bounds.capped = capped.changed();
  const double reach = std::max(capped.extent().down, capped.extent().across);
  if (reach > kPageExtentBudget) {
    Pass(document, kPageExtentBudget / reach).Run();
    bounds.capped = true;
  }
  return bounds;
}

}  // namespace quillary
