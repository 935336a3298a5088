#include "sheet/grid/Twips.h"

#include <cmath>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace quillary {

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kFallbackDpi = 96.0;

enum class Axis { X, Y };

// The widget's own screen, so a window on a second monitor scales with it;
// without a widget the primary screen.
double LogicalDpi(const QWidget* widget, Axis axis) {
  if (widget) return axis == Axis::X ? widget->logicalDpiX() : widget->logicalDpiY();
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    return axis == Axis::X ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
  return kFallbackDpi;
}

int ToPixels(int twips, const QWidget* widget, Axis axis) {
  return static_cast<int>(std::lround(twips * LogicalDpi(widget, axis) / kTwipsPerInch));
}

int ToTwips(int pixels, const QWidget* widget, Axis axis) {
  const double dpi = LogicalDpi(widget, axis);
  return dpi > 0 ? static_cast<int>(std::lround(pixels * kTwipsPerInch / dpi)) : 0;
}

}  // namespace

int TwipsToPixelsX(int twips, const QWidget* widget) { return ToPixels(twips, widget, Axis::X); }
int TwipsToPixelsY(int twips, const QWidget* widget) { return ToPixels(twips, widget, Axis::Y); }
int PixelsToTwipsX(int pixels, const QWidget* widget) { return ToTwips(pixels, widget, Axis::X); }
int PixelsToTwipsY(int pixels, const QWidget* widget) { return ToTwips(pixels, widget, Axis::Y); }

void PlaceInTwips(QWidget& control, const TwipsRect& rect, const char* name) {
  if (name) control.setObjectName(QString::fromLatin1(name));
  control.setGeometry(TwipsToPixelsX(rect.left, &control), TwipsToPixelsY(rect.top, &control),
                      TwipsToPixelsX(rect.width, &control), TwipsToPixelsY(rect.height, &control));
}

}  // namespace quillary
