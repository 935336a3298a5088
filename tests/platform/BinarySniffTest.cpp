// Files that are plainly not text, told from their first bytes.

#include <gtest/gtest.h>

#include <string>

#include "platform/BinarySniff.h"

namespace quillary {
namespace {

TEST(BinarySniff, ImagesArchivesAndNulBytesAreNotText) {
  const struct {
    const char* name;
    std::string head;
    bool binary;
  } cases[] = {
      {"PNG", "\x89PNG\r\n\x1A\n", true},
      {"WebP", "RIFF\x10\x20\x30\x40WEBPVP8 ", true},
      {"a NUL byte in CSV", std::string("a,b\r\n1,\0", 8), true},
      {"bzip2", "BZh91AY&SY", true},
      {"a CSV line beginning BZh", "BZh,名前\r\n", false},
      {"CSV", "名前,価格\r\nりんご,100\r\n", false},
      {"empty", "", false},
  };
  for (const auto& c : cases) EXPECT_EQ(LooksBinary(c.head), c.binary) << c.name;
}

}  // namespace
}  // namespace quillary
