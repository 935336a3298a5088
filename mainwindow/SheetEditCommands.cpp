#include "mainwindow/SheetEditCommands.h"

#include <algorithm>
#include <optional>

#include <QRect>
#include <QString>

#include "commondialog/LongWork.h"
#include "sheet/SheetEdits.h"
#include "sheet/commands/CommandMessages.h"
#include "sheet/commands/InCellEditor.h"
#include "sheet/document/JapaneseOrder.h"
#include "sheet/document/SheetDocument.h"
#include "sheet/grid/GridControl.h"

namespace quillary {

SheetEditCommands::SheetEditCommands(GridControl& fg2, InCellEditor& editor, MessageBox& messageBox)
    : fg2_(fg2), editor_(editor), messageBox_(messageBox) {}

SheetEditCommands::Span SheetEditCommands::SelectedRows() const {
  const GridSelection s = fg2_.Selection();
  return {s.Top(), s.Bottom() - s.Top() + 1};
}

SheetEditCommands::Span SheetEditCommands::SelectedCols() const {
  const GridSelection s = fg2_.Selection();
  return {s.Left(), s.Right() - s.Left() + 1};
}

void SheetEditCommands::Undo_Click() {
  editor_.CommitCellEdit();
  StepThroughHistory([this] { fg2_.document().Undo(); });
}

void SheetEditCommands::Redo_Click() {
  editor_.CommitCellEdit();
  StepThroughHistory([this] { fg2_.document().Redo(); });
}

void SheetEditCommands::StepThroughHistory(const std::function<void()>& step) {
  // The cells taken back or brought again become the selection, so the user
  // sees what changed; a change of size keeps the selection as it is.
  std::optional<QRect> changed;
  const QMetaObject::Connection watch =
      QObject::connect(&fg2_.document(), &SheetDocument::CellsChanged, [&](int top, int left, int bottom, int right) {
        const QRect cells(QPoint(left, top), QPoint(right, bottom));
        changed = changed ? changed->united(cells) : cells;
      });
  step();
  QObject::disconnect(watch);
  if (changed) fg2_.Select({changed->top(), changed->left(), changed->bottom(), changed->right()});
  editor_.ShowCurrentCell();
}

bool SheetEditCommands::Prepare(long long rows, long long cols) {
  editor_.CommitCellEdit();
  if (FitsSheetLimits(rows, cols)) return true;
  Refuse(SheetTooLargeMessage());
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
  const int col = fg2_.Col();
  Apply(fg2_.Rows(), fg2_.Cols(), [&] {
    return LongWork(QStringLiteral("並べ替えています…")).Run([&](WorkProgress& progress) {
      return WithRowsSortedByRanks(fg2_.sheet(), col, descending, RankInJapaneseOrder, &progress);
    });
  });
}

}  // namespace quillary
