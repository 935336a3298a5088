#include "sheet/document/JapaneseOrder.h"

#include <algorithm>
#include <future>
#include <optional>

#include <QCollator>
#include <QLocale>
#include <QString>

namespace quillary {

namespace {

// Keys of texts [from, to), with a collator of the calling thread's own.
void MakeKeys(const std::vector<std::u16string_view>& texts, std::size_t from, std::size_t to,
              std::vector<std::optional<QCollatorSortKey>>& keys, WorkProgress* progress) {
  QCollator collator(QLocale(QLocale::Japanese, QLocale::Japan));
  collator.setNumericMode(true);
  for (std::size_t i = from; i < to; ++i) {
    if ((i - from) % 4096 == 0) ReportProgress(progress, (i - from) * 2, texts.size());
    keys[i].emplace(collator.sortKey(QString::fromRawData(reinterpret_cast<const QChar*>(texts[i].data()),
                                                          static_cast<qsizetype>(texts[i].size()))));
  }
}

}  // namespace

std::vector<double> RankInJapaneseOrder(const std::vector<std::u16string_view>& distinct, WorkProgress* progress) {
  std::vector<std::optional<QCollatorSortKey>> keys(distinct.size());
  const std::size_t half = distinct.size() / 2;
  // Both halves report: they take about as long, and both stop when asked.
  auto second = std::async(std::launch::async, [&] { MakeKeys(distinct, half, distinct.size(), keys, progress); });
  try {
    MakeKeys(distinct, 0, half, keys, progress);
  } catch (...) {
    second.wait();
    throw;
  }
  second.get();
  return RanksInOrder(
      distinct.size(), [&](std::size_t a, std::size_t b) { return keys[a]->compare(*keys[b]); }, progress);
}

}  // namespace quillary
