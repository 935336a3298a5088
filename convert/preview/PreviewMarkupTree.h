#pragma once
// A page's markup read into a tree as a browser reads it: elements closed
// where HTML closes them by implication, comments, scripts and stray table
// tags dropped, and nesting held to a depth. Written out again, every
// element explicitly closed, it leaves the rich-text view no room to read
// the page otherwise than this tree says.

#include <utility>
#include <vector>

#include <QString>
#include <QStringView>

namespace quillary {

struct MarkupNode {
  enum class Kind { Element, Text, Style };
  Kind kind = Kind::Element;
  // Lower case; for elements only.
  QString name;
  // Decoded values, the first of each name, in order.
  std::vector<std::pair<QString, QString>> attributes;
  // Text as written (entities kept), or a style sheet's text.
  QString text;
  std::vector<int> children;
  // Written without its own tags, its content in its place: a table laid
  // flat, with its rows and cells.
  bool flat = false;
  int parent = -1;

  QString Attribute(const QString& name) const;
};

// br, img, ...: no content, no end tag.
bool IsVoidElement(const QString& name);
// The parts of a table below it: row groups, rows, cells, its caption.
bool IsTablePart(const QString& name);

class MarkupTree {
 public:
  // Nesting deeper than this drops the tags (their content stays); a table
  // that deep or deeper is laid flat.
  static constexpr int kMaxDepth = 64;
  static constexpr int kMaxTableDepth = 6;

  explicit MarkupTree(QStringView html);

  // Node 0 is the root, an element without a name.
  const std::vector<MarkupNode>& nodes() const { return nodes_; }
  MarkupNode& node(int index) { return nodes_[static_cast<std::size_t>(index)]; }
  const MarkupNode& node(int index) const { return nodes_[static_cast<std::size_t>(index)]; }
  // Some tags were dropped, or tables laid flat, for their depth.
  bool cut() const { return cut_; }

 private:
  void Parse(QStringView html);
  qsizetype StartTag(QStringView html, qsizetype at);
  qsizetype EndTag(QStringView html, qsizetype at);
  qsizetype RawText(QStringView html, qsizetype at, const QString& name);
  void Open(const QString& name, std::vector<std::pair<QString, QString>> attributes);
  void Close(const QString& name);
  void AddText(QStringView text);
  int Add(MarkupNode node);
  // The nearest open element named one of `names`, not beyond one of
  // `bounds`; -1 when none.
  int FindOpen(std::initializer_list<const char*> names, std::initializer_list<const char*> bounds) const;
  void PopTo(int openIndex);
  void CloseImplied(const QString& name);
  bool InTable() const;
  int Top() const { return open_.back(); }

  std::vector<MarkupNode> nodes_;
  // Indices of the open elements, the root first.
  std::vector<int> open_;
  int depth_ = 0;       // open elements with tags of their own
  int tableDepth_ = 0;  // open tables not laid flat
  bool cut_ = false;
};

}  // namespace quillary
