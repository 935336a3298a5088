#pragma once
// Whether the machine has the memory that converting with a CSV file of
// any size would take, told from the files' sizes and the CSV file's shape
// before the CSV file is read whole.

#include <cstdint>
#include <filesystem>
#include <optional>

#include "sheet/CsvShape.h"

namespace quillary {

struct MemoryShortfall {
  std::uint64_t needed, available;  // bytes
};

// The most memory the conversion may take, by factors measured on CSV files
// of extreme shapes (bench/converter_memory.sh), each above the worst seen.
std::uint64_t EstimatedMemory(const CsvShape& csv, std::uintmax_t templateBytes);

// Nothing when the estimate fits what the machine has left, or when that is
// not known. The environment variable QUILLARY_TEST_AVAILABLE_MEMORY, for
// the project's tests, stands for what the machine has left, in bytes.
// Throws FileReadError for the CSV file.
std::optional<MemoryShortfall> CheckMemoryFor(const std::filesystem::path& csv, const std::filesystem::path& templ);

}  // namespace quillary
