#include "convert/preview/PreviewPageMarkup.h"

#include <algorithm>
#include <vector>

#include "convert/preview/PreviewMarkupTree.h"

namespace quillary {

namespace {

using Kind = MarkupNode::Kind;

// What an element weighs beside its text.
constexpr long long kElementWeight = 8;

bool IsTable(const MarkupNode& node) { return node.kind == Kind::Element && !node.flat && node.name == u"table"; }
bool IsCell(const MarkupNode& node) { return node.kind == Kind::Element && (node.name == u"td" || node.name == u"th"); }

struct Weight {
  long long total = 0;
  int deepest = 0;  // tables in tables
};

void Weigh(const MarkupTree& tree, int index, int tables, Weight& weight) {
  const MarkupNode& node = tree.node(index);
  if (node.kind != Kind::Element) {
    weight.total += static_cast<long long>(node.text.size()) << tables;
    return;
  }
  if (IsTable(node)) weight.deepest = std::max(weight.deepest, ++tables);
  weight.total += kElementWeight << tables;
  for (const int child : node.children) Weigh(tree, child, tables, weight);
}

Weight Weigh(const MarkupTree& tree) {
  Weight weight;
  Weigh(tree, 0, 0, weight);
  return weight;
}

// The table's row groups, rows and cells, not those of tables in its cells.
void LayPartsFlat(MarkupTree& tree, int index) {
  for (const int child : tree.node(index).children) {
    MarkupNode& part = tree.node(child);
    if (part.kind != Kind::Element || !IsTablePart(part.name)) continue;
    part.flat = true;
    LayPartsFlat(tree, child);
  }
}

void LayFlat(MarkupTree& tree, int table) {
  tree.node(table).flat = true;
  LayPartsFlat(tree, table);
}

void LayFlatAtDepth(MarkupTree& tree, int index, int tables, int depth) {
  if (tree.node(index).kind != Kind::Element) return;
  if (IsTable(tree.node(index)) && ++tables == depth) return LayFlat(tree, index);
  for (const int child : tree.node(index).children) LayFlatAtDepth(tree, child, tables, depth);
}

std::vector<int> RowsOf(const MarkupTree& tree, int table) {
  std::vector<int> rows;
  for (const int child : tree.node(table).children) {
    const MarkupNode& part = tree.node(child);
    if (part.kind != Kind::Element) continue;
    if (part.name == u"tr") rows.push_back(child);
    if (part.name == u"tbody" || part.name == u"thead" || part.name == u"tfoot")
      for (const int row : part.children)
        if (tree.node(row).kind == Kind::Element && tree.node(row).name == u"tr") rows.push_back(row);
  }
  return rows;
}

// A span as a browser reads it: its leading digits, 1 without any; 0
// stands for `whole` (a row span to the table's end).
int ReadSpan(const QString& text, int whole, int most) {
  const QString trimmed = text.trimmed();
  qsizetype digits = 0;
  while (digits < trimmed.size() && digits < 9 && trimmed[digits].isDigit()) ++digits;
  if (digits == 0) return 1;
  const int span = trimmed.first(digits).toInt();
  return std::min(span > 0 ? span : whole, most);
}

void SetSpan(MarkupNode& cell, const QString& name, int span) {
  auto& attributes = cell.attributes;
  attributes.erase(std::remove_if(attributes.begin(), attributes.end(), [&](const auto& a) { return a.first == name; }),
                   attributes.end());
  if (span > 1) attributes.emplace_back(name, QString::number(span));
}

// Places the cells as the view does, spans across the columns and down the
// rows below, and writes the spans back as placed (spans beyond the table's
// end or past kMaxColumnSpan cut back, as browsers cut them). The places,
// rows times columns, or more than `most` when they reach past it.
long long Place(MarkupTree& tree, const std::vector<int>& rows, bool spans, long long most) {
  const auto rowCount = static_cast<long long>(rows.size());
  const QString across = QStringLiteral("colspan"), down = QStringLiteral("rowspan");
  // Per column: the rows below still taken by a span from above.
  std::vector<int> taken;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const int rowsLeft = static_cast<int>(rows.size() - r);
    std::size_t column = 0;
    for (const int index : tree.node(rows[r]).children) {
      MarkupNode& cell = tree.node(index);
      if (!IsCell(cell)) continue;
      while (column < taken.size() && taken[column] > 0) ++column;
      const int wide = spans ? ReadSpan(cell.Attribute(across), 1, kMaxColumnSpan) : 1;
      const int high = spans ? ReadSpan(cell.Attribute(down), rowsLeft, rowsLeft) : 1;
      SetSpan(cell, across, wide);
      SetSpan(cell, down, high);
      if (static_cast<long long>(column + wide) * rowCount > most) return most + 1;
      if (taken.size() < column + wide) taken.resize(column + wide, 0);
      std::fill(taken.begin() + static_cast<long>(column), taken.begin() + static_cast<long>(column + wide), high);
      column += wide;
    }
    for (int& rowsTaken : taken) rowsTaken = std::max(0, rowsTaken - 1);
  }
  return rowCount * static_cast<long long>(taken.size());
}

bool IsAttributeName(const QString& name) {
  return !name.isEmpty() && name.front() >= u'a' && name.front() <= u'z' &&
         std::all_of(name.begin(), name.end(), [](QChar c) {
           return (c >= u'a' && c <= u'z') || c.isDigit() || c == u'-' || c == u'_' || c == u':' || c == u'.';
         });
}

QString Escaped(const QString& value) {
  QString escaped = value;
  return escaped.replace(u'&', QStringLiteral("&amp;"))
      .replace(u'<', QStringLiteral("&lt;"))
      .replace(u'>', QStringLiteral("&gt;"))
      .replace(u'"', QStringLiteral("&quot;"));
}

void Write(const MarkupTree& tree, int index, QString& out) {
  const MarkupNode& node = tree.node(index);
  if (node.kind == Kind::Text) {
    out += QString(node.text).replace(u'<', QStringLiteral("&lt;"));
    return;
  }
  if (node.kind == Kind::Style) {
    out += QStringLiteral("<style>") + node.text + QStringLiteral("</style>");
    return;
  }
  const bool tags = index != 0 && !node.flat;
  if (tags) {
    out += u'<' + node.name;
    for (const auto& [name, value] : node.attributes)
      if (IsAttributeName(name)) out += u' ' + name + QStringLiteral("=\"") + Escaped(value) + u'"';
    // Closed in the tag: the view takes a link without "/>" to hold all
    // that follows.
    if (IsVoidElement(node.name)) {
      out += QStringLiteral("/>");
      return;
    }
    out += u'>';
  }
  for (const int child : node.children) Write(tree, child, out);
  if (tags)
    out += QStringLiteral("</") + node.name + u'>';
  else if (node.flat && node.name == u"tr")
    out += QStringLiteral("<br/>");
  else if (node.flat && IsCell(node))
    out += u' ';
}

}  // namespace

PageMarkup BoundPageMarkup(QStringView html) {
  MarkupTree tree(html);
  PageMarkup page;
  page.simplified = tree.cut();
  // The deepest tables first: each level doubles what is inside it.
  for (Weight weight = Weigh(tree); weight.total > kPageLayoutBudget && weight.deepest > 1; weight = Weigh(tree)) {
    LayFlatAtDepth(tree, 0, 0, weight.deepest);
    page.simplified = true;
  }
  // Nodes come in the order their tags stood: outer tables first.
  long long places = 0;
  for (int index = 0; index < static_cast<int>(tree.nodes().size()); ++index) {
    if (!IsTable(tree.node(index))) continue;
    const std::vector<int> rows = RowsOf(tree, index);
    const long long room = kPageTableCells - places;
    long long placed = Place(tree, rows, true, room);
    if (placed > room) {
      // Without its spans, or else flat.
      page.simplified = true;
      placed = Place(tree, rows, false, room);
      if (placed > room) LayFlat(tree, index);
    }
    if (placed <= room) places += placed;
  }
  page.html.reserve(html.size() + html.size() / 8);
  Write(tree, 0, page.html);
  return page;
}

}  // namespace quillary
