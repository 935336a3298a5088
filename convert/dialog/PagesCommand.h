#pragma once
// レコードごとに変換: a page for every record of the sheet as it was last
// opened or saved (offered a Save first, as Convert is), written into one
// folder, all of them or none, with the progress shown and a way to cancel.

#include <cstddef>
#include <functional>
#include <optional>

#include <QPointer>
#include <QString>

#include "convert/ConversionSummary.h"
#include "convert/dialog/ConvertCommand.h"
#include "platform/TextEncoding.h"

class QWidget;

namespace quillary {

class PagesDialog;

// Pages that were written.
struct PagesDone {
  QString folder;
  std::size_t written = 0;
  std::size_t replaced = 0;
  ConversionSummary summary;   // over every page
  bool olderThanGrid = false;  // as for Convert
};

// One line for the status bar: how many files where, placeholders filled
// and left over, escaping and character references.
QString PagesStatusText(const PagesDone& done);

class PagesCommand {
 public:
  // Shows the dialog modally and returns when it has closed.
  using ShowModal = std::function<void(PagesDialog&)>;
  // Told how many pages of how many are made; false cancels. Made for one
  // writing, with the number of pages.
  using Progress = std::function<bool(std::size_t made, std::size_t total)>;
  using StartProgress = std::function<Progress(QWidget* owner, std::size_t total)>;

  // Empty showModal: QDialog::exec; empty startProgress: a progress dialog
  // that appears when the writing takes a while.
  // What Convert works on, the same for every record's page.
  PagesCommand(SheetDocument& document, InCellEditor& editor, DocumentCommands& documents, const Services& services,
               QWidget* owner, ShowModal showModal = {}, StartProgress startProgress = {});
  ~PagesCommand();

  // The pages written, or nothing (cancelled, refused, failed).
  std::optional<PagesDone> Pages_Click();

  PagesDialog* dialog() const { return dialog_.data(); }
  void CloseDialog();

 private:
  std::optional<PagesDone> Write(const PagesDialog& dialog);

  SheetDocument& document_;
  InCellEditor& editor_;
  DocumentCommands& documents_;
  CommonDialogBackend& dialogBackend_;
  MessageBox& messageBox_;
  QWidget* owner_;
  ShowModal showModal_;
  StartProgress startProgress_;
  QPointer<PagesDialog> dialog_;
};

}  // namespace quillary
