#pragma once
// The values of a page that the rich-text view can lay out in bounded time.
// Its layout works in 26.6 fixed point and never finishes on a page whose
// extent nears 2^23 pixels: every margin, padding, spacing, size, indent
// and line height of the parsed page is capped, and where all of them
// together could still reach that far, scaled down until they cannot.

class QTextDocument;

namespace quillary {

struct PageBounds {
  // Some value was capped or scaled down.
  bool capped = false;
  // Tables nested deeper, or with more places, than the markup allows: the
  // page is not to be laid out at all.
  bool tooComplex = false;
};

// How far all of a page's values together may reach, down or across.
inline constexpr double kPageExtentBudget = 4'000'000;

// The document is parsed and not yet laid out; its pictures are loaded to
// know their sizes.
PageBounds BoundPage(QTextDocument& document);

}  // namespace quillary
