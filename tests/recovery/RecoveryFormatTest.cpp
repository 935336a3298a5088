// The recovery file's bytes: written and read back, cut short at every
// byte, every bit flipped, and the damage that is not a cut.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recovery/RecoveryFormat.h"
#include "support/SheetOf.h"

namespace quillary {
namespace {

using testing::NumberedSheet;

std::string Base(const RecoveryInfo& info, const Sheet& sheet) {
  std::string bytes;
  WriteRecoveryBase(info, sheet, [&](std::string_view piece) { bytes.append(piece); });
  return bytes;
}

// A base and two records, and the sheet and info after each part.
struct Journal {
  Journal() {
    // Texts of every kind: empty, a surrogate pair, a long one (written as
    // its own piece), line-break markers.
    Sheet sheet = NumberedSheet(3, 2);
    sheet.SetText(1, 1, u"");
    sheet.SetText(2, 2, u"𠮷野家|改行");
    sheet.SetText(3, 1, std::u16string(40000, u'長'));
    infos = {{u"/home/user/名簿.csv", TextEncoding::Utf8, true, 1700000000123},
             {u"/home/user/名簿.csv", TextEncoding::Cp932, true, 1700000005000},
             {u"", TextEncoding::Utf8WithBom, true, -1}};  // a sheet without a name
    bytes = Base(infos[0], sheet);
    ends.push_back(bytes.size());
    sheets.push_back(sheet);

    const std::vector<CellChange> first{{0, 1, SharedText(u"名前")}, {3, 2, SharedText(u"")}};
    const std::vector<CellChange> second{{0, 1, SharedText(u"氏名")}};
    for (const auto* changes : {&first, &second}) {
      bytes += RecoveryRecord(infos[sheets.size()], *changes);
      ends.push_back(bytes.size());
      for (const CellChange& change : *changes) sheet.SetShared(change.row, change.col, change.text);
      sheets.push_back(sheet);
    }
  }
  // Every position in the bytes, but inside the long text, one run of the
  // same bytes, a sample that stands for the rest.
  std::vector<std::size_t> Positions() const {
    std::vector<std::size_t> positions;
    for (std::size_t at = 0; at<bytes.size(); at += at> 1000 && at + 1000 < ends[0] ? 997 : 1) positions.push_back(at);
    return positions;
  }

  std::string bytes;
  std::vector<std::size_t> ends;  // where the base and each record end
  std::vector<Sheet> sheets;      // after the base, after each record
  std::vector<RecoveryInfo> infos;
};

// Whole, the base and every record are read back. A cut inside the base is
// damage; a cut inside a record is a crash while it was appended: the
// records before it stand.
TEST(RecoveryFormat, ReadsWhatStandsBeforeACutAtEveryByte) {
  const Journal journal;
  std::vector<std::size_t> lengths = journal.Positions();
  lengths.push_back(journal.bytes.size());
  for (const std::size_t length : lengths) {
    SCOPED_TRACE("cut at " + std::to_string(length));
    const std::string_view cut = std::string_view(journal.bytes).substr(0, length);
    if (length < journal.ends[0]) {
      try {
        ReadRecovery(cut);
        ADD_FAILURE() << "read";
      } catch (const RecoveryDamagedError& error) {
        EXPECT_EQ(error.damage(), RecoveryDamage::CutShort);
      }
      continue;
    }
    std::size_t whole = 0;
    while (whole + 1 < journal.ends.size() && journal.ends[whole + 1] <= length) ++whole;
    const RecoveredSheet read = ReadRecovery(cut);
    EXPECT_EQ(read.records, static_cast<int>(whole));
    EXPECT_EQ(read.sheet, journal.sheets[whole]);
    EXPECT_EQ(read.info, journal.infos[whole]);
    EXPECT_EQ(read.cutShort, length != journal.ends[whole]);
  }
}

TEST(RecoveryFormat, EveryBitFlippedIsDamage) {
  const Journal journal;
  for (const std::size_t at : journal.Positions()) {
    for (int bit = 0; bit < 8; ++bit) {
      std::string flipped = journal.bytes;
      flipped[at] = static_cast<char>(flipped[at] ^ (1 << bit));
      EXPECT_THROW(ReadRecovery(flipped), RecoveryDamagedError) << "byte " << at << " bit " << bit;
    }
  }
}

TEST(RecoveryFormat, DamageThatIsNoCut) {
  const Journal journal;
  const std::string base = journal.bytes.substr(0, journal.ends[0]);
  std::string otherVersion = base;
  otherVersion[8] = 2;
  const struct {
    const char* name;
    std::string bytes;
    RecoveryDamage damage;
  } rows[] = {
      {"another kind of file", "name,price\r\n", RecoveryDamage::NotRecoveryFile},
      {"another version", otherVersion, RecoveryDamage::OtherVersion},
      {"a change outside the sheet", base + RecoveryRecord({}, {{4, 1, SharedText(u"x")}}),
       RecoveryDamage::Inconsistent},
      {"bytes after the records", journal.bytes + std::string(16, '\0'), RecoveryDamage::Checksum},
  };
  for (const auto& row : rows) {
    try {
      ReadRecovery(row.bytes);
      ADD_FAILURE() << row.name << ": read";
    } catch (const RecoveryDamagedError& error) {
      EXPECT_EQ(error.damage(), row.damage) << row.name;
    }
  }
}

}  // namespace
}  // namespace quillary
