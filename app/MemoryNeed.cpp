#include "app/MemoryNeed.h"

#include <cstdlib>
#include <string>
#include <system_error>

#include "platform/MemoryBudget.h"

namespace quillary {

namespace {

// The CSV file's text as UTF-16, twice its bytes, and its bytes besides
// while they are decoded (CP932 is decoded whole).
constexpr std::uint64_t kPerCsvByte = 3;
// A cell's place, and the room its list takes while it grows (24 bytes
// measured for a line feed per record of one letter).
constexpr std::uint64_t kPerSeparator = 32;
// A field of the widest record: while it is read, and each field's cursor
// and tag entries while converting (33 bytes measured per field of a 50
// million field line, 25 for a line of commas).
constexpr std::uint64_t kPerWidestField = 48;
// A field name of its own: its tag, its place in the index and its lookup
// (232 bytes measured for a million names).
constexpr std::uint64_t kPerName = 320;
// The template as text, the stretch being filled and its filled copy.
constexpr std::uint64_t kPerTemplateByte = 8;
// The program itself, its threads and the output's buffers.
constexpr std::uint64_t kFixed = std::uint64_t{64} << 20;

std::optional<std::uint64_t> MemoryLeft() {
  if (const char* given = std::getenv("QUILLARY_TEST_AVAILABLE_MEMORY")) {
    char* end = nullptr;
    const unsigned long long bytes = std::strtoull(given, &end, 10);
    if (end != given && *end == '\0') return bytes;
  }
  return SystemMemory().Spare();
}

}  // namespace

std::uint64_t EstimatedMemory(const CsvShape& csv, std::uintmax_t templateBytes) {
  return kFixed + kPerCsvByte * csv.bytes + kPerSeparator * csv.separators + kPerWidestField * csv.widestLine +
         kPerName * csv.headerNames + kPerTemplateByte * templateBytes;
}

std::optional<MemoryShortfall> CheckMemoryFor(const std::filesystem::path& csv, const std::filesystem::path& templ) {
  const std::optional<std::uint64_t> left = MemoryLeft();
  if (!left) return std::nullopt;
  std::error_code error;
  std::uintmax_t templateBytes = std::filesystem::file_size(templ, error);
  if (error) templateBytes = 0;
  // A file that would fit whatever its shape is not read for it: every
  // byte a separator, one line, every other byte a name.
  if (const std::uintmax_t bytes = std::filesystem::file_size(csv, error); !error) {
    const CsvShape worst{bytes, bytes, bytes + 1, (bytes + 1) / 2};
    if (EstimatedMemory(worst, templateBytes) <= *left) return std::nullopt;
  }
  const std::uint64_t needed = EstimatedMemory(ReadCsvShape(csv), templateBytes);
  if (needed <= *left) return std::nullopt;
  return MemoryShortfall{needed, *left};
}

}  // namespace quillary
