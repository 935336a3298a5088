#pragma once
// The recovery file: what an unsaved sheet looked like, kept beside the
// running program so that a crash, a kill or a power cut does not take the
// user's edits with it.
//
// A file is a base, the whole sheet written once, followed by journal
// records appended as the sheet changes, each holding only the cells that
// changed since the record before. Every part carries a CRC-32, so a bit
// that changed anywhere is found. A record cut short at the end of the file
// is what a crash in the middle of an append leaves: it is dropped, and the
// records before it stand. Anything else that does not read is damage.
//
// Layout, little-endian:
//   "QUILLREC" u32 version
//   base:    info, u32 rows, u32 cols, cells row-major, u32 CRC of all before
//   records: u32 marker, u32 payload length, u32 CRC of those two,
//            payload (info, u32 count, count x (u32 row, u32 col, text)),
//            u32 CRC of the payload
//   info:    i64 time (ms since 1970), u8 encoding, u8 flags (1: modified),
//            u16 zero, text file name
//   text:    u32 length in UTF-16 units, the units

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Errors.h"
#include "platform/TextEncoding.h"
#include "sheet/Sheet.h"

namespace quillary {

inline constexpr std::uint32_t kRecoveryFormatVersion = 1;

// What the file says besides the cells.
struct RecoveryInfo {
  std::u16string fileName;  // empty: a sheet without a name
  TextEncoding encoding = TextEncoding::Cp932;
  bool modified = true;
  std::int64_t timeMs = 0;  // of the last change written
  bool operator==(const RecoveryInfo&) const = default;
};

struct CellChange {
  int row = 0;
  int col = 0;
  SharedText text;
};

// Why a file cannot be read back.
enum class RecoveryDamage {
  NotRecoveryFile,  // another kind of file, or empty
  OtherVersion,     // written by a version that wrote it otherwise
  CutShort,         // ends inside its header or base
  Checksum,         // a part's bytes changed
  Inconsistent,     // whole, but it does not describe a sheet
};

class RecoveryDamagedError : public Error {
 public:
  RecoveryDamagedError(RecoveryDamage damage, const std::string& what) : Error(what), damage_(damage) {}
  RecoveryDamage damage() const { return damage_; }

 private:
  RecoveryDamage damage_;
};

// The bytes of a new file: the header and the base, handed out piece by
// piece (texts are not copied into one buffer).
void WriteRecoveryBase(const RecoveryInfo& info, const Sheet& sheet,
                       const std::function<void(std::string_view)>& write);
// One journal record, to append.
std::string RecoveryRecord(const RecoveryInfo& info, const std::vector<CellChange>& changes);

struct RecoveredSheet {
  RecoveryInfo info;  // as the last record that stands says
  Sheet sheet;
  int records = 0;        // journal records applied
  bool cutShort = false;  // a last record cut short was dropped
};

// Throws RecoveryDamagedError.
RecoveredSheet ReadRecovery(std::string_view bytes);

}  // namespace quillary
