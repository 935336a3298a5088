#include "convert/dialog/PagesCommand.h"

#include <exception>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>

#include "commondialog/ErrorGuard.h"
#include "commondialog/MessageBox.h"
#include "commondialog/Services.h"
#include "convert/FindRep.h"
#include "convert/RecordPages.h"
#include "convert/SheetArrayCells.h"
#include "convert/dialog/ConvertCommand.h"
#include "convert/dialog/PagesDialog.h"
#include "platform/Errors.h"
#include "platform/FileIO.h"
#include "platform/FileSet.h"
#include "sheet/commands/CommandMessages.h"
#include "sheet/document/SheetDocument.h"

namespace quillary {

namespace {

// The window stays painted and the cancel button answers this often.
constexpr qint64 kProgressIntervalMs = 50;
// A quick writing shows no progress window at all.
constexpr int kProgressDelayMs = 500;

const QString kNothingWritten = QStringLiteral("\nフォルダーは書き出す前のままです。");

QString PathText(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

// A progress window over the owner, gone when the last copy of the
// function that drives it is.
PagesCommand::Progress ProgressWindow(QWidget* owner, std::size_t total) {
  struct Window {
    QPointer<QProgressDialog> dialog;
    QElapsedTimer sinceShown;
    ~Window() { delete dialog.data(); }
  };
  auto window = std::make_shared<Window>();
  window->dialog = new QProgressDialog(QStringLiteral("ページを作っています…"), QStringLiteral("キャンセル"), 0,
                                       static_cast<int>(total), owner);
  window->dialog->setWindowTitle(QStringLiteral("レコードごとに変換"));
  window->dialog->setWindowModality(Qt::WindowModal);
  window->dialog->setMinimumDuration(kProgressDelayMs);
  window->dialog->setAutoClose(false);
  window->dialog->setAutoReset(false);
  window->sinceShown.start();
  return [window](std::size_t made, std::size_t all) {
    QProgressDialog* dialog = window->dialog.data();
    if (!dialog) return false;
    if (made == all) dialog->setLabelText(QStringLiteral("ファイルを置いています…"));
    if (made == all || window->sinceShown.elapsed() >= kProgressIntervalMs) {
      window->sinceShown.restart();
      dialog->setValue(static_cast<int>(made));
      QCoreApplication::processEvents();
    }
    return !dialog->wasCanceled();
  };
}

QString PageFailureMessage(const PageError& error) {
  QString why;
  try {
    std::rethrow_exception(error.cause());
  } catch (const UnencodableCharError& cause) {
    why = OutputUnencodableMessage(cause);
  } catch (const OutputTooLargeError&) {
    why = QStringLiteral("ページが大きすぎます。");
  } catch (const std::exception& cause) {
    why = QString::fromLocal8Bit(cause.what());
  }
  return QStringLiteral("レコード %1 のページを作れませんでした。\n%2\n")
             .arg(error.record())
             .arg(PathText(error.file())) +
         why + kNothingWritten;
}

}  // namespace

QString PagesStatusText(const PagesDone& done) {
  const QString what = done.olderThanGrid ? QStringLiteral("レコードごとに変換しました（最後に保存したシートで）")
                                          : QStringLiteral("レコードごとに変換しました");
  QString text = QStringLiteral("%1: %2 個のファイル → %3（%4）")
                     .arg(what)
                     .arg(done.written)
                     .arg(done.folder, FilledText(done.summary));
  if (done.replaced > 0) text += QStringLiteral("　置き換え %1 個").arg(done.replaced);
  return text + EscapingText(done.summary) + LeftOverText(done.summary);
}

PagesCommand::PagesCommand(SheetDocument& document, InCellEditor& editor, DocumentCommands& documents,
                           const Services& services, QWidget* owner, ShowModal showModal, StartProgress startProgress)
    : document_(document),
      editor_(editor),
      documents_(documents),
      dialogBackend_(services.dialogBackend),
      messageBox_(services.messageBox),
      owner_(owner),
      showModal_(std::move(showModal)),
      startProgress_(std::move(startProgress)) {
  if (!showModal_) showModal_ = [](PagesDialog& dialog) { dialog.exec(); };
  if (!startProgress_) startProgress_ = ProgressWindow;
}

PagesCommand::~PagesCommand() { CloseDialog(); }

void PagesCommand::CloseDialog() { delete dialog_.data(); }

std::optional<PagesDone> PagesCommand::Pages_Click() {
  std::optional<PagesDone> done;
  RunCommand(messageBox_, [&] {
    bool olderThanGrid = false;
    if (!SavedOrDeclined(editor_, document_, documents_, messageBox_, olderThanGrid)) return;
    if (!dialog_) dialog_ = new PagesDialog(dialogBackend_, messageBox_, owner_);
    const SheetArrayCells cells(document_.sheetArray());
    dialog_->PrepareToOpen(cells, document_.sheet().Cols() - 1, document_.fileName());
    showModal_(*dialog_);
    // The dialog may have been unloaded while it was shown.
    if (!dialog_ || dialog_->result() != QDialog::Accepted || !dialog_->AcceptedPlan()) return;
    done = Write(*dialog_);
    if (done) done->olderThanGrid = olderThanGrid;
  });
  return done;
}

std::optional<PagesDone> PagesCommand::Write(const PagesDialog& dialog) {
  const PagesPlan& plan = *dialog.AcceptedPlan();
  const QString templateName = dialog.TemplateName();
  const SheetArrayCells cells(document_.sheetArray());
  try {
    const PageTemplate pageTemplate =
        ReadPageTemplate(PathFromText(templateName.toStdU16String()), document_.sheetArrayEncoding());
    PagesHooks hooks;
    hooks.progress = startProgress_(owner_, plan.pages.size());
    PagesResult result = WritePages(plan, pageTemplate, cells, document_.sheet().Cols() - 1, hooks);
    if (result.cancelled) return std::nullopt;
    return PagesDone{dialog.FolderName(), result.written, result.replaced, std::move(result.summary), false};
  } catch (const FileReadError& error) {
    ShowRefusal(messageBox_, TemplateReadFailureMessage(templateName, error));
  } catch (const UndecodableTextError& error) {
    ShowRefusal(messageBox_, TemplateUndecodableMessage(error));
  } catch (const PageError& error) {
    ShowRefusal(messageBox_, PageFailureMessage(error));
  } catch (const FilesNotPutBackError& error) {
    // The folder could not be put back as it was: say where the old contents are.
    QString kept;
    for (const KeptFile& file : error.kept())
      kept += QStringLiteral("\n%1 → %2").arg(PathText(file.target), PathText(file.kept));
    ShowRefusal(messageBox_,
                CannotWriteMessage(PathText(error.path()), &error) +
                    QStringLiteral("元に戻せなかったファイルがあります。元の内容は次の場所に残してあります。") + kept);
  } catch (const FileWriteError& error) {
    ShowRefusal(messageBox_, CannotWriteMessage(PathText(error.path()), &error) + kNothingWritten);
  }
  return std::nullopt;
}

}  // namespace quillary
