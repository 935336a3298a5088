#pragma once
// The Convert command: asks for the two file names in the Convert dialog and
// runs the template engine over the document's SheetArray, the sheet as it
// was last opened or saved. A sheet changed since then is offered a Save first, so
// that its edits reach the output; what was written is reported back.

#include <cstddef>
#include <functional>
#include <optional>

#include <QPointer>
#include <QString>

#include "convert/ConversionSummary.h"
#include "convert/FindRep.h"
#include "convert/dialog/Conv.h"  // the guarded pointer needs the whole class

class QString;
class QWidget;

namespace quillary {

class CommonDialogBackend;
class DocumentCommands;
class InCellEditor;
class MessageBox;
class SheetDocument;
struct Services;
class FileReadError;
class UndecodableTextError;
class UnencodableCharError;

// A conversion that wrote its output.
struct ConversionDone {
  QString templateName;
  QString outputName;
  ConversionSummary summary;
  // The sheet as last opened or saved was converted while the grid held
  // newer edits (the user chose not to save them first).
  bool olderThanGrid = false;
};

// One line for the status bar: written where, how many placeholders filled,
// and which were left unfilled or name no field (the first few).
QString ConversionStatusText(const ConversionDone& done);
// The same, short enough for the window's default width and what matters
// first: "差し込めなかった所 2（在庫数、価額）　out.html（差し込み 14）",
// or "out.html に書き出しました（差し込み 14）"; the output's file name
// without its folder.
QString ConversionReportText(const ConversionDone& done);
// Its two parts about the placeholders, which the preview shows too:
// "差し込み 12 か所", and what was left unfilled or names no field, each
// part after a wide space (empty when nothing was).
QString FilledText(const ConversionSummary& summary);
QString LeftOverText(const ConversionSummary& summary);
// "　値をエスケープ" when the template opted in, "　文字参照 3 個" when
// characters the encoding lacks were written as references (else empty).
QString EscapingText(const ConversionSummary& summary);
// Why the template could not be used: unreadable, or bytes that do not decode.
QString TemplateReadFailureMessage(const QString& templateName, const FileReadError& error);
QString TemplateUndecodableMessage(const UndecodableTextError& error);
// Why an output cannot hold a character, and what to do about it.
QString OutputUnencodableMessage(const UnencodableCharError& error);

// Commits a pending cell edit and, when the sheet has changed since it was
// last opened or saved, asks whether to save it first, so that its edits
// reach the output. False: the user cancelled, or the Save did not happen.
// olderThanGrid: the user chose not to save.
bool SavedOrDeclined(InCellEditor& editor, const SheetDocument& document, DocumentCommands& documents,
                     MessageBox& messageBox, bool& olderThanGrid);

class ConvertCommand {
 public:
  // Shows the dialog modally and returns when it has closed.
  using ShowModal = std::function<void(Conv&)>;

  // showModal: how the dialog is shown; empty = QDialog::exec. Tests pass
  // their own to act on the dialog in place of the user.
  // The document's SheetArray is converted; a changed sheet is offered a
  // Save through documents first; the dialog is owned by owner.
  ConvertCommand(SheetDocument& document, InCellEditor& editor, DocumentCommands& documents, const Services& services,
                 QWidget* owner, ShowModal showModal = {});
  ~ConvertCommand();

  // The output written, or nothing (cancelled, refused, failed).
  std::optional<ConversionDone> Convert_Click();
  // The same with the two names given, without the dialog: the save-first
  // question, then mayReplace when the output exists (false: nothing done).
  std::optional<ConversionDone> ConvertWith(const QString& templateName, const QString& outputName,
                                            const std::function<bool()>& mayReplace);

  // The template the dialog last returned with (empty after Cancel): the
  // one the preview shows until it is given its own.
  const QString& LastTemplate() const { return lastTemplate_; }

  // The dialog once loaded (kept hidden between runs), else null.
  Conv* dialog() const { return conv_.data(); }
  // Unloads the dialog; the main window calls it when it closes.
  void CloseDialog();

  // The most UTF-16 units an output may hold; tests lower it.
  void SetOutputLimit(std::size_t units) { outputLimit_ = units; }

 private:
  Conv& LoadedDialog();
  std::optional<ConversionSummary> Convert(const QString& templateName, const QString& outputName);

  SheetDocument& document_;
  InCellEditor& editor_;
  DocumentCommands& documents_;
  CommonDialogBackend& dialogBackend_;
  MessageBox& messageBox_;
  QWidget* owner_;
  ShowModal showModal_;
  QString lastTemplate_;
  std::size_t outputLimit_ = kMaxOutputUnits;
  // A child of the owner: whichever of the two goes first, it is deleted once.
  QPointer<Conv> conv_;
};

}  // namespace quillary
