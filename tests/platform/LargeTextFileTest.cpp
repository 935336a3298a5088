// Large files decoded in pieces on two threads give exactly what the whole
// file's bytes decode to, wherever a piece, the middle or a bad byte falls;
// and the whole bytes decode, in halves, as small texts do.

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "platform/Errors.h"
#include "platform/FileIO.h"
#include "platform/LargeTextFile.h"
#include "support/TempDir.h"

namespace quillary {
namespace {

using testing::TempDir;

constexpr std::uintmax_t kAnySize = ~std::uintmax_t{0};

// Text of every length of UTF-8 sequence, so that pieces and halves of the
// file end inside sequences of each kind.
std::string MixedBytes(std::size_t size) {
  std::string bytes;
  for (int i = 0; bytes.size() < size; ++i) bytes += i % 3 == 0 ? "\xF0\x9F\x98\x80\xC3\xA9" : "\xE6\x97\xA5,ab\r\n";
  return bytes;
}

TEST(ReadLargeTextFile, GivesWhatTheWholeFileDecodesTo) {
  const std::string large = MixedBytes(std::size_t{9} << 20);
  const std::string bom = "\xEF\xBB\xBF";
  std::string emoji;
  for (int i = 0; i < (1 << 21); ++i) emoji += "\xF0\x9F\x98\x80";
  constexpr TextEncoding cp932 = TextEncoding::Cp932, utf8 = TextEncoding::Utf8, bomUtf8 = TextEncoding::Utf8WithBom;
  const struct {
    const char* name;
    std::string bytes;
    TextEncoding encoding;
    bool inPieces = true;  // well-formed UTF-8, read without reading it whole
  } cases[] = {
      {"empty", "", cp932},
      {"only the mark", bom, bomUtf8},
      {"a bad byte after the mark", bom + "名前\xFF\r\n", bomUtf8, false},
      {"large", large, utf8},
      {"large with its mark", bom + large, bomUtf8},
      {"large ASCII", std::string(std::size_t{9} << 20, 'a'), cp932},
      {"four-byte sequences only, the middle inside one", "x" + emoji, utf8},
      {"large, a bad byte in the first half", "\xFF" + large, cp932, false},
      {"large, a bad byte where a piece ends", large.substr(0, std::size_t{1} << 20) + "\x80" + large, cp932, false},
      {"large with its mark, a bad byte in the second half", bom + large + "\xC3", bomUtf8, false},
  };
  TempDir dir;
  for (const auto& c : cases) {
    const auto file = dir.Write("file.csv", c.bytes);
    const LargeDecodedText read = ReadLargeTextFile(file, kAnySize);
    const DecodedText whole = DecodeText(c.bytes);
    EXPECT_EQ(ReadUtf8TextFile(file, kAnySize).has_value(), c.inPieces) << c.name;
    EXPECT_TRUE(read.text.View() == whole.text) << c.name;
    // Whether read whole or in pieces, in halves or not.
    EXPECT_EQ(whole.encoding, c.encoding) << c.name;
    EXPECT_EQ(read.encoding, c.encoding) << c.name;
    EXPECT_EQ(read.ascii, whole.ascii) << c.name;
    EXPECT_EQ(std::tie(read.undecodable.count, read.undecodable.firstOffset, read.undecodable.firstLine),
              std::tie(whole.undecodable.count, whole.undecodable.firstOffset, whole.undecodable.firstLine))
        << c.name;
  }
}

// What else it refuses is the whole file reading's test: they open alike.
TEST(ReadLargeTextFile, RefusesAFileOverTheLimit) {
  TempDir dir;
  try {
    ReadLargeTextFile(dir.Write("big.csv", "0123456789"), 9);
    ADD_FAILURE() << "read";
  } catch (const FileReadError& error) {
    EXPECT_EQ(error.problem(), FileProblem::TooLarge);
  }
}

}  // namespace
}  // namespace quillary
