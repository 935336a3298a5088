#pragma once
// The shape of a CSV file as its bytes show it, counted piece by piece
// without holding the file: enough to tell how much memory reading it and
// converting with it would take, before it is read. Quotes are not
// followed, so a quoted comma or line break counts as a separator: the
// counts are never below the reader's.

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace quillary {

struct CsvShape {
  std::uint64_t bytes = 0;
  std::uint64_t separators = 0;   // commas and line feeds: each ends at most one cell
  std::uint64_t widestLine = 0;   // the most fields a line holds
  std::uint64_t headerNames = 0;  // the fields of the first line that are not empty
};

class CsvShapeCounter {
 public:
  // The file's bytes, piece after piece.
  void Add(std::string_view bytes);
  CsvShape Shape() const;

 private:
  void EndLine();

  CsvShape shape_;
  std::uint64_t lineCommas_ = 0;
  bool inHeader_ = true, headerFieldNamed_ = false;
};

// Reads the file in pieces; a device, pipe or folder is refused at once.
// Throws FileReadError.
CsvShape ReadCsvShape(const std::filesystem::path& path);

}  // namespace quillary
