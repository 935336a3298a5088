#pragma once
// The dialog of レコードごとに変換: a template, an output folder and a name
// pattern ("item-<!-- 商品コード -->.html"). While the user types it shows
// how many files would be written and the first names, or why none can be
// (no folder, records without a name, records sharing one); OK asks once
// about every file that would be replaced. The plan it accepted is its
// result.

#include <memory>
#include <optional>

#include <QDialog>
#include <QString>

#include "convert/RecordPages.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace quillary {

class C_CommonDialog;
class CellSource;
class CommonDialogBackend;
class MessageBox;

class PagesDialog : public QDialog {
  Q_OBJECT

 public:
  PagesDialog(CommonDialogBackend& backend, MessageBox& messageBox, QWidget* owner = nullptr);
  ~PagesDialog() override;

  // Each opening keeps the names of the last one and plans against these
  // cells, fields 0..k-1 processed; they must outlive the showing. No page
  // may replace the sheet's own CSV file (when it has one) or the template.
  void PrepareToOpen(const CellSource& cells, int k, const QString& sheetFile = QString());

  QString TemplateName() const;
  QString FolderName() const;
  QString Pattern() const;
  // After OK: the pages to write, the user having agreed to replace those
  // that exist.
  const std::optional<PagesPlan>& AcceptedPlan() const { return accepted_; }

  void BrowseTemplate_Click();
  void BrowseFolder_Click();
  void OKButton_Click();
  // Plans again now rather than a moment after the last keystroke.
  void ShowPlan();

  QLineEdit* TemplateBox;
  QPushButton* BrowseTemplate;
  QLineEdit* FolderBox;
  QPushButton* BrowseFolder;
  QLineEdit* PatternBox;
  QLabel* PlanText;      // the number of files and the first names, or why none
  QLabel* EscapeNotice;  // the template writes its values escaped
  QPushButton* OKButton;
  QPushButton* CancelButton;

 private:
  // The plan for the names as they stand, or the reason there is none.
  struct Planned {
    std::optional<PagesPlan> plan;
    QString problem;
  };
  Planned Plan() const;
  C_CommonDialog& BrowseDialog();

  CommonDialogBackend& backend_;
  MessageBox& messageBox_;
  std::unique_ptr<C_CommonDialog> browseDialog_;
  const CellSource* cells_ = nullptr;
  QString sheetFile_;
  int k_ = 0;
  QTimer* replan_;
  std::optional<PagesPlan> accepted_;
};

// The plan in a few words: "3 個のファイルを書き出します: a.html、b.html、c.html".
QString PlanSummaryText(const PagesPlan& plan);
// Why a name pattern gives no plan, naming the records.
QString PageNameProblemText(const PageNameError& error);

}  // namespace quillary
