#include "sheet/document/SheetSearch.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include <QRegularExpression>
#include <QStringMatcher>

#include "platform/UnitSearch.h"
#include "sheet/TextBlockWriter.h"
#include "sheet/document/SheetDocument.h"

namespace quillary {

namespace {

Qt::CaseSensitivity Sensitivity(const SearchOptions& options) {
  return options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

QStringView View(std::u16string_view text) { return QStringView(text.data(), static_cast<qsizetype>(text.size())); }

// Data cells, and the field names when asked: the searched rows and columns.
int FirstRow(const SearchOptions& options) { return options.fieldNames ? 0 : 1; }

}  // namespace

namespace {

// Unicode's case folding, the ASCII letters without a call.
char16_t Folded(char16_t c) {
  if (c < 0x80) return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
  return QChar::toCaseFolded(c);
}

}  // namespace

// The matches of the searched text in a cell, left to right and without
// overlaps. A cell may hold millions of them: the common cases (case
// matched, or one character) are plain loops, not a general search a match.
// A regular expression is matched by Qt's engine instead.
class MatchFinder {
 public:
  explicit MatchFinder(const SearchOptions& options)
      : options_(options),
        needle_(QStringView(options.text).utf16(), static_cast<std::size_t>(options.text.size())),
        matchCase_(options.matchCase),
        folded_(needle_.size() == 1 ? Folded(needle_.front()) : u'\0'),
        alone_(!matchCase_ && OneUnit() && FoldsAlone(needle_.front())),
        matcher_(options.text, Sensitivity(options)) {
    if (!options.regularExpression) return;
    // The whole cell: the pattern anchored at both ends.
    pattern_.setPattern(options.wholeCell ? QRegularExpression::anchoredPattern(options.text) : options.text);
    pattern_.setPatternOptions(options.matchCase ? QRegularExpression::NoPatternOption
                                                 : QRegularExpression::CaseInsensitiveOption);
  }

  bool Regular() const { return options_.regularExpression; }
  const QRegularExpression& Pattern() const { return pattern_; }

  // True when the cell holds a match (the whole cell, with wholeCell).
  bool Matches(std::u16string_view cell) const {
    if (Regular()) return pattern_.isValid() && pattern_.match(View(cell)).hasMatch();
    if (options_.text.isEmpty()) return options_.wholeCell && cell.empty();
    if (options_.wholeCell) return View(cell).compare(options_.text, Sensitivity(options_)) == 0;
    return Next(cell, 0) != std::u16string_view::npos;
  }

  // True when the searched text is one unit, which Is tells.
  bool OneUnit() const { return needle_.size() == 1 && !QChar::isSurrogate(needle_.front()); }
  bool Is(char16_t c) const { return matchCase_ ? c == needle_.front() : Folded(c) == folded_; }

  // The first match at or after `from`, or npos.
  std::size_t Next(std::u16string_view text, std::size_t from) const {
    if (matchCase_) return text.find(needle_, from);
    if (alone_) return FindUnit(text, needle_.front(), from);
    if (OneUnit()) {
      for (std::size_t at = from; at < text.size(); ++at)
        if (Is(text[at])) return at;
      return std::u16string_view::npos;
    }
    const qsizetype at = matcher_.indexIn(View(text), static_cast<qsizetype>(std::min(from, text.size())));
    return at < 0 ? std::u16string_view::npos : static_cast<std::size_t>(at);
  }
  std::size_t Length() const { return needle_.size(); }

 private:
  const SearchOptions& options_;  // outlive the finder
  QRegularExpression pattern_;
  std::u16string_view needle_;  // the options' text
  bool matchCase_;
  char16_t folded_;
  bool alone_;  // one unit, without other forms: found as it is, several units a step
  QStringMatcher matcher_;
};

bool FoldsAlone(char16_t unit) {
  // How many units fold to each folding (two meaning two or more), counted
  // once: a unit's own mappings do not tell (ß has none, yet ẞ folds to it).
  static const std::vector<std::uint8_t> folding = [] {
    std::vector<std::uint8_t> count(0x10000);
    for (char32_t u = 0; u < 0x10000; ++u) {
      if (QChar::isSurrogate(u)) continue;
      std::uint8_t& units = count[QChar::toCaseFolded(static_cast<char16_t>(u))];
      units = static_cast<std::uint8_t>(std::min(units + 1, 2));
    }
    return count;
  }();
  return !QChar::isSurrogate(unit) && folding[QChar::toCaseFolded(unit)] == 1;
}

bool CellMatches(std::u16string_view cell, const SearchOptions& options) { return MatchFinder(options).Matches(cell); }

QString SearchProblem(const SearchOptions& options) {
  if (!options.regularExpression) return QString();
  const QRegularExpression pattern(options.text);
  if (pattern.isValid()) return QString();
  return QStringLiteral("正規表現に誤りがあります（%1 文字目）。").arg(pattern.patternErrorOffset() + 1);
}

std::optional<SheetCell> FindCell(const Sheet& sheet, SheetCell from, bool forward, const SearchOptions& options) {
  const int firstRow = FirstRow(options);
  const int rows = sheet.Rows() - firstRow;
  const int cols = sheet.Cols() - 1;
  if (rows <= 0 || cols <= 0) return std::nullopt;
  const MatchFinder matches(options);
  const long long cells = static_cast<long long>(rows) * cols;
  // Positions in reading order over the searched cells.
  long long at = static_cast<long long>(std::clamp(from.row - firstRow, 0, rows - 1)) * cols +
                 std::clamp(from.col - 1, 0, cols - 1);
  for (long long step = 0; step < cells; ++step) {
    at = ((forward ? at + 1 : at - 1) % cells + cells) % cells;
    const SheetCell cell{static_cast<int>(at / cols) + firstRow, static_cast<int>(at % cols) + 1};
    if (matches.Matches(sheet.Text(cell.row, cell.col))) return cell;
  }
  return std::nullopt;
}

namespace {

// A regular expression's replacement: Qt's, with \1 ... for the groups.
std::u16string RegularReplaced(std::u16string_view cell, const QString& replacement, const MatchFinder& matches,
                               long long& count) {
  QString text = View(cell).toString();
  count = 0;
  for (auto it = matches.Pattern().globalMatch(text); it.hasNext(); it.next()) ++count;
  if (count > 0) text.replace(matches.Pattern(), replacement);
  return text.toStdU16String();
}

std::optional<std::uint64_t> LengthAfter(std::u16string_view cell, const QString& replacement,
                                         const SearchOptions& options, const MatchFinder& matches) {
  if (matches.Regular() || options.wholeCell || options.text.isEmpty()) {
    if (!matches.Matches(cell)) return std::nullopt;
    // A pattern's replacement is only known once made.
    long long count = 0;
    if (matches.Regular()) return RegularReplaced(cell, replacement, matches, count).size();
    return static_cast<std::uint64_t>(replacement.size());
  }
  std::uint64_t found = 0;
  for (std::size_t at = matches.Next(cell, 0); at != std::u16string_view::npos;
       at = matches.Next(cell, at + matches.Length()))
    ++found;
  if (found == 0) return std::nullopt;
  // Every match is as long as the searched text.
  return cell.size() - found * matches.Length() + found * static_cast<std::uint64_t>(replacement.size());
}

std::u16string TextAfter(std::u16string_view cell, const QString& replacement, const SearchOptions& options,
                         const MatchFinder& matches, std::uint64_t length, long long& count) {
  count = 0;
  const std::u16string_view with(QStringView(replacement).utf16(), static_cast<std::size_t>(replacement.size()));
  if (matches.Regular()) return RegularReplaced(cell, replacement, matches, count);
  if (options.wholeCell || options.text.isEmpty()) {
    if (!matches.Matches(cell)) return std::u16string(cell);
    count = 1;
    return std::u16string(with);
  }
  const std::size_t found = matches.Length();
  std::u16string result;
  if (with.size() == found) {
    // As long as before: the matches are written over a copy.
    result = cell;
    if (matches.OneUnit()) {
      for (char16_t& c : result)
        if (matches.Is(c)) {
          c = with.front();
          ++count;
        }
      return result;
    }
    for (std::size_t at = matches.Next(cell, 0); at != std::u16string_view::npos; at = matches.Next(cell, at + found)) {
      with.copy(result.data() + at, found);
      ++count;
    }
    return result;
  }
  result.reserve(length);
  std::size_t from = 0;
  for (std::size_t at = matches.Next(cell, 0); at != std::u16string_view::npos; at = matches.Next(cell, at + found)) {
    result.append(cell.substr(from, at - from)).append(with);
    from = at + found;
    ++count;
  }
  return result.append(cell.substr(from));
}

}  // namespace

std::optional<std::uint64_t> ReplacedLength(std::u16string_view cell, const QString& replacement,
                                            const SearchOptions& options) {
  return LengthAfter(cell, replacement, options, MatchFinder(options));
}

std::u16string ReplacedText(std::u16string_view cell, const QString& replacement, const SearchOptions& options,
                            std::uint64_t length, long long& count) {
  return TextAfter(cell, replacement, options, MatchFinder(options), length, count);
}

namespace {

// A new text longer than this gets a block of its own, so that it goes as
// soon as its cell lets it go, whatever holds the others.
constexpr std::uint64_t kOwnBlockUnits = std::uint64_t{1} << 12;

}  // namespace

AllReplaced::AllReplaced(const Sheet& sheet, const QString& replacement, const SearchOptions& options,
                         WorkProgress* progress)
    : sheet_(sheet),
      replacement_(replacement),
      options_(options),
      matches_(std::make_unique<MatchFinder>(options_)),
      bytes_(CellTableBytes(sheet.Rows(), sheet.Cols())) {
  // A bit a searched cell, so that building visits only the cells with a
  // match (after a sort, reading every cell's text again costs as much as
  // the first go).
  matched_.resize(static_cast<std::size_t>(std::max(sheet.Rows() - FirstRow(options), 0)) *
                  static_cast<std::size_t>(std::max(sheet.Cols() - 1, 0)));
  std::size_t i = 0;
  for (int r = FirstRow(options); r < sheet.Rows(); ++r) {
    if (r % 4096 == 0)
      ReportProgress(progress, static_cast<std::uint64_t>(r), static_cast<std::uint64_t>(sheet.Rows()));
    for (int c = 1; c < sheet.Cols(); ++c, ++i)
      if (const auto length = LengthAfter(sheet.Text(r, c), replacement, options_, *matches_)) {
        matched_[i] = true;
        ++cells_;
        if (*length <= kOwnBlockUnits)
          blockUnits_ += *length;
        else
          bytes_ += kTextHolderBytes;
        bytes_ += *length * sizeof(char16_t);
      }
  }
}

AllReplaced::~AllReplaced() = default;

template <typename Put>
void AllReplaced::Replace(long long& count, WorkProgress* progress, Put put) const {
  count = 0;
  // The new texts go into one block made at its exact size: a million
  // replaced cells are one allocation, not a million, and no room is left
  // over.
  TextBlockWriter texts(static_cast<std::size_t>(blockUnits_));
  std::size_t i = 0;
  for (int r = FirstRow(options_); r < sheet_.Rows(); ++r) {
    if (r % 4096 == 0)
      ReportProgress(progress, static_cast<std::uint64_t>(r), static_cast<std::uint64_t>(sheet_.Rows()));
    for (int c = 1; c < sheet_.Cols(); ++c, ++i) {
      if (!matched_[i]) continue;
      const std::u16string_view cell = sheet_.Text(r, c);
      // A pattern's new length is known only once its text is made.
      const std::uint64_t length =
          matches_->Regular() ? 0 : LengthAfter(cell, replacement_, options_, *matches_).value_or(0);
      long long inCell = 0;
      std::u16string text = TextAfter(cell, replacement_, options_, *matches_, length, inCell);
      count += inCell;
      if (text == cell) continue;  // replaced by itself: no change
      put(r, c, text.size() > kOwnBlockUnits ? SharedText(std::move(text)) : texts.Add(text));
    }
  }
}

Sheet AllReplaced::Build(long long& count, WorkProgress* progress) const {
  Sheet result = sheet_;
  Replace(count, progress, [&](int row, int col, SharedText text) { result.SetShared(row, col, std::move(text)); });
  return result;
}

std::vector<PlacedText> AllReplaced::Changes(long long& count, WorkProgress* progress) const {
  std::vector<PlacedText> changes;
  changes.reserve(static_cast<std::size_t>(cells_));
  Replace(count, progress, [&](int row, int col, SharedText text) { changes.push_back({row, col, std::move(text)}); });
  return changes;
}

bool AllReplaced::InPlace() const {
  FreedBytes texts;
  std::uint64_t tableHeldAlone = 0;
  for (int c = 0; c < sheet_.Cols(); ++c) tableHeldAlone += sheet_.Column(c).BytesHeldAlone(texts);
  return ListBytes() < tableHeldAlone;
}

void AllReplaced::ApplyTo(SheetDocument& document, long long& count) const {
  ApplyTo(document, count, [](const auto& build) { return build(nullptr); });
}

}  // namespace quillary
