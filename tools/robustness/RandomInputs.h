#pragma once
// Seeded random inputs for the core fuzz driver: CSV texts and file bytes
// that mix quotes, separators and line ends, sheets at the record and field
// limits, templates with placeholders and repeat comments, and odd UTF-16
// texts.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "convert/FindRep.h"
#include "platform/TextEncoding.h"
#include "sheet/Sheet.h"
#include "sheet/SheetArray.h"

namespace quillary::robustness {

class RandomInputs {
 public:
  explicit RandomInputs(std::uint64_t seed) : random_(seed) {}

  int Below(int n) { return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(random_); }
  bool OneIn(int n) { return Below(n) == 0; }
  template <typename T>
  const T& Pick(const std::vector<T>& from) {
    return from[static_cast<std::size_t>(Below(static_cast<int>(from.size())))];
  }

  std::u16string CsvText() {
    // clang-format off
    static const std::vector<std::u16string> pieces = {
        u"\"", u"\"\"", u",", u",", u"\r\n", u"\r\n", u"\r", u"\n", u"\r\n\r\n", u"a", u"bc",
        u"日本", u"|", u" ", u"\"x\"", u"\"\"\"", u"ｱ", std::u16string(1, u'\0'), u"<!-- a -->",
        u"<!-- ", u" -->"};
    // clang-format on
    std::u16string text;
    for (int n = Below(30); n > 0; --n) {
      if (OneIn(25))
        text.append(static_cast<std::size_t>(Below(OneIn(20) ? 300 : 40)), OneIn(2) ? u',' : u'w');
      else
        text += Pick(pieces);
    }
    return text;
  }

  // CP932 bytes: whole double-byte characters, now and then a broken one.
  std::string CsvBytes() {
    // clang-format off
    static const std::vector<std::string> whole = {
        "\"", "\"", ",", ",", "\r\n", "\r\n", "\r", "\n", "a", "\x93\xfa", "\x96\x7b", "\x82\xa0",
        "\xb1", "\x87\x40", "\xfa\x40", "\xed\x40", std::string(1, '\0'), "\\", "~"};
    // clang-format on
    // clang-format off
    static const std::vector<std::string> broken = {"\x80", "\xa0", "\xfd", "\xff", "\x81",
                                                    "\x81\x20", "\x85\x40", "\x81\x7f"};
    // clang-format on
    std::string bytes;
    for (int n = Below(30); n > 0; --n) bytes += OneIn(15) ? Pick(broken) : Pick(whole);
    return bytes;
  }

  // A repeat count's text: blanks, signs, digits, points and exponents.
  std::u16string CountText() {
    static const std::u16string alphabet = u" \t+-.0123456789eE05";
    std::u16string text;
    for (int n = Below(9); n > 0; --n)
      text += alphabet[static_cast<std::size_t>(Below(static_cast<int>(alphabet.size())))];
    return text;
  }

  // A sheet within a few of a limit, either way: a few records with the
  // field count near the field limit (the last line may be far too wide),
  // or, one time in eight, the record count near the record limit with a
  // field or two. Empty records come in runs that stay within what a case
  // can afford (every one is 16,384 cells on the wide sheet): up to a hundred
  // there, a handful on the long one.
  std::u16string SheetAtLimit() {
    if (OneIn(8)) return LongSheet();
    const int fields = kMaxFields + Below(5) - 2;
    const int rows = 2 + Below(3);
    std::u16string line(static_cast<std::size_t>(2 * fields - 1), u',');
    for (std::size_t i = 0; i < line.size(); i += 2) line[i] = u'x';
    std::u16string text;
    for (int r = 0; r < rows; ++r) text += line + u"\r\n";
    if (OneIn(4)) text += std::u16string(static_cast<std::size_t>(kMaxFields + Below(3)), u',');
    for (int n = OneIn(4) ? Below(100) : 0; n > 0; --n) text += u"\r\n";  // empty records
    return text;
  }

  // The field-name line and kMaxRecords - 2 .. kMaxRecords + 2 records of
  // one or two short fields; now and then an empty record among them, a
  // last line end left out, or empty lines after it (which add no record).
  std::u16string LongSheet() {
    const int records = kMaxRecords + Below(5) - 2;
    const bool two = OneIn(2);
    std::u16string text = two ? u"a,b\r\n" : u"a\r\n";
    text.reserve(static_cast<std::size_t>(records) * 6 + 16);
    for (int r = 1; r <= records; ++r) {
      if (OneIn(50000)) {
        text += u"\r\n";
        continue;
      }
      text += DecimalText(r % 1000);
      if (two) text += OneIn(2) ? u",\"x\"" : u",";
      text += u"\r\n";
    }
    if (OneIn(4)) text.resize(text.size() - 2);
    for (int n = OneIn(4) ? Below(3) : 0; n > 0; --n) text += u"\r\n";
    return text;
  }

  // fields x rows of cells that CSV must quote.
  SheetArray Array() {
    SheetArray array(Below(6), Below(6));
    for (int f = 0; f < array.Fields(); ++f)
      for (int r = 0; r < array.Rows(); ++r)
        if (!OneIn(5)) array.Set(f, r, CsvText());
    return array;
  }

  // big: set when a count asks for thousands of repetitions.
  std::u16string Template(const SheetArray& array, bool& big) {
    // clang-format off
    static const std::vector<std::u16string> counts = {
        u"0", u"1", u"2", u"3", u"-1", u"2.5", u"", u"x", u"1e0", u"\t2", u"-32768", u"1e-9", u"+4"};
    // clang-format on
    static const std::vector<std::u16string> huge = {u"32767", u"99999", u"1e9", u"4000"};
    // clang-format off
    static const std::vector<std::u16string> pieces = {
        u"<!-- BeginRepeat 3-->", std::u16string(kBeginRepeat), std::u16string(kEndRepeat),
        u" -->", u"-->", u"<!-- ", u"|", u"日本", u"\r\n", u"text", std::u16string(1, u'\0'),
        u"<!-- Name --"};
    // clang-format on
    std::u16string text;
    for (int n = Below(16); n > 0; --n) {
      switch (Below(5)) {
        case 0:
          if (array.Fields() > 0 && array.Rows() > 0)
            text += u"<!-- " + std::u16string(array.Text(Below(array.Fields()), 0)) + u" -->";
          break;
        case 1: {
          const bool asksMany = OneIn(40);
          big = big || asksMany;
          text.append(kBeginRepeat)
              .append(Pick(asksMany ? huge : counts))
              .append(u" ")
              .append(Pick(pieces))
              .append(u"-->");
          break;
        }
        case 2: text += kEndRepeat; break;
        default: text += Pick(pieces);
      }
    }
    return text;
  }

  TextEncoding Encoding() {
    static const std::vector<TextEncoding> all = {TextEncoding::Cp932, TextEncoding::Utf8, TextEncoding::Utf8WithBom};
    return Pick(all);
  }

  std::u16string LineEnd() {
    static const std::vector<std::u16string> all = {u"\r\n", u"\n", u"\r"};
    return Pick(all);
  }

  // Up to nine records of one to six fields each. Values use characters the
  // encoding holds both ways, and the file's own line end for line breaks
  // (as the program that wrote the file would).
  std::vector<std::vector<std::u16string>> RaggedRecords(TextEncoding encoding, const std::u16string& lineEnd) {
    // clang-format off
    static const std::vector<std::u16string> common = {
        u"a", u"Bc", u"12", u"4,950", u",", u"\"", u"\"\"", u" ", u"|", u"\\", u"~", u"日本語", u"ｱｲｳ", u"ﾃｽﾄ",
        u"①", u"髙", u"～", u"\t", std::u16string(1, u'\0')};
    // clang-format on
    static const std::vector<std::u16string> utf8Only = {u"😀", u"𠮷", u"é", u"☃", u"¥", u"〜", u"\uFEFF"};
    std::vector<std::vector<std::u16string>> records(static_cast<std::size_t>(Below(10)));
    for (auto& record : records) {
      record.resize(static_cast<std::size_t>(1 + Below(6)));
      for (auto& field : record) {
        for (int n = OneIn(3) ? 0 : Below(5); n > 0; --n) {
          const int kind = Below(12);
          if (kind == 0)
            field += lineEnd;
          else if (kind == 1 && encoding != TextEncoding::Cp932)
            field += Pick(utf8Only);
          else
            field += Pick(common);
        }
      }
    }
    return records;
  }

  // CSV text as other programs write it: quoted where the value needs it or
  // at random, a record of one empty field as an empty line now and then
  // (never among the last ones, where empty lines add no record), the last
  // line end sometimes left out and sometimes followed by empty lines.
  std::u16string CsvOf(const std::vector<std::vector<std::u16string>>& records, const std::u16string& lineEnd) {
    const auto loneEmpty = [](const std::vector<std::u16string>& record) {
      return record.size() == 1 && record[0].empty();
    };
    std::size_t lastFull = 0;
    for (std::size_t r = 0; r < records.size(); ++r)
      if (!loneEmpty(records[r])) lastFull = r + 1;
    std::u16string text;
    for (std::size_t r = 0; r < records.size(); ++r) {
      if (r > 0) text += lineEnd;
      if (loneEmpty(records[r]) && r < lastFull && OneIn(2)) continue;
      for (std::size_t f = 0; f < records[r].size(); ++f) {
        if (f > 0) text += u',';
        const std::u16string& value = records[r][f];
        const bool needsQuotes = value.find_first_of(u",\"\r\n") != std::u16string::npos || loneEmpty(records[r]);
        if (!needsQuotes && !OneIn(3)) {
          text += value;
          continue;
        }
        text += u'"';
        for (const char16_t c : value) {
          if (c == u'"') text += u'"';
          text += c;
        }
        text += u'"';
      }
    }
    if (!records.empty() && !OneIn(4)) text += lineEnd;
    for (int n = OneIn(3) ? Below(4) : 0; n > 0 && !records.empty(); --n) text += lineEnd;
    return text;
  }

  // Units the code page holds or holds one way only, and up to two that it
  // lacks or any units at all.
  std::u16string AnyText() {
    // clang-format off
    static const std::vector<std::u16string> held = {
        u"a", u"\\", u"~", u"日本", u"ｱ", u"\u301c", u"\u2212", u"\u2225", u"\u3000", u"①",
        std::u16string(1, u'\0')};
    // clang-format on
    // clang-format off
    static const std::vector<std::u16string> lacking = {
        u"\u00a5", u"\u203e", u"\u00e9", u"\ufffd", u"\U0001F600", std::u16string(1, u'\xD800'),
        std::u16string(1, u'\xDC00')};
    // clang-format on
    std::u16string text;
    for (int n = Below(8); n > 0; --n) text += Pick(held);
    for (int n = Below(3); n > 0; --n) {
      const auto at = static_cast<std::size_t>(Below(static_cast<int>(text.size()) + 1));
      text.insert(at, OneIn(4) ? std::u16string(1, static_cast<char16_t>(Below(0x10000))) : Pick(lacking));
    }
    return text;
  }

 private:
  std::mt19937_64 random_;
};

}  // namespace quillary::robustness
