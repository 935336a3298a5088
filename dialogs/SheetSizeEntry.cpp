#include "dialogs/SheetSizeEntry.h"

#include <algorithm>

#include "sheet/Sheet.h"
#include "sheet/commands/CommandMessages.h"

namespace quillary {

namespace {

// Only these two digit sets: other scripts' digits are not what a count
// typed here would use.
std::optional<int> DigitValue(QChar c) {
  const char16_t code = c.unicode();
  if (code >= u'0' && code <= u'9') return code - u'0';
  if (code >= u'０' && code <= u'９') return code - u'０';
  return std::nullopt;
}

}  // namespace

std::optional<int> ReadCount(const QString& entry) {
  const QString digits = entry.trimmed();  // also the ideographic space
  if (digits.isEmpty()) return std::nullopt;
  int value = 0;
  for (const QChar c : digits) {
    const std::optional<int> digit = DigitValue(c);
    if (!digit) return std::nullopt;
    value = std::min(value * 10 + *digit, kMaxCount + 1);
  }
  return value;
}

QString NotACountMessage() { return QStringLiteral("行数と列数には 1 以上の整数を入力してください。"); }

SizeCheck CheckSheetSize(const QString& recordsEntry, const QString& fieldsEntry) {
  const std::optional<int> records = ReadCount(recordsEntry);
  const std::optional<int> fields = ReadCount(fieldsEntry);
  if (!records || *records < 1) return {std::nullopt, NotACountMessage(), EntryBox::Records};
  if (!fields || *fields < 1) return {std::nullopt, NotACountMessage(), EntryBox::Fields};
  const EntryBox larger = *records >= *fields ? EntryBox::Records : EntryBox::Fields;
  if (*records > kMaxRecords || *fields > kMaxFields) return {std::nullopt, SheetTooLargeMessage(), larger};
  return {SheetSize{*records, *fields}, QString(), EntryBox::Records};
}

}  // namespace quillary
