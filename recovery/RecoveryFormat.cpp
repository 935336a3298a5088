#include "recovery/RecoveryFormat.h"

#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <vector>

namespace quillary {

namespace {

constexpr std::string_view kMagic = "QUILLREC";
constexpr std::uint32_t kRecordMarker = 0x4C4E524A;  // "JRNL"
constexpr std::size_t kRecordHeaderSize = 12;
constexpr std::uint8_t kModifiedFlag = 1;

std::uint32_t Crc(std::uint32_t crc, std::string_view bytes) {
  return static_cast<std::uint32_t>(crc32_z(crc, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size()));
}
std::uint32_t Crc(std::string_view bytes) { return Crc(static_cast<std::uint32_t>(crc32_z(0, nullptr, 0)), bytes); }

void PutU32(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}
void PutI64(std::string& out, std::int64_t value) {
  const auto bits = static_cast<std::uint64_t>(value);
  for (int i = 0; i < 8; ++i) out += static_cast<char>((bits >> (8 * i)) & 0xFF);
}

std::uint32_t TextLength(std::u16string_view text) {
  if (text.size() > std::numeric_limits<std::uint32_t>::max()) throw Error("a cell is too long for the recovery file");
  return static_cast<std::uint32_t>(text.size());
}

// The units of a text as the file holds them: its own bytes where the
// machine is little-endian, swapped into `storage` elsewhere.
std::string_view UnitBytes(std::u16string_view text, std::string& storage) {
  if constexpr (std::endian::native == std::endian::little) {
    return {reinterpret_cast<const char*>(text.data()), text.size() * 2};
  } else {
    storage.clear();
    for (char16_t unit : text) {
      storage += static_cast<char>(unit & 0xFF);
      storage += static_cast<char>(unit >> 8);
    }
    return storage;
  }
}

void PutText(std::string& out, std::u16string_view text) {
  PutU32(out, TextLength(text));
  std::string storage;
  out.append(UnitBytes(text, storage));
}

void PutInfo(std::string& out, const RecoveryInfo& info) {
  PutI64(out, info.timeMs);
  out += static_cast<char>(static_cast<std::uint8_t>(info.encoding));
  out += static_cast<char>(info.modified ? kModifiedFlag : 0);
  out.append(2, '\0');
  PutText(out, info.fileName);
}

// Hands bytes on in pieces of a useful size, and keeps their checksum:
// small fields gather in a buffer, long texts go on as they are.
class PieceWriter {
 public:
  explicit PieceWriter(const std::function<void(std::string_view)>& write) : write_(write) {}

  std::string& buffer() { return buffer_; }
  void Text(std::u16string_view text) {
    PutU32(buffer_, TextLength(text));
    if (text.size() < kPiece / 2) {
      std::string storage;
      buffer_.append(UnitBytes(text, storage));
    } else {
      Flush();
      std::string storage;
      Pass(UnitBytes(text, storage));
    }
    if (buffer_.size() >= kPiece) Flush();
  }
  void Flush() {
    Pass(buffer_);
    buffer_.clear();
  }
  std::uint32_t crc() const { return crc_; }

 private:
  static constexpr std::size_t kPiece = 64 * 1024;
  void Pass(std::string_view bytes) {
    if (bytes.empty()) return;
    crc_ = Crc(crc_, bytes);
    write_(bytes);
  }

  const std::function<void(std::string_view)>& write_;
  std::string buffer_;
  std::uint32_t crc_ = Crc({});
};

// ---- reading ----

// Reading past the end of what is there.
struct EndReached {};

[[noreturn]] void Damaged(RecoveryDamage damage, const std::string& what) {
  throw RecoveryDamagedError(damage, "recovery file damaged: " + what);
}

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}

  std::size_t position() const { return at_; }
  std::size_t left() const { return bytes_.size() - at_; }
  std::string_view Take(std::size_t count) {
    if (count > left()) throw EndReached{};
    const std::string_view taken = bytes_.substr(at_, count);
    at_ += count;
    return taken;
  }
  std::uint32_t U32() {
    const std::string_view b = Take(4);
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(b[static_cast<std::size_t>(i)]);
    return value;
  }
  std::int64_t I64() {
    const std::uint64_t low = U32();
    const std::uint64_t high = U32();
    return static_cast<std::int64_t>((high << 32) | low);
  }
  std::uint8_t U8() { return static_cast<std::uint8_t>(Take(1)[0]); }
  std::u16string Text() {
    const std::uint32_t length = U32();
    if (length > left() / 2) throw EndReached{};
    const std::string_view b = Take(std::size_t{length} * 2);
    std::u16string text(length, u'\0');
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(text.data(), b.data(), b.size());
    } else {
      for (std::size_t i = 0; i < length; ++i)
        text[i] = static_cast<char16_t>(static_cast<unsigned char>(b[2 * i]) |
                                        (static_cast<unsigned char>(b[2 * i + 1]) << 8));
    }
    return text;
  }
  RecoveryInfo Info() {
    RecoveryInfo info;
    info.timeMs = I64();
    const std::uint8_t encoding = U8();
    if (encoding > static_cast<std::uint8_t>(TextEncoding::Utf8WithBom))
      Damaged(RecoveryDamage::Inconsistent, "unknown encoding");
    info.encoding = static_cast<TextEncoding>(encoding);
    info.modified = (U8() & kModifiedFlag) != 0;
    Take(2);
    info.fileName = Text();
    return info;
  }

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
};

Sheet ReadBase(Reader& reader) {
  const std::uint32_t rows = reader.U32();
  const std::uint32_t cols = reader.U32();
  // Each cell takes at least its length: a count the bytes cannot hold is
  // damage, found before anything is made of it.
  const std::uint64_t cells = std::uint64_t{rows} * cols;
  if (cells > reader.left() / 4) throw EndReached{};
  if (!FitsSheetLimits(rows, cols)) Damaged(RecoveryDamage::Inconsistent, "sheet over the limits");
  // All texts in one block, as Open holds them; a label that is its row's
  // number is the row number again.
  TextBlockBuilder texts;
  std::vector<std::size_t> starts;
  starts.reserve(cells + 1);
  for (std::uint64_t i = 0; i < cells; ++i) starts.push_back(texts.Add(reader.Text()));
  starts.push_back(texts.Size());
  const TextBlock* block = texts.Finish();
  std::vector<CellColumn> columns(cols);
  for (std::uint32_t c = 0; c < cols; ++c) {
    columns[c].Reserve(rows);
    for (std::uint32_t r = 0; r < rows; ++r) {
      const std::size_t i = std::size_t{r} * cols + c;
      SharedText text(block, starts[i], starts[i + 1] - starts[i]);
      columns[c].Append(c == 0 && r > 0 && text.get() == RowNumberText(r) ? SharedText::RowNumber() : std::move(text));
    }
  }
  return Sheet(static_cast<int>(rows), std::move(columns));
}

// A record's payload, whose checksum matched.
void ApplyRecord(std::string_view payload, RecoveredSheet& recovered) {
  Reader reader(payload);
  try {
    RecoveryInfo info = reader.Info();
    const std::uint32_t count = reader.U32();
    if (count > reader.left() / 12) throw EndReached{};
    std::vector<CellChange> changes;
    changes.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::uint32_t row = reader.U32();
      const std::uint32_t col = reader.U32();
      if (row >= static_cast<std::uint32_t>(recovered.sheet.Rows()) ||
          col >= static_cast<std::uint32_t>(recovered.sheet.Cols()))
        Damaged(RecoveryDamage::Inconsistent, "a change outside the sheet");
      changes.push_back({static_cast<int>(row), static_cast<int>(col), SharedText(reader.Text())});
    }
    if (reader.left() != 0) Damaged(RecoveryDamage::Inconsistent, "bytes after a record's changes");
    // Applied only once the whole record has read.
    for (CellChange& change : changes) recovered.sheet.SetShared(change.row, change.col, std::move(change.text));
    recovered.info = std::move(info);
  } catch (const EndReached&) {
    Damaged(RecoveryDamage::Inconsistent, "a record shorter than its changes");
  }
}

}  // namespace

void WriteRecoveryBase(const RecoveryInfo& info, const Sheet& sheet,
                       const std::function<void(std::string_view)>& write) {
  PieceWriter out(write);
  out.buffer().append(kMagic);
  PutU32(out.buffer(), kRecoveryFormatVersion);
  PutInfo(out.buffer(), info);
  PutU32(out.buffer(), static_cast<std::uint32_t>(sheet.Rows()));
  PutU32(out.buffer(), static_cast<std::uint32_t>(sheet.Cols()));
  for (int r = 0; r < sheet.Rows(); ++r)
    for (int c = 0; c < sheet.Cols(); ++c) out.Text(sheet.Text(r, c));
  out.Flush();
  std::string crc;
  PutU32(crc, out.crc());
  write(crc);
}

std::string RecoveryRecord(const RecoveryInfo& info, const std::vector<CellChange>& changes) {
  std::string payload;
  PutInfo(payload, info);
  PutU32(payload, static_cast<std::uint32_t>(changes.size()));
  for (const CellChange& change : changes) {
    PutU32(payload, static_cast<std::uint32_t>(change.row));
    PutU32(payload, static_cast<std::uint32_t>(change.col));
    PutText(payload, change.text.get());
  }
  if (payload.size() > std::numeric_limits<std::uint32_t>::max())
    throw Error("a record is too long for the recovery file");
  std::string record;
  record.reserve(kRecordHeaderSize + payload.size() + 4);
  PutU32(record, kRecordMarker);
  PutU32(record, static_cast<std::uint32_t>(payload.size()));
  PutU32(record, Crc(record));
  record += payload;
  PutU32(record, Crc(payload));
  return record;
}

RecoveredSheet ReadRecovery(std::string_view bytes) {
  if (bytes.size() < kMagic.size() || bytes.substr(0, kMagic.size()) != kMagic)
    Damaged(bytes.size() < kMagic.size() && kMagic.starts_with(bytes) ? RecoveryDamage::CutShort
                                                                      : RecoveryDamage::NotRecoveryFile,
            "not a recovery file");
  Reader reader(bytes);
  RecoveredSheet recovered;
  try {
    reader.Take(kMagic.size());
    if (reader.U32() != kRecoveryFormatVersion) Damaged(RecoveryDamage::OtherVersion, "another version");
    recovered.info = reader.Info();
    recovered.sheet = ReadBase(reader);
    const std::size_t baseEnd = reader.position();
    if (reader.U32() != Crc(bytes.substr(0, baseEnd))) Damaged(RecoveryDamage::Checksum, "base checksum");
  } catch (const EndReached&) {
    Damaged(RecoveryDamage::CutShort, "cut short in its base");
  }

  while (reader.left() > 0) {
    // A record the file ends inside was being appended when the program
    // ended: what it held had not been kept yet.
    if (reader.left() < kRecordHeaderSize) {
      recovered.cutShort = true;
      break;
    }
    const std::size_t start = reader.position();
    const std::uint32_t marker = reader.U32();
    const std::uint32_t length = reader.U32();
    if (reader.U32() != Crc(bytes.substr(start, 8)) || marker != kRecordMarker)
      Damaged(RecoveryDamage::Checksum, "record header checksum");
    if (std::uint64_t{length} + 4 > reader.left()) {
      recovered.cutShort = true;
      break;
    }
    const std::string_view payload = reader.Take(length);
    if (reader.U32() != Crc(payload)) Damaged(RecoveryDamage::Checksum, "record checksum");
    ApplyRecord(payload, recovered);
    ++recovered.records;
  }
  return recovered;
}

}  // namespace quillary
