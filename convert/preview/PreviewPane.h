#pragma once
// The live preview: a window beside the main window showing what Convert
// would write from the chosen template and the sheet as the grid holds it
// now, made again a moment after either changes.

#include <functional>
#include <memory>
#include <optional>

#include <QRect>

#include <QString>
#include <QWidget>

#include "convert/preview/PreviewRender.h"
#include "platform/TextEncoding.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace quillary {

class C_CommonDialog;
class CommonDialogBackend;
class DesktopOpener;
class MessageBox;
class PreviewBrowserFile;
class PreviewRefresh;
class PreviewViews;
class SheetDocument;
struct Services;

class PreviewPane final : public QWidget {
  Q_OBJECT

 public:
  // The pane shows the document's sheet, its output in the encoding the
  // next Save writes (a plain-ASCII template's output takes it, as
  // Convert's would after that Save). convertTemplate: the template Convert
  // was last given (empty: none), taken up while the preview has none of
  // its own. currentRow: the grid's current row, whose record's page the
  // preview can show (empty: the whole page only). owner: the main window,
  // which the pane stays above and goes with; services.desktop is set.
  PreviewPane(const SheetDocument& document, const Services& services, std::function<QString()> convertTemplate,
              std::function<int()> currentRow, QWidget* owner);
  ~PreviewPane() override;

  // Beside the owner, where the screen has room; later showings keep the
  // place the user gave it.
  void ShowBeside();

  void ChooseTemplate_Click();
  void OpenOutput_Click();
  // The current cell moved: the page of this record follows it.
  void CurrentRowChanged();
  // The page of the current record (as レコードごとに変換 writes it), or
  // the whole page.
  void ShowRecordPage(bool recordPage);
  // The record whose page is shown; 0 while the whole page is.
  int ShownRecord() const { return shownRecord_; }

  // The template the preview uses from now on, kept for the run.
  void SetTemplateName(const QString& name);
  // A conversion's template, taken up until the user chooses one.
  void ConvertedWith(const QString& templateName);
  // Where the user last put the pane (nothing before it was first shown),
  // and a place to take from the start, as if the user had put it there.
  std::optional<QRect> Placement() const;
  void SetPlacement(const QRect& placement);
  const QString& TemplateName() const { return templateName_; }
  // Smaller limits let tests reach them.
  void SetLimits(const PreviewLimits& limits) { limits_ = limits; }
  // The preview shown; null before the first.
  const PreviewResult* result() const { return result_.get(); }
  PreviewRefresh& refresh() const { return *refresh_; }
  // The file 出力を開く wrote last.
  const PreviewBrowserFile& browserFile() const { return *browserFile_; }

  QLabel* Notice;  // the sheet shown is the grid's, not the saved one
  QLabel* TemplateLabel;
  QPushButton* ChooseTemplate;
  QPushButton* OpenOutput;
  QComboBox* PageChoice;  // ページ全体 or このレコードのページ
  QLabel* Problem;        // why there is no page, or why Convert would write nothing
  PreviewViews* Views;
  QLabel* Summary;  // filled and left unfilled, as Convert counts them

 signals:
  void ShownChanged(bool shown);

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  // The pane goes when the main window is closed.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Refresh();
  void ShowResult();
  void ShowProblem(const QString& problem, bool error);
  void TakeConvertTemplate();

  const SheetDocument& document_;
  CommonDialogBackend& dialogBackend_;
  MessageBox& messageBox_;
  DesktopOpener& desktop_;
  std::function<QString()> convertTemplate_;
  std::function<int()> currentRow_;
  QString templateName_;
  PreviewLimits limits_;
  std::shared_ptr<const PreviewResult> result_;
  std::unique_ptr<C_CommonDialog> browseDialog_;
  std::unique_ptr<PreviewBrowserFile> browserFile_;
  PreviewRefresh* refresh_;
  bool placed_ = false;
  bool templateChosen_ = false;
  int shownRecord_ = 0;
};

}  // namespace quillary
