#pragma once
// Reading the resize dialog's two entries: the number of record rows and of
// field columns, checked before anything changes.

#include <optional>

#include <QString>

#include "sheet/Sheet.h"

namespace quillary {

// Counts exclude the field-name row and the row-label column.
struct SheetSize {
  int records = 0;
  int fields = 0;
  bool operator==(const SheetSize&) const = default;
};

// The larger of the two limits: any count beyond it is refused.
inline constexpr int kMaxCount = kMaxRecords;

// A whole number of ASCII or full-width digits (as an input method types
// them), blanks around it ignored. Values beyond kMaxCount read as
// kMaxCount + 1 so that they are refused without overflowing. Nothing else
// reads as a number.
std::optional<int> ReadCount(const QString& entry);

enum class EntryBox { Records, Fields };

struct SizeCheck {
  std::optional<SheetSize> size;  // set when both entries are accepted
  QString refusal;                // the message otherwise
  EntryBox badEntry = EntryBox::Records;
};

// Accepts from 1 to kMaxRecords records and 1 to kMaxFields fields.
SizeCheck CheckSheetSize(const QString& recordsEntry, const QString& fieldsEntry);

QString NotACountMessage();

}  // namespace quillary
