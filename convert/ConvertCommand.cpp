#include "convert/ConvertCommand.h"

#include <exception>

#include <QString>

#include "convert/Conv.h"
#include "convert/FindRep.h"
#include "mainwindow/MessageBox.h"
#include "platform/Errors.h"
#include "platform/FileIO.h"
#include "sheet/CommandMessages.h"
#include "sheet/GridControl.h"

namespace quillary {

ConvertCommand::ConvertCommand(Window window, ShowModal showModal)
    : w_(window), showModal_(std::move(showModal)) {
  if (!showModal_) showModal_ = [](Conv& conv) { conv.exec(); };
}

ConvertCommand::~ConvertCommand() { CloseDialog(); }

void ConvertCommand::CloseDialog() { delete conv_.data(); }

Conv& ConvertCommand::LoadedDialog() {
  if (!conv_) conv_ = new Conv(w_.dialogBackend, w_.messageBox, w_.owner);
  return *conv_;
}

void ConvertCommand::Convert_Click() {
  try {
    Conv& conv = LoadedDialog();
    conv.PrepareToOpen();
    showModal_(conv);
    // The dialog may have been unloaded while it was shown.
    if (!conv_) return;
    const QString templateName = conv.TemplateName();
    const QString outputName = conv.OutputName();
    if (!templateName.isEmpty() && !outputName.isEmpty()) Convert(templateName, outputName);
  } catch (const std::exception&) {
    // Nothing may leave an event handler; what is left here is running out
    // of memory, and the files are then as they were.
  }
}

void ConvertCommand::Convert(const QString& templateName, const QString& outputName) {
  try {
    // The engine reads no field the array lacks, so a grid widened since the
    // last Open or Save is safe.
    ConvertTemplate(PathFromText(templateName.toStdU16String()), PathFromText(outputName.toStdU16String()),
                    w_.sheetArray, w_.fg2.Cols() - 1, outputLimit_);
  } catch (const FileReadError&) {
    ShowRefusal(w_.messageBox, QStringLiteral("定型ファイルを読み込めませんでした。"));
  } catch (const OutputTooLargeError&) {
    // Refused before anything was written: the output file is as it was.
    ShowRefusal(w_.messageBox, QStringLiteral("出力が大きすぎます。"));
  } catch (const UnencodableCharError& error) {
    ShowRefusal(w_.messageBox, UnencodableMessage() + u'\n' + CharacterText(error.character()));
  } catch (const FileWriteError&) {
    ShowRefusal(w_.messageBox, CannotWriteMessage(outputName));
  }
}

}  // namespace quillary
