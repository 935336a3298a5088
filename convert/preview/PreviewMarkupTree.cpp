#include "convert/preview/PreviewMarkupTree.h"

#include <algorithm>
#include <iterator>

#include <QStringList>

namespace quillary {

namespace {

// Open elements in all, flat ones included: the tree's depth, and so the
// depth of every walk over it.
constexpr std::size_t kMaxOpen = 256;

bool IsAsciiLetter(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsSpace(QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f'; }

bool IsOneOf(const QString& name, std::initializer_list<const char*> names) {
  return std::any_of(names.begin(), names.end(), [&](const char* n) { return name == QLatin1StringView(n); });
}

bool IsHeading(const QString& name) { return IsOneOf(name, {"h1", "h2", "h3", "h4", "h5", "h6"}); }

// Elements whose start closes an open paragraph.
bool ClosesParagraph(const QString& name) {
  return IsHeading(name) ||
         IsOneOf(name, {"address", "article", "aside",  "blockquote", "center",   "dd",         "details",
                        "dir",     "div",     "dl",     "dt",         "fieldset", "figcaption", "figure",
                        "footer",  "form",    "header", "hr",         "li",       "main",       "menu",
                        "nav",     "ol",      "p",      "pre",        "section",  "table",      "ul"});
}

// Tag names the view is given: letters, digits and hyphens.
bool IsPlainName(const QString& name) {
  return !name.isEmpty() && IsAsciiLetter(name.front()) &&
         std::all_of(name.begin(), name.end(), [](QChar c) { return IsAsciiLetter(c) || c.isDigit() || c == u'-'; });
}

// A browser takes a link whose rel names a style sheet for one, whatever
// its type; the view takes a link for one by its type alone.
void TypeTheStyleSheet(std::vector<std::pair<QString, QString>>& attributes) {
  QString rel;
  for (const auto& [name, value] : attributes)
    if (name == u"rel") rel = value.toLower();
  const QStringList kinds = rel.split(u' ', Qt::SkipEmptyParts);
  std::erase_if(attributes, [](const auto& attribute) { return attribute.first == u"type"; });
  if (kinds.contains(u"stylesheet") && !kinds.contains(u"alternate"))
    attributes.emplace_back(QStringLiteral("type"), QStringLiteral("text/css"));
}

QString DecodeEntities(QStringView text) {
  static const std::pair<const char*, char16_t> kNamed[] = {{"amp", u'&'},  {"lt", u'<'},    {"gt", u'>'},
                                                            {"quot", u'"'}, {"apos", u'\''}, {"nbsp", u'\u00a0'}};
  QString decoded;
  decoded.reserve(text.size());
  for (qsizetype at = 0; at < text.size();) {
    const qsizetype semicolon = text[at] == u'&' ? text.indexOf(u';', at) : -1;
    if (semicolon > at + 1 && semicolon - at <= 10) {
      const QStringView entity = text.sliced(at + 1, semicolon - at - 1);
      bool ok = false;
      char32_t code = 0;
      if (entity.startsWith(u'#')) {
        const bool hex = entity.size() > 1 && (entity[1] == u'x' || entity[1] == u'X');
        code = entity.sliced(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
        ok = ok && code > 0 && code <= 0x10FFFF && !QChar::isSurrogate(code);
      } else {
        const auto* named = std::find_if(std::begin(kNamed), std::end(kNamed),
                                         [&](const auto& entry) { return entity == QLatin1StringView(entry.first); });
        ok = named != std::end(kNamed);
        if (ok) code = named->second;
      }
      if (ok) {
        decoded += QString::fromUcs4(&code, 1);
        at = semicolon + 1;
        continue;
      }
    }
    decoded += text[at++];
  }
  return decoded;
}

}  // namespace

bool IsVoidElement(const QString& name) {
  return IsOneOf(name, {"area", "br", "embed", "hr", "img", "input", "link", "meta", "param", "source", "track", "wbr",
                        "basefont", "frame", "keygen"});
}

bool IsTablePart(const QString& name) {
  return IsOneOf(name, {"tr", "td", "th", "tbody", "thead", "tfoot", "caption"});
}

QString MarkupNode::Attribute(const QString& wanted) const {
  for (const auto& [key, value] : attributes)
    if (key == wanted) return value;
  return QString();
}

MarkupTree::MarkupTree(QStringView html) {
  nodes_.emplace_back();
  open_.push_back(0);
  Parse(html);
}

void MarkupTree::Parse(QStringView html) {
  const qsizetype size = html.size();
  qsizetype text = 0;
  for (qsizetype at = 0; (at = html.indexOf(u'<', at)) >= 0;) {
    const QChar next = at + 1 < size ? html[at + 1] : QChar();
    const QChar after = at + 2 < size ? html[at + 2] : QChar();
    const bool comment = html.sliced(at).startsWith(u"<!--");
    const bool bogus = next == u'!' || next == u'?' || (next == u'/' && !IsAsciiLetter(after));
    if (!comment && !bogus && !IsAsciiLetter(next) && next != u'/') {
      ++at;  // a "<" of the text
      continue;
    }
    AddText(html.sliced(text, at - text));
    qsizetype end;
    if (comment) {
      end = html.indexOf(u"-->", at + 4);
      end = end < 0 ? size : end + 3;
    } else if (bogus) {
      end = html.indexOf(u'>', at);
      end = end < 0 ? size : end + 1;
    } else {
      end = next == u'/' ? EndTag(html, at) : StartTag(html, at);
    }
    text = at = end;
  }
  AddText(html.sliced(text));
}

// Reads a start tag as a browser's tokenizer does; returns where it ends.
qsizetype MarkupTree::StartTag(QStringView html, qsizetype at) {
  const qsizetype size = html.size();
  qsizetype i = at + 1;
  while (i < size && !IsSpace(html[i]) && html[i] != u'/' && html[i] != u'>') ++i;
  const QString name = html.sliced(at + 1, i - at - 1).toString().toLower();
  std::vector<std::pair<QString, QString>> attributes;
  for (;;) {
    while (i < size && (IsSpace(html[i]) || html[i] == u'/')) ++i;
    if (i >= size) return size;  // cut off: dropped
    if (html[i] == u'>') break;
    const qsizetype nameStart = i++;
    while (i < size && !IsSpace(html[i]) && html[i] != u'/' && html[i] != u'>' && html[i] != u'=') ++i;
    const QString attribute = html.sliced(nameStart, i - nameStart).toString().toLower();
    while (i < size && IsSpace(html[i])) ++i;
    QStringView value;
    if (i < size && html[i] == u'=') {
      ++i;
      while (i < size && IsSpace(html[i])) ++i;
      if (i < size && (html[i] == u'"' || html[i] == u'\'')) {
        const qsizetype close = html.indexOf(html[i], i + 1);
        if (close < 0) return size;
        value = html.sliced(i + 1, close - i - 1);
        i = close + 1;
      } else {
        const qsizetype valueStart = i;
        while (i < size && !IsSpace(html[i]) && html[i] != u'>') ++i;
        value = html.sliced(valueStart, i - valueStart);
      }
    }
    const bool seen =
        std::any_of(attributes.begin(), attributes.end(), [&](const auto& entry) { return entry.first == attribute; });
    if (!seen) attributes.emplace_back(attribute, DecodeEntities(value));
  }
  ++i;
  if (name == u"script" || name == u"style") return RawText(html, i, name);
  Open(name, std::move(attributes));
  return i;
}

qsizetype MarkupTree::EndTag(QStringView html, qsizetype at) {
  qsizetype i = at + 2;
  while (i < html.size() && !IsSpace(html[i]) && html[i] != u'/' && html[i] != u'>') ++i;
  const QString name = html.sliced(at + 2, i - at - 2).toString().toLower();
  const qsizetype end = html.indexOf(u'>', i);
  Close(name);
  return end < 0 ? html.size() : end + 1;
}

// A script's or style sheet's text, up to its end tag: scripts go, a style
// sheet is kept without a "<" that could start a tag.
qsizetype MarkupTree::RawText(QStringView html, qsizetype at, const QString& name) {
  qsizetype end = at;
  for (; (end = html.indexOf(u"</", end)) >= 0; end += 2) {
    const QStringView rest = html.sliced(end + 2);
    if (rest.startsWith(name, Qt::CaseInsensitive) && (rest.size() == name.size() || !IsAsciiLetter(rest[name.size()])))
      break;
  }
  if (end < 0) end = html.size();
  if (name == u"style") {
    MarkupNode style;
    style.kind = MarkupNode::Kind::Style;
    style.text = html.sliced(at, end - at).toString().remove(u'<');
    Add(std::move(style));
  }
  if (end == html.size()) return end;
  const qsizetype close = html.indexOf(u'>', end);
  return close < 0 ? html.size() : close + 1;
}

void MarkupTree::Open(const QString& name, std::vector<std::pair<QString, QString>> attributes) {
  // A base would send the view's resources elsewhere.
  if (!IsPlainName(name) || name == u"base" || name == u"col" || name == u"colgroup") return;
  CloseImplied(name);
  const bool tablePart = IsTablePart(name);
  if (tablePart && !InTable()) return;
  if (name == u"td" || name == u"th") {
    PopTo(FindOpen({"tr", "tbody", "thead", "tfoot", "table"}, {}) + 1);
    if (node(Top()).name != u"tr") Open(QStringLiteral("tr"), {});
  } else if (name == u"tr") {
    PopTo(FindOpen({"tbody", "thead", "tfoot", "table"}, {}) + 1);
  } else if (tablePart) {
    PopTo(FindOpen({"table"}, {}) + 1);
  }

  if (name == u"link") TypeTheStyleSheet(attributes);
  MarkupNode element;
  element.name = name;
  element.attributes = std::move(attributes);
  if (tablePart) {
    // As its table is.
    element.flat = node(open_[static_cast<std::size_t>(FindOpen({"table"}, {}))]).flat;
  } else if (name == u"table") {
    element.flat = tableDepth_ >= kMaxTableDepth || depth_ >= kMaxDepth;
  } else if (depth_ >= kMaxDepth) {
    cut_ = true;
    return;
  }
  cut_ = cut_ || element.flat;
  if (open_.size() >= kMaxOpen) {
    cut_ = true;
    return;
  }
  const bool isVoid = IsVoidElement(name);
  const int index = Add(std::move(element));
  if (isVoid) return;
  open_.push_back(index);
  if (!node(index).flat) {
    ++depth_;
    if (name == u"table") ++tableDepth_;
  }
}

void MarkupTree::Close(const QString& name) {
  if (name == u"br") return Open(name, {});
  int at;
  if (name == u"table")
    at = FindOpen({"table"}, {});
  else if (IsTablePart(name))
    at = FindOpen({name.toLatin1().constData()}, {"table"});
  else
    at = FindOpen({name.toLatin1().constData()}, {"table", "td", "th", "caption"});
  if (at > 0) PopTo(at);
}

void MarkupTree::CloseImplied(const QString& name) {
  int at = -1;
  if (name == u"li")
    at = FindOpen({"li"}, {"ul", "ol", "table", "td", "th"});
  else if (name == u"dt" || name == u"dd")
    at = FindOpen({"dt", "dd"}, {"dl", "table", "td", "th"});
  else if (name == u"tr")
    at = FindOpen({"tr"}, {"table"});
  else if (name == u"td" || name == u"th")
    at = FindOpen({"td", "th"}, {"tr", "table"});
  else if (name == u"tbody" || name == u"thead" || name == u"tfoot")
    at = FindOpen({"tbody", "thead", "tfoot"}, {"table"});
  else if (name == u"option")
    at = FindOpen({"option"}, {"select"});
  else if (name == u"a")
    at = FindOpen({"a"}, {"table", "td", "th"});
  else if (IsHeading(name) && IsHeading(node(Top()).name))
    at = static_cast<int>(open_.size()) - 1;
  if (at > 0) PopTo(at);
  if (ClosesParagraph(name) && (at = FindOpen({"p"}, {"table", "td", "th", "caption", "button"})) > 0) PopTo(at);
}

int MarkupTree::FindOpen(std::initializer_list<const char*> names, std::initializer_list<const char*> bounds) const {
  for (std::size_t at = open_.size(); at-- > 1;) {
    const QString& name = node(open_[at]).name;
    if (IsOneOf(name, names)) return static_cast<int>(at);
    if (IsOneOf(name, bounds)) return -1;
  }
  return -1;
}

void MarkupTree::PopTo(int openIndex) {
  while (static_cast<int>(open_.size()) > std::max(openIndex, 1)) {
    const MarkupNode& closed = node(open_.back());
    if (!closed.flat) {
      --depth_;
      if (closed.name == u"table") --tableDepth_;
    }
    open_.pop_back();
  }
}

bool MarkupTree::InTable() const { return FindOpen({"table"}, {}) > 0; }

void MarkupTree::AddText(QStringView text) {
  if (text.isEmpty()) return;
  MarkupNode& parent = node(Top());
  if (!parent.children.empty() && node(parent.children.back()).kind == MarkupNode::Kind::Text) {
    node(parent.children.back()).text += text;
    return;
  }
  MarkupNode node;
  node.kind = MarkupNode::Kind::Text;
  node.text = text.toString();
  Add(std::move(node));
}

int MarkupTree::Add(MarkupNode added) {
  const int index = static_cast<int>(nodes_.size());
  added.parent = Top();
  nodes_.push_back(std::move(added));
  node(Top()).children.push_back(index);
  return index;
}

}  // namespace quillary
