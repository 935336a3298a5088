#include "dialogs/FindReplace.h"

#include <algorithm>
#include <limits>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "commondialog/ErrorGuard.h"
#include "commondialog/LongWork.h"
#include "sheet/commands/InCellEditor.h"
#include "sheet/document/SheetDocument.h"
#include "sheet/document/SheetSearch.h"
#include "sheet/grid/GridControl.h"

namespace quillary {

namespace {

QPushButton* AddButton(QBoxLayout& row, const QString& caption, const char* name) {
  auto* button = new QPushButton(caption);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  row.addWidget(button);
  return button;
}

QCheckBox* AddOption(QBoxLayout& box, const QString& caption, const char* name) {
  auto* option = new QCheckBox(caption);
  option->setObjectName(QString::fromLatin1(name));
  box.addWidget(option);
  return option;
}

}  // namespace

FindReplace::FindReplace(GridControl& fg2, InCellEditor& editor, MessageBox& messageBox, QWidget* owner)
    : QDialog(owner), fg2_(fg2), editor_(editor) {
  setWindowTitle(QStringLiteral("検索と置換"));
  setObjectName(QStringLiteral("FindReplace"));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  auto* fields = new QFormLayout;
  FindText = new QLineEdit;
  FindText->setObjectName(QStringLiteral("FindText"));
  ReplaceText = new QLineEdit;
  ReplaceText->setObjectName(QStringLiteral("ReplaceText"));
  // A cell may hold far more than a line edit's default 32,767 characters.
  for (QLineEdit* box : {FindText, ReplaceText}) box->setMaxLength(std::numeric_limits<int>::max());
  fields->addRow(QStringLiteral("検索する文字列(&N):"), FindText);
  fields->addRow(QStringLiteral("置換後の文字列(&W):"), ReplaceText);
  layout->addLayout(fields);
  MatchCase = AddOption(*layout, QStringLiteral("大文字と小文字を区別する(&C)"), "MatchCase");
  WholeCell = AddOption(*layout, QStringLiteral("セルの内容全体が一致する(&O)"), "WholeCell");
  FieldNames = AddOption(*layout, QStringLiteral("フィールド名も検索する(&M)"), "FieldNames");
  RegularExpression = AddOption(*layout, QStringLiteral("正規表現を使う(&E)"), "RegularExpression");
  auto* buttons = new QHBoxLayout;
  QPushButton* next = AddButton(*buttons, QStringLiteral("次を検索(&F)"), "FindNext");
  QPushButton* previous = AddButton(*buttons, QStringLiteral("前を検索(&B)"), "FindPrevious");
  QPushButton* replace = AddButton(*buttons, QStringLiteral("置換(&R)"), "ReplaceOne");
  QPushButton* all = AddButton(*buttons, QStringLiteral("すべて置換(&A)"), "ReplaceAll");
  QPushButton* close = AddButton(*buttons, QStringLiteral("閉じる"), "CloseFind");
  layout->addLayout(buttons);
  ResultLabel = new QLabel;
  ResultLabel->setObjectName(QStringLiteral("FindResult"));
  layout->addWidget(ResultLabel);
  next->setDefault(true);  // Enter in the find box finds the next
  ConnectGuarded(messageBox, next, &QPushButton::clicked, this, &FindReplace::FindNext_Click);
  ConnectGuarded(messageBox, previous, &QPushButton::clicked, this, &FindReplace::FindPrevious_Click);
  ConnectGuarded(messageBox, replace, &QPushButton::clicked, this, &FindReplace::ReplaceOne_Click);
  ConnectGuarded(messageBox, all, &QPushButton::clicked, this, &FindReplace::ReplaceAll_Click);
  connect(close, &QPushButton::clicked, this, &QDialog::hide);
}

void FindReplace::ShowForFind() {
  if (!isVisible() && !placed_) {
    // Beside the main window where the screen has room, so that the cell it
    // finds stays in sight.
    placed_ = true;
    adjustSize();
    const QRect owner = parentWidget()->frameGeometry();
    const QRect screen = parentWidget()->screen()->availableGeometry();
    if (owner.right() + 8 + width() <= screen.right()) move(owner.right() + 8, owner.top());
  }
  show();
  raise();
  activateWindow();
  FindText->setFocus();
  FindText->selectAll();
}

void FindReplace::ShowForReplace() {
  ShowForFind();
  if (!FindText->text().isEmpty()) ReplaceText->setFocus();
}

QString FindReplace::Result() const { return ResultLabel->text(); }

void FindReplace::Say(const QString& text) { ResultLabel->setText(text); }

SearchOptions FindReplace::Options() const {
  return {FindText->text(), MatchCase->isChecked(), WholeCell->isChecked(), FieldNames->isChecked(),
          RegularExpression->isChecked()};
}

bool FindReplace::Searchable(const SearchOptions& options) {
  QString problem = SearchProblem(options);
  // Empty finds the empty cells, but only as a whole cell.
  if (options.text.isEmpty() && !(options.wholeCell && !options.regularExpression))
    problem = QStringLiteral("検索する文字列を入力してください。");
  if (problem.isEmpty()) return true;
  Say(problem);
  FindText->setFocus();
  return false;
}

SheetCell FindReplace::SearchFrom() const {
  const SheetCell current{fg2_.Row(), fg2_.Col()};
  if (reported_ && reported_->row == 0 && current.row == 1 && current.col == reported_->col) return *reported_;
  return current;
}

bool FindReplace::Find(bool forward) {
  editor_.CommitCellEdit();
  const SearchOptions options = Options();
  if (!Searchable(options)) return false;
  const SheetCell from = SearchFrom();
  reported_.reset();
  const std::optional<SheetCell> found = FindCell(fg2_.sheet(), from, forward, options);
  if (!found) {
    Say(QStringLiteral("見つかりません。"));
    return false;
  }
  reported_ = found;
  // A field name cannot be the current cell: its column's first record is.
  fg2_.SetRow(std::max(found->row, 1));
  fg2_.SetCol(found->col);
  QString said = found->row == 0 ? QStringLiteral("%1 列目のフィールド名にあります。").arg(found->col) : QString();
  // Past the end (or the start) the search went round.
  const bool after = std::pair(found->row, found->col) > std::pair(from.row, from.col);
  if (forward ? !after : after)
    said.prepend(forward ? QStringLiteral("先頭から検索しました。") : QStringLiteral("末尾から検索しました。"));
  Say(said);
  return true;
}

void FindReplace::FindNext_Click() { Find(true); }
void FindReplace::FindPrevious_Click() { Find(false); }

void FindReplace::ReplaceOne_Click() {
  editor_.CommitCellEdit();
  const SearchOptions options = Options();
  if (!Searchable(options)) return;
  const QString replacement = ReplaceText->text();
  // The match reported (a field name too), else the current cell when it
  // matches; then the next one is found.
  const SheetCell at = SearchFrom();
  SheetDocument& document = fg2_.document();
  const std::u16string_view cell = document.sheet().Text(at.row, at.col);
  if (const auto length = ReplacedLength(cell, replacement, options)) {
    document.CheckRoom(HeldTextBytes(*length));
    long long count = 0;
    document.SetCell(at.row, at.col, SharedText(ReplacedText(cell, replacement, options, *length, count)));
  }
  Find(true);
}

void FindReplace::ReplaceAll_Click() {
  editor_.CommitCellEdit();
  const SearchOptions options = Options();
  if (!Searchable(options)) return;
  SheetDocument& document = fg2_.document();
  const QString replacement = ReplaceText->text();
  // One dialog over both goes: the matches counted, then the change made.
  LongWork work(QStringLiteral("置換しています…"));
  std::optional<AllReplaced> replaced;
  work.Run([&](WorkProgress& progress) {
    progress.Part(0, 400);
    replaced.emplace(document.sheet(), replacement, options, &progress);
  });
  long long count = 0;
  replaced->ApplyTo(document, count, [&](const auto& build) {
    return work.Run([&](WorkProgress& progress) {
      progress.Part(400, 1000);
      return build(&progress);
    });
  });
  Say(count == 0 ? QStringLiteral("見つかりません。") : QStringLiteral("%1 か所置換しました。").arg(count));
}

}  // namespace quillary
