#include "sheet/CellColumn.h"

#include <algorithm>
#include <utility>

namespace quillary {

namespace {

constexpr std::uint64_t kChunkHolderBytes = 64;

// Chunks made from a run of cells, each full but the last: cells are added
// one by one, and whole chunks of empty cells share one chunk.
class ChunkMaker {
 public:
  using Chunk = std::vector<SharedText>;
  explicit ChunkMaker(std::vector<std::shared_ptr<Chunk>>& out) : out_(out) {}

  void Add(const SharedText& text) {
    if (!current_) {
      current_ = std::make_shared<Chunk>();
      current_->reserve(CellColumn::kChunkCells);
    }
    current_->push_back(text);
    if (current_->size() == CellColumn::kChunkCells) out_.push_back(std::move(current_));
  }
  void AddRepeated(const SharedText& text, std::size_t count) {
    for (; count > 0 && current_; --count) Add(text);
    for (; count >= CellColumn::kChunkCells; count -= CellColumn::kChunkCells) out_.push_back(FullChunk(text));
    for (; count > 0; --count) Add(text);
  }
  void Finish() {
    if (current_) out_.push_back(std::move(current_));
  }

 private:
  // A chunk of nothing but this text. Row numbers share one chunk for
  // good, so that a column relabelled compares equal at once.
  std::shared_ptr<Chunk> FullChunk(const SharedText& text) {
    if (text.IsRowNumber()) {
      static const auto rowNumbers = std::make_shared<Chunk>(CellColumn::kChunkCells, text);
      return rowNumbers;
    }
    if (!full_) full_ = std::make_shared<Chunk>(CellColumn::kChunkCells, text);
    return full_;
  }

  std::vector<std::shared_ptr<Chunk>>& out_;
  std::shared_ptr<Chunk> current_;
  std::shared_ptr<Chunk> full_;
};

std::uint64_t ChunkBytes(const std::vector<SharedText>& chunk) {
  return chunk.capacity() * sizeof(SharedText) + kChunkHolderBytes;
}

}  // namespace

CellColumn::CellColumn(std::size_t size) { Splice(0, 0, size); }

std::size_t CellColumn::ChunkOf(std::size_t i) const {
  // Chunks that were never split are all full: the guess is right.
  const std::size_t guess = i / kChunkCells;
  if (guess < chunks_.size() && Begin(guess) <= i && i < ends_[guess]) return guess;
  return static_cast<std::size_t>(std::upper_bound(ends_.begin(), ends_.end(), i) - ends_.begin());
}

const SharedText& CellColumn::At(std::size_t i) const {
  const std::size_t k = ChunkOf(i);
  return (*chunks_[k])[i - Begin(k)];
}

void CellColumn::Set(std::size_t i, SharedText text) {
  const std::size_t k = ChunkOf(i);
  // A chunk another copy shares is copied first: that copy keeps its cells.
  if (chunks_[k].use_count() > 1) chunks_[k] = std::make_shared<Chunk>(*chunks_[k]);
  (*chunks_[k])[i - Begin(k)] = std::move(text);
}

void CellColumn::Unshare(std::size_t first, std::size_t last) {
  if (size_ == 0) return;
  last = std::min(last, size_ - 1);
  if (first > last) return;
  for (std::size_t k = ChunkOf(first); k <= ChunkOf(last); ++k)
    if (chunks_[k].use_count() > 1) chunks_[k] = std::make_shared<Chunk>(*chunks_[k]);
}

void CellColumn::Reserve(std::size_t size) {
  if (size > size_) chunks_.reserve(chunks_.size() + (size - size_) / kChunkCells + 1);
  if (size > size_) ends_.reserve(ends_.size() + (size - size_) / kChunkCells + 1);
}

void CellColumn::Append(SharedText text) {
  if (chunks_.empty() || chunks_.back()->size() == kChunkCells || chunks_.back().use_count() > 1) {
    chunks_.push_back(std::make_shared<Chunk>());
    chunks_.back()->reserve(kChunkCells);
    ends_.push_back(size_);
  }
  chunks_.back()->push_back(std::move(text));
  ends_.back() = ++size_;
}

void CellColumn::Resize(std::size_t size) {
  if (size < size_)
    Splice(size, size_ - size, 0);
  else if (size > size_)
    Splice(size_, 0, size - size_);
}

void CellColumn::Insert(std::size_t at, std::size_t count) {
  if (count > 0) Splice(at, 0, count);
}

void CellColumn::Erase(std::size_t first, std::size_t count) {
  if (count > 0) Splice(first, count, 0);
}

void CellColumn::Fill(std::size_t first, std::size_t count, const SharedText& text) {
  if (count > 0) Splice(first, count, count, text);
}

void CellColumn::Splice(std::size_t first, std::size_t erased, std::size_t inserted, const SharedText& fill) {
  // The chunks the change touches: from the one holding `first` (or the last
  // one, when appending) to the one holding the last erased cell.
  std::size_t firstChunk = chunks_.size(), lastChunk = chunks_.size();
  if (!chunks_.empty()) {
    firstChunk = first < size_ ? ChunkOf(first) : chunks_.size() - 1;
    lastChunk = erased > 0 ? ChunkOf(first + erased - 1) : firstChunk;
  }
  std::vector<std::shared_ptr<Chunk>> made;
  ChunkMaker maker(made);
  if (firstChunk < chunks_.size()) {
    const Chunk& head = *chunks_[firstChunk];
    for (std::size_t at = 0; at < first - Begin(firstChunk); ++at) maker.Add(head[at]);
  }
  maker.AddRepeated(fill, inserted);
  if (lastChunk < chunks_.size()) {
    const Chunk& tail = *chunks_[lastChunk];
    for (std::size_t at = first + erased - Begin(lastChunk); at < tail.size(); ++at) maker.Add(tail[at]);
  }
  maker.Finish();

  const std::size_t from = std::min(firstChunk, chunks_.size());
  const std::size_t to = std::min(lastChunk + 1, chunks_.size());
  chunks_.erase(chunks_.begin() + static_cast<std::ptrdiff_t>(from), chunks_.begin() + static_cast<std::ptrdiff_t>(to));
  chunks_.insert(chunks_.begin() + static_cast<std::ptrdiff_t>(from), made.begin(), made.end());
  size_ = size_ - erased + inserted;
  ends_.resize(chunks_.size());
  for (std::size_t k = from; k < chunks_.size(); ++k) ends_[k] = Begin(k) + chunks_[k]->size();
}

bool CellColumn::operator==(const CellColumn& other) const {
  if (size_ != other.size_) return false;
  std::size_t a = 0, b = 0;  // chunks
  std::size_t i = 0, j = 0;  // places in them
  for (std::size_t done = 0; done < size_;) {
    if (i == 0 && j == 0 && chunks_[a] == other.chunks_[b]) {
      done += chunks_[a]->size();
      ++a;
      ++b;
      continue;
    }
    const SharedText& mine = (*chunks_[a])[i];
    const SharedText& theirs = (*other.chunks_[b])[j];
    if (!(mine == theirs) && mine.TextIn(done) != theirs.TextIn(done)) return false;
    ++done;
    if (++i == chunks_[a]->size()) i = 0, ++a;
    if (++j == other.chunks_[b]->size()) j = 0, ++b;
  }
  return true;
}

std::uint64_t CellColumn::Bytes() const {
  std::uint64_t bytes = chunks_.capacity() * (sizeof(chunks_[0]) + sizeof(std::size_t));
  for (const auto& chunk : chunks_) {
    bytes += ChunkBytes(*chunk);
    for (const SharedText& text : *chunk) bytes += text.Bytes();
  }
  return bytes;
}

std::uint64_t CellColumn::BytesHeldAlone(FreedBytes& texts) const {
  std::uint64_t bytes = chunks_.capacity() * (sizeof(chunks_[0]) + sizeof(std::size_t));
  for (const auto& chunk : chunks_) {
    if (chunk.use_count() > 1) continue;
    bytes += ChunkBytes(*chunk);
    for (const SharedText& text : *chunk) texts.Add(text);
  }
  return bytes;
}

std::uint64_t CellColumn::TableBytes(std::uint64_t size) {
  const std::uint64_t chunks = (size + kChunkCells - 1) / kChunkCells;
  return size * sizeof(SharedText) +
         chunks * (kChunkHolderBytes + sizeof(std::shared_ptr<Chunk>) + sizeof(std::size_t));
}

}  // namespace quillary
