#include "platform/LargeTextFile.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/Errors.h"
#include "platform/FileIO.h"
#include "platform/RegularFile.h"
#include "platform/Utf8.h"

namespace quillary {

namespace {

constexpr std::size_t kPiece = std::size_t{1} << 20;
// Files this long are decoded in two halves side by side.
constexpr std::uintmax_t kHalvesFrom = std::uintmax_t{1} << 23;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);

// The file changed while it was read: its bytes are read whole instead.
struct Changed {};

// The bytes both halves have read, for whoever watches the work.
class BytesRead {
 public:
  BytesRead(WorkProgress* progress, std::uintmax_t total) : progress_(progress), total_(total) {}
  void Add(std::uintmax_t bytes) { ReportProgress(progress_, done_.fetch_add(bytes) + bytes, total_); }

 private:
  WorkProgress* progress_;
  std::uintmax_t total_;
  std::atomic<std::uintmax_t> done_{0};
};

// Bytes [from, to) of the file, a piece at a time. A piece ends before the
// last sequence that could be cut off (at the end of the part, all is
// handed on): the decoder sees whole sequences.
template <typename Take>
void ReadPieces(int fd, const std::filesystem::path& path, std::uintmax_t from, std::uintmax_t to, Take&& take,
                BytesRead& read) {
  const auto room = static_cast<std::size_t>(std::min<std::uintmax_t>(kPiece, to - from)) + 4;
  const std::unique_ptr<char[]> buffer(new char[room]);
  std::size_t held = 0;
  for (std::uintmax_t at = from; at < to;) {
    const auto want = static_cast<std::size_t>(std::min<std::uintmax_t>(kPiece, to - at));
    const ssize_t got = ::pread(fd, buffer.get() + held, want, static_cast<off_t>(at));
    if (got < 0) {
      if (errno == EINTR) continue;
      throw FileReadError(path, ProblemOf(errno), errno);
    }
    if (got == 0) throw Changed{};
    at += static_cast<std::uintmax_t>(got);
    read.Add(static_cast<std::uintmax_t>(got));
    const std::size_t have = held + static_cast<std::size_t>(got);
    std::size_t cut = have;
    if (at < to) {
      // Back to the lead of the last sequence, unless it is a single byte.
      while (cut > 0 && have - cut < 3 && (static_cast<unsigned char>(buffer[cut - 1]) & 0xC0) == 0x80) --cut;
      if (cut > 0 && static_cast<unsigned char>(buffer[cut - 1]) >= 0x80) --cut;
    }
    take(std::string_view(buffer.get(), cut));
    held = have - cut;
    std::memmove(buffer.get(), buffer.get() + cut, held);
  }
  if (held > 0) take(std::string_view(buffer.get(), held));
}

// Decodes into [out, end); false at a malformed sequence. A piece that may
// not fit is decoded aside first, so that nothing is written past end.
class Decoding {
 public:
  Decoding(char16_t* out, char16_t* end) : out_(out), end_(end) {}
  void Limit(char16_t* end) { end_ = end; }
  bool Fits(std::string_view bytes) const { return bytes.size() <= static_cast<std::size_t>(end_ - out_); }
  void Take(std::string_view bytes) {
    if (!well_) return;
    bool high = false;
    if (Fits(bytes)) {
      char16_t* const written = DecodeWellFormedUtf8To(bytes, out_, high);
      well_ = written != nullptr;
      if (well_) out_ = written;
    } else {
      aside_.resize(bytes.size());
      char16_t* const written = DecodeWellFormedUtf8To(bytes, aside_.data(), high);
      if (written == nullptr) {
        well_ = false;
      } else {
        const auto units = static_cast<std::size_t>(written - aside_.data());
        if (units > static_cast<std::size_t>(end_ - out_)) throw Changed{};
        std::copy_n(aside_.data(), units, out_);
        out_ += units;
      }
    }
    sawHighByte_ = sawHighByte_ || high;
  }
  bool Well() const { return well_; }
  bool SawHighByte() const { return sawHighByte_; }
  const char16_t* Out() const { return out_; }

 private:
  char16_t* out_;
  char16_t* end_;
  bool well_ = true, sawHighByte_ = false;
  std::vector<char16_t> aside_;
};

// Runs part(0) here and part(1) on a thread of its own when there are two.
template <typename Part>
void OnHalves(int parts, Part&& part) {
  std::exception_ptr failure;
  std::thread second;
  if (parts == 2)
    second = std::thread([&] {
      try {
        part(1);
      } catch (...) {
        failure = std::current_exception();
      }
    });
  try {
    part(0);
  } catch (...) {
    if (second.joinable()) second.join();
    throw;
  }
  if (second.joinable()) second.join();
  if (failure) std::rethrow_exception(failure);
}

// The UTF-8 text of the file's bytes from `begin`, or nothing where they
// are not all well-formed. The first half is decoded straight away; the
// second half's place is known once the other thread has counted the
// units of the first, which it does before decoding the second.
std::optional<LargeDecodedText> DecodeUtf8File(int fd, const std::filesystem::path& path, std::uintmax_t begin,
                                               std::uintmax_t size, WorkProgress* progress) {
  // The second half starts at a sequence's first byte.
  std::uintmax_t split = size - begin < kHalvesFrom ? size : begin + (size - begin) / 2;
  for (unsigned char byte = 0; split < size; ++split) {
    if (::pread(fd, &byte, 1, static_cast<off_t>(split)) != 1) throw Changed{};
    if ((byte & 0xC0) != 0x80) break;
  }
  const auto firstBytes = static_cast<std::size_t>(split - begin);
  // The second half's thread reads the first half too, to count its units.
  BytesRead read(progress, size - begin + (split < size ? split - begin : 0));
  LargeDecodedText decoded;
  // A unit a byte at the most; room never written costs no memory.
  decoded.text = UnitBuffer(static_cast<std::size_t>(size - begin));
  char16_t* const start = decoded.text.data();
  std::atomic<std::size_t> firstUnits{kUnknown};
  std::optional<Decoding> first, second;
  OnHalves(split < size ? 2 : 1, [&](int half) {
    if (half == 1) {
      std::size_t units = 0;
      try {
        ReadPieces(
            fd, path, begin, split, [&](std::string_view bytes) { units += Utf16Length(bytes); }, read);
      } catch (...) {
        firstUnits.store(0);
        firstUnits.notify_one();
        throw;
      }
      firstUnits.store(units);
      firstUnits.notify_one();
      Decoding& decoding = second.emplace(start + units, start + decoded.text.size());
      ReadPieces(
          fd, path, split, size, [&](std::string_view bytes) { decoding.Take(bytes); }, read);
      return;
    }
    // Each unit takes three bytes at the most: that many units are the
    // first half's whatever the count.
    Decoding& decoding = first.emplace(start, start + firstBytes / 3);
    bool bounded = split == size;
    if (bounded) decoding.Limit(start + firstBytes);
    ReadPieces(
        fd, path, begin, split,
        [&](std::string_view bytes) {
          if (!bounded && !decoding.Fits(bytes)) {
            firstUnits.wait(kUnknown);
            decoding.Limit(start + std::min(firstUnits.load(), firstBytes));
            bounded = true;
          }
          decoding.Take(bytes);
        },
        read);
  });
  if (!first->Well() || (second && !second->Well())) return std::nullopt;
  std::size_t units = static_cast<std::size_t>(first->Out() - start);
  if (second) {
    if (units != firstUnits.load()) throw Changed{};
    units = static_cast<std::size_t>(second->Out() - start);
  }
  decoded.text.Resize(units);
  const bool sawHighByte = first->SawHighByte() || (second && second->SawHighByte());
  decoded.encoding = begin > 0 ? TextEncoding::Utf8WithBom : sawHighByte ? TextEncoding::Utf8 : TextEncoding::Cp932;
  decoded.ascii = begin == 0 && !sawHighByte;
  return decoded;
}

bool StartsWithByteOrderMark(int fd, std::uintmax_t size) {
  char start[3] = {};
  return size >= kByteOrderMark.size() && ::pread(fd, start, sizeof start, 0) == static_cast<ssize_t>(sizeof start) &&
         std::string_view(start, sizeof start) == kByteOrderMark;
}

}  // namespace

LargeDecodedText ToLargeText(DecodedText decoded) {
  LargeDecodedText large;
  large.text = UnitBuffer(std::move(decoded.text));
  large.encoding = decoded.encoding;
  large.ascii = decoded.ascii;
  large.undecodable = decoded.undecodable;
  return large;
}

namespace {

std::optional<LargeDecodedText> ReadUtf8(const FileDescriptor& file, const std::filesystem::path& path,
                                         std::uintmax_t size, WorkProgress* progress = nullptr) {
  try {
    const std::uintmax_t begin = StartsWithByteOrderMark(file.get(), size) ? kByteOrderMark.size() : 0;
    return DecodeUtf8File(file.get(), path, begin, size, progress);
  } catch (const Changed&) {
    return std::nullopt;
  }
}

}  // namespace

std::optional<LargeDecodedText> ReadUtf8TextFile(const std::filesystem::path& path, std::uintmax_t limit) {
  std::uintmax_t size = 0;
  const FileDescriptor file = OpenRegularFile(path, limit, size);
  return ReadUtf8(file, path, size);
}

// Files smaller than a few pieces are read whole: in one go, and decoded
// on two threads when they are large enough.
LargeDecodedText ReadLargeTextFile(const std::filesystem::path& path, std::uintmax_t limit, WorkProgress* progress) {
  {
    std::uintmax_t size = 0;
    const FileDescriptor file = OpenRegularFile(path, limit, size);
    if (size >= kHalvesFrom)
      if (std::optional<LargeDecodedText> decoded = ReadUtf8(file, path, size, progress)) return std::move(*decoded);
  }
  ReportProgress(progress, 0, 1);
  std::string bytes = ReadFileBytes(path, limit);
  ReportProgress(progress, 1, 2);
  LargeDecodedText decoded = ToLargeText(DecodeText(bytes));
  ReportProgress(progress, 1, 1);
  return decoded;
}

}  // namespace quillary
