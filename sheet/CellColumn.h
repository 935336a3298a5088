#pragma once
// A column of cells held in chunks that copies of the column share: copying
// a column of a million cells copies a list of a thousand chunks, and a
// change copies only the chunk it changes (the others stay shared). So the
// sheet, its saved image, the work array and every version the history
// keeps cost, beside one another, what they do not have in common.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "sheet/SharedText.h"

namespace quillary {

class CellColumn {
 public:
  // Cells a chunk holds at most.
  static constexpr std::size_t kChunkCells = 1024;

  CellColumn() = default;
  // size empty cells.
  explicit CellColumn(std::size_t size);

  std::size_t Size() const { return size_; }
  const SharedText& At(std::size_t i) const;
  void Set(std::size_t i, SharedText text);
  // Copies the chunks of cells first .. last that another copy shares, so
  // that setting those cells then cannot fail (nothing is left to copy).
  void Unshare(std::size_t first, std::size_t last);
  // One more cell at the end (how a column is filled).
  void Append(SharedText text);
  // Room for this many cells at the end, so that filling cannot fail half-way.
  void Reserve(std::size_t size);

  // Cells kept or cut at the end; new ones are empty.
  void Resize(std::size_t size);
  // count empty cells before cell `at` (Size() appends).
  void Insert(std::size_t at, std::size_t count);
  void Erase(std::size_t first, std::size_t count);
  // Cells first .. first + count - 1 all given this text; whole chunks of
  // them share one chunk (for the row numbers, one chunk every column
  // shares).
  void Fill(std::size_t first, std::size_t count, const SharedText& text);

  // f(index, text) for cells first .. first + count - 1, in order.
  template <typename F>
  void ForEach(std::size_t first, std::size_t count, F f) const;
  template <typename F>
  void ForEach(F f) const {
    ForEach(0, size_, f);
  }

  // Shared chunks compare at once.
  bool operator==(const CellColumn& other) const;

  // What the column takes: its chunks and their texts (a chunk it shares
  // counted whole).
  std::uint64_t Bytes() const;
  // What letting it go would free: the chunks nothing else holds; their
  // texts are added to `texts` (a block is freed when all its holders go).
  std::uint64_t BytesHeldAlone(FreedBytes& texts) const;
  // What a column of size cells takes before any text.
  static std::uint64_t TableBytes(std::uint64_t size);

 private:
  using Chunk = std::vector<SharedText>;
  // Chunk k holds cells ends_[k - 1] .. ends_[k] - 1.
  std::size_t Begin(std::size_t k) const { return k == 0 ? 0 : ends_[k - 1]; }
  std::size_t ChunkOf(std::size_t i) const;
  // Cells [first, first + erased) replaced by `inserted` cells of `fill`.
  void Splice(std::size_t first, std::size_t erased, std::size_t inserted, const SharedText& fill = SharedText());

  std::vector<std::shared_ptr<Chunk>> chunks_;
  std::vector<std::size_t> ends_;
  std::size_t size_ = 0;
};

template <typename F>
void CellColumn::ForEach(std::size_t first, std::size_t count, F f) const {
  if (count == 0) return;
  const std::size_t end = first + count;
  std::size_t i = first;
  for (std::size_t k = ChunkOf(first); i < end; ++k) {
    const Chunk& chunk = *chunks_[k];
    for (std::size_t at = i - Begin(k); at < chunk.size() && i < end; ++at, ++i) f(i, chunk[at]);
  }
}

}  // namespace quillary
