#pragma once
// Small pages that the rich-text view, given them as they stand, takes
// minutes to lay out or never finishes: nested tables (each level doubles
// the time), values near or past its fixed-point range, grids made huge by
// their spans, deep nesting of lists and inline elements. Found by timing
// the view's layout of candidates; every one of them within the preview's
// page limit of 16,000 units.

#include <utility>
#include <vector>

#include <QString>

namespace quillary::testing {

// What the preview is expected to say of a bomb: laid flat, capped.
enum BombEffect { Simplified = 1, Capped = 2 };

struct LayoutBomb {
  const char* name;
  QString html;
  int effects;
};

inline QString Repeated(const QString& text, int times) { return text.repeated(times); }

inline QString NestedTables(int levels, const QString& inner = QStringLiteral("x")) {
  return Repeated(QStringLiteral("<table><tr><td>"), levels) + inner +
         Repeated(QStringLiteral("</td></tr></table>"), levels);
}

inline QString Nested(const QString& open, const QString& close, int levels,
                      const QString& inner = QStringLiteral("x")) {
  return Repeated(open, levels) + inner + Repeated(close, levels);
}

inline std::vector<LayoutBomb> LayoutBombs() {
  const QString huge = QStringLiteral("2000000000");
  const QString cell = QStringLiteral("<table %1><tr><td %2>x</td><td>y</td></tr><tr><td>z</td></tr></table>");
  std::vector<LayoutBomb> bombs = {
      {"20 nested tables", NestedTables(20), Simplified},
      {"60 tables nested 6 deep", Repeated(NestedTables(6), 60), Simplified},
      {"a 30 × 30 table in 5 nested ones",
       NestedTables(5, QStringLiteral("<table>") +
                           Repeated(QStringLiteral("<tr>") + Repeated(QStringLiteral("<td>x</td>"), 30) +
                                        QStringLiteral("</tr>"),
                                    30) +
                           QStringLiteral("</table>")),
       Simplified},
      {"cellpadding", cell.arg(QStringLiteral("cellpadding=") + huge, QString()), Capped},
      {"table and cell widths", cell.arg(QStringLiteral("width=") + huge, QStringLiteral("width=") + huge), Capped},
      {"widths in percent, nested",
       Nested(QStringLiteral("<table width=\"1000000%\"><tr><td width=\"1000000%\">"),
              QStringLiteral("</td></tr></table>"), 5),
       Capped},
      {"colspan", cell.arg(QString(), QStringLiteral("colspan=") + huge), 0},
      {"rowspan on 600 rows",
       QStringLiteral("<table>") + Repeated(QStringLiteral("<tr><td rowspan=1000>x</td></tr>"), 600), Simplified},
      {"600 rows spanning 1000 columns",
       QStringLiteral("<table>") + Repeated(QStringLiteral("<tr><td colspan=1000>x</td></tr>"), 600), Simplified},
      {"a sparse 700 × 700 grid",
       QStringLiteral("<table><tr>") + Repeated(QStringLiteral("<td>"), 700) +
           Repeated(QStringLiteral("<tr><td>x"), 700),
       Simplified},
      {"pictures and rules",
       Repeated(QStringLiteral("<img src=\"none.png\" width=%1 height=%1><hr width=%1>").arg(huge), 50), Capped},
      {"font sizes in style attributes",
       Repeated(QStringLiteral("<p style=\"font-size:100000px\">あいうえお</p>"), 100), Capped},
      {"font sizes in a style sheet",
       QStringLiteral("<style>p { font-size: 20000pt }</style>") + Repeated(QStringLiteral("<p>abc</p>"), 300), Capped},
      {"margins in a style sheet",
       QStringLiteral("<style>p { margin: 5000000px }</style>") + Repeated(QStringLiteral("<p>x</p>"), 300), Capped},
      {"10,000 px margins on every paragraph",
       QStringLiteral("<style>p { margin: 10000px; padding: 10000px }</style>") +
           Repeated(QStringLiteral("<p>x</p>"), 2000),
       Capped},
      {"line heights", Repeated(QStringLiteral("<p style=\"line-height:100000000%\">x<br>y</p>"), 50), Capped},
      {"cell padding in style", cell.arg(QString(), QStringLiteral("style=\"padding:100000000px\"")), Capped},
      {"indents and spacing",
       QStringLiteral(
           "<p style=\"text-indent:1e9px; letter-spacing:1e9px; word-spacing:1e9px\">a b c</p>"
           "<p style=\"-qt-block-indent:1000000000\">d</p><ul style=\"-qt-list-indent:1000000000\"><li>e</ul>"),
       Capped},
      {"1,000 nested lists", Nested(QStringLiteral("<ul><li>"), QStringLiteral("</li></ul>"), 1000), Simplified},
      {"3,000 nested bold", Nested(QStringLiteral("<b>"), QStringLiteral("</b>"), 3000), Simplified},
      {"1,000 nested divs with margins",
       Nested(QStringLiteral("<div style=\"margin-left:40px\">"), QStringLiteral("</div>"), 1000), Simplified},
  };
  // All of them in one page, cut where the preview cuts a page.
  QString all;
  for (const LayoutBomb& bomb : bombs) all += bomb.html.left(1200);
  bombs.push_back({"all of them in one page", all.left(16'000), Simplified | Capped});
  return bombs;
}

}  // namespace quillary::testing
