#pragma once
// The Convert command: asks for the two file names in the Convert dialog and
// runs the template engine over the window's SheetArray as it was last
// opened or saved (grid edits since then do not reach the output).

#include <cstddef>
#include <functional>

#include <QPointer>

#include "convert/FindRep.h"

class QString;
class QWidget;

namespace quillary {

class CommonDialogBackend;
class Conv;
class GridControl;
class MessageBox;
class SheetArray;

class ConvertCommand {
 public:
  // Shows the dialog modally and returns when it has closed.
  using ShowModal = std::function<void(Conv&)>;

  struct Window {
    QWidget* owner;  // the main window, owner of the dialog
    const GridControl& fg2;
    const SheetArray& sheetArray;
    // The encoding of the file SheetArray came from: a plain-ASCII
    // template's output is written in it.
    const TextEncoding& sheetArrayEncoding;
    CommonDialogBackend& dialogBackend;
    MessageBox& messageBox;
  };

  // showModal: how the dialog is shown; empty = QDialog::exec. Tests pass
  // their own to act on the dialog in place of the user.
  explicit ConvertCommand(Window window, ShowModal showModal = {});
  ~ConvertCommand();

  void Convert_Click();

  // The dialog once loaded (kept hidden between runs), else null.
  Conv* dialog() const { return conv_.data(); }
  // Unloads the dialog; the main window calls it when it closes.
  void CloseDialog();

  // The most UTF-16 units an output may hold; tests lower it.
  void SetOutputLimit(std::size_t units) { outputLimit_ = units; }

 private:
  Conv& LoadedDialog();
  void Convert(const QString& templateName, const QString& outputName);

  Window w_;
  ShowModal showModal_;
  std::size_t outputLimit_ = kMaxOutputUnits;
  // A child of the owner: whichever of the two goes first, it is deleted once.
  QPointer<Conv> conv_;
};

}  // namespace quillary
