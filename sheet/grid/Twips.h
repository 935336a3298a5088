#pragma once
// Window lengths are in twips (1/1440 inch): 15 twips are one pixel at 96 dpi.
// Conversion goes through the screen's logical DPI so the window scales.

class QWidget;

namespace quillary {

int TwipsToPixelsX(int twips, const QWidget* widget = nullptr);
int TwipsToPixelsY(int twips, const QWidget* widget = nullptr);
int PixelsToTwipsX(int pixels, const QWidget* widget = nullptr);
int PixelsToTwipsY(int pixels, const QWidget* widget = nullptr);

// A control's place in its parent, in twips.
struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

// Names the control as its window's handlers call it (when a name is given)
// and places it.
void PlaceInTwips(QWidget& control, const TwipsRect& rect, const char* name = nullptr);

}  // namespace quillary
