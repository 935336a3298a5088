#include "mainwindow/SheetEditCommands.h"

#include <algorithm>

#include <QCollator>
#include <QLocale>
#include <QString>

#include "sheet/commands/CommandMessages.h"
#include "sheet/grid/GridControl.h"
#include "sheet/commands/InCellEditor.h"
#include "sheet/document/SheetDocument.h"
#include "sheet/SheetEdits.h"

namespace quillary {

SheetEditCommands::SheetEditCommands(GridControl& fg2, InCellEditor& editor, MessageBox& messageBox)
    : fg2_(fg2), editor_(editor), messageBox_(messageBox) {}

SheetEditCommands::Span SheetEditCommands::SelectedRows() const {
  const int first = std::min(fg2_.Row(), fg2_.RowSel());
  return {first, std::max(fg2_.Row(), fg2_.RowSel()) - first + 1};
}

SheetEditCommands::Span SheetEditCommands::SelectedCols() const {
  const int first = std::min(fg2_.Col(), fg2_.ColSel());
  return {first, std::max(fg2_.Col(), fg2_.ColSel()) - first + 1};
}

bool SheetEditCommands::Prepare(long long rows, long long cols) {
  editor_.CommitCellEdit();
  if (FitsCellLimit(rows, cols)) return true;
  Refuse(TooManyCellsMessage());
  return false;
}

void SheetEditCommands::Refuse(const QString& message) { ShowRefusal(messageBox_, message); }

void SheetEditCommands::Apply(long long rows, long long cols, const std::function<Sheet()>& build) {
  fg2_.document().Change(EditBytes(rows, cols), build);
  editor_.ShowCurrentCell();
}

void SheetEditCommands::InsertRows_Click() {
  const Span rows = SelectedRows();
  Insert(static_cast<long long>(fg2_.Rows()) + rows.count, fg2_.Cols(), rows, WithRowsInserted);
}

void SheetEditCommands::DeleteRows_Click() {
  Delete(SelectedRows(), fg2_.Rows() - 1, WithRowsDeleted,
         QStringLiteral("すべての行は削除できません。\nシートには 1 行以上のレコードが必要です。"));
}

void SheetEditCommands::InsertCols_Click() {
  const Span cols = SelectedCols();
  Insert(fg2_.Rows(), static_cast<long long>(fg2_.Cols()) + cols.count, cols, WithColsInserted);
}

void SheetEditCommands::DeleteCols_Click() {
  Delete(SelectedCols(), fg2_.Cols() - 1, WithColsDeleted,
         QStringLiteral("すべての列は削除できません。\nシートには 1 つ以上のフィールドが必要です。"));
}

void SheetEditCommands::Insert(long long rows, long long cols, Span span, Edit edit) {
  if (Prepare(rows, cols)) Apply(rows, cols, [&] { return edit(fg2_.sheet(), span.first, span.count); });
}

void SheetEditCommands::Delete(Span span, int available, Edit edit, const QString& refusal) {
  if (!Prepare(fg2_.Rows(), fg2_.Cols())) return;
  if (span.count >= available) {
    Refuse(refusal);
    return;
  }
  Apply(fg2_.Rows(), fg2_.Cols(), [&] { return edit(fg2_.sheet(), span.first, span.count); });
}

void SheetEditCommands::SortAscending_Click() { Sort(false); }
void SheetEditCommands::SortDescending_Click() { Sort(true); }

void SheetEditCommands::Sort(bool descending) {
  if (!Prepare(fg2_.Rows(), fg2_.Cols())) return;
  // Kana, kanji and Latin letters in the order Japanese readers expect.
  QCollator collator(QLocale(QLocale::Japanese, QLocale::Japan));
  collator.setNumericMode(true);
  const TextOrder byCollation = [&collator](const std::u16string& a, const std::u16string& b) {
    return collator.compare(QStringView(a.data(), static_cast<qsizetype>(a.size())),
                            QStringView(b.data(), static_cast<qsizetype>(b.size())));
  };
  Apply(fg2_.Rows(), fg2_.Cols(), [&] { return WithRowsSorted(fg2_.sheet(), fg2_.Col(), descending, byCollation); });
}

}  // namespace quillary
