#pragma once
// A page's markup made safe for the rich-text view to read and lay out:
// its tables cost that view about twice as much at every level of nesting,
// and a table's every row and column, spans included, is made whole before
// it is laid out. Deep tables are laid flat and spans cut back until the
// page stays within a budget; everything is written out explicitly closed.

#include <QString>
#include <QStringView>

namespace quillary {

struct PageMarkup {
  QString html;
  // Tags dropped, tables laid flat or spans cut back.
  bool simplified = false;
};

// The layout cost a page may have: its units, each weighed twice over for
// every table it is in.
inline constexpr long long kPageLayoutBudget = 96'000;
// Row and column places of all the page's tables together.
inline constexpr long long kPageTableCells = 20'000;
// As browsers have it.
inline constexpr int kMaxColumnSpan = 1000;

PageMarkup BoundPageMarkup(QStringView html);

}  // namespace quillary
