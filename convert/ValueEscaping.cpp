#include "convert/ValueEscaping.h"

#include <algorithm>

namespace quillary {

namespace {

constexpr auto npos = std::u16string_view::npos;

bool IsSpecial(char16_t c) { return c == u'&' || c == u'<' || c == u'>' || c == u'"' || c == u'\''; }

// The value escaped into scratch, or the value itself when nothing needs it.
std::u16string_view Escaped(std::u16string_view value, std::u16string& scratch) {
  if (!NeedsEscaping(value)) return value;
  // The value may be scratch itself.
  std::u16string escaped;
  escaped.reserve(value.size() + value.size() / 4 + 8);
  AppendEscaped(value, escaped);
  scratch = std::move(escaped);
  return scratch;
}

}  // namespace

bool NeedsEscaping(std::u16string_view value) { return std::any_of(value.begin(), value.end(), IsSpecial); }

void AppendEscaped(std::u16string_view value, std::u16string& out) {
  for (const char16_t c : value) {
    switch (c) {
      case u'&': out.append(u"&amp;"); break;
      case u'<': out.append(u"&lt;"); break;
      case u'>': out.append(u"&gt;"); break;
      case u'"': out.append(u"&quot;"); break;
      case u'\'': out.append(u"&#39;"); break;
      default: out.push_back(c);
    }
  }
}

bool OptsInToEscaping(std::u16string_view templateText, const CellSource& cells, int k) {
  if (templateText.find(kEscapeValuesComment) == npos) return false;
  const int fields = std::clamp(k, 0, cells.Fields());
  std::u16string scratch;
  for (int f = 0; f < fields && cells.Rows() > 0; ++f)
    if (cells.Text(f, 0, scratch) == kEscapeValuesName) return false;
  return true;
}

class ValueEscaping::EscapedCells final : public CellSource {
 public:
  explicit EscapedCells(const CellSource& cells) : cells_(cells) {}
  int Fields() const override { return cells_.Fields(); }
  int Rows() const override { return cells_.Rows(); }
  std::u16string_view Text(int field, int row, std::u16string& scratch) const override {
    const std::u16string_view text = cells_.Text(field, row, scratch);
    return row == 0 ? text : Escaped(text, scratch);
  }
  void Texts(const CellAt* cells, std::size_t count, std::u16string_view* texts,
             std::u16string* scratches) const override {
    cells_.Texts(cells, count, texts, scratches);
    for (std::size_t i = 0; i < count; ++i)
      if (cells[i].row != 0) texts[i] = Escaped(texts[i], scratches[i]);
  }

 private:
  const CellSource& cells_;
};

ValueEscaping::ValueEscaping(std::u16string_view templateText, const CellSource& cells, int k)
    : cells_(cells), text_(templateText) {
  if (!OptsInToEscaping(templateText, cells, k)) return;
  stripped_.reserve(templateText.size());
  std::size_t from = 0;
  for (std::size_t at = templateText.find(kEscapeValuesComment); at != npos;
       at = templateText.find(kEscapeValuesComment, from)) {
    stripped_.append(templateText.substr(from, at - from));
    from = at + kEscapeValuesComment.size();
  }
  stripped_.append(templateText.substr(from));
  text_ = stripped_;
  escaped_ = std::make_unique<EscapedCells>(cells);
}

ValueEscaping::~ValueEscaping() = default;

const CellSource& ValueEscaping::Cells() const { return escaped_ ? static_cast<const CellSource&>(*escaped_) : cells_; }

}  // namespace quillary
