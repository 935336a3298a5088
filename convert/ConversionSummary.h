#pragma once
// What a conversion did with the template's placeholders, counted in the
// output it made.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace quillary {

// Units [begin, end) of an output.
struct TextSpan {
  std::size_t begin = 0;
  std::size_t end = 0;
  bool operator==(const TextSpan&) const = default;
};

// Names with counts, in the order they first appear in the output.
using NameCounts = std::vector<std::pair<std::u16string, std::size_t>>;

// How many in all, over every name.
inline std::size_t TotalCount(const NameCounts& names) {
  std::size_t total = 0;
  for (const auto& entry : names) total += entry.second;
  return total;
}

struct ConversionSummary {
  // Placeholders filled with a value.
  std::size_t filled = 0;
  // Placeholders of processed fields the output still holds (their rows were
  // used up, or a repetition had already filled that field), by field name.
  NameCounts unfilled;
  // "<!-- name -->" comments of the output whose name is no processed
  // field's; repeat-block comments are not counted, nor names over
  // kLongestListedName characters.
  NameCounts unknown;
  // The template opted in to escaping its values ("<!-- EscapeValues -->").
  bool valuesEscaped = false;
  // Characters the output's encoding lacks, written as numeric character
  // references (an HTML output in CP932).
  std::size_t references = 0;

  std::size_t UnfilledCount() const { return TotalCount(unfilled); }
};

inline constexpr std::size_t kLongestListedName = 1024;

}  // namespace quillary
