#include "convert/ConvertCommand.h"

#include <exception>

#include <QString>

#include "convert/Conv.h"
#include "convert/FindRep.h"
#include "commondialog/MessageBox.h"
#include "platform/Errors.h"
#include "platform/FileIO.h"
#include "commondialog/ErrorGuard.h"
#include "sheet/CommandMessages.h"
#include "sheet/GridControl.h"

namespace quillary {

namespace {

// The output takes the template's encoding; a character CP932 lacks needs a
// template in UTF-8.
QString OutputUnencodableMessage(const UnencodableCharError& error) {
  QString message = QStringLiteral("出力ファイルに書き込めない文字が含まれています。\n") + CharacterText(error.character());
  if (error.encoding() == TextEncoding::Cp932)
    message += QStringLiteral("\n出力は定型ファイルと同じ文字コード（CP932）で書き出します。"
                              "定型ファイルを UTF-8 で保存すると、出力も UTF-8 になります。");
  return message;
}

}  // namespace

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
  RunCommand(w_.messageBox, [this] {
    Conv& conv = LoadedDialog();
    conv.PrepareToOpen();
    showModal_(conv);
    // The dialog may have been unloaded while it was shown.
    if (!conv_) return;
    const QString templateName = conv.TemplateName();
    const QString outputName = conv.OutputName();
    if (!templateName.isEmpty() && !outputName.isEmpty()) Convert(templateName, outputName);
  });
}

void ConvertCommand::Convert(const QString& templateName, const QString& outputName) {
  try {
    // The engine reads no field the array lacks, so a grid widened since the
    // last Open or Save is safe.
    ConvertTemplate(PathFromText(templateName.toStdU16String()), PathFromText(outputName.toStdU16String()),
                    w_.sheetArray, w_.fg2.Cols() - 1, w_.sheetArrayEncoding, outputLimit_);
  } catch (const FileReadError& error) {
    ShowRefusal(w_.messageBox, FileFailureMessage(QStringLiteral("定型ファイルを読み込めませんでした。"), templateName, error));
  } catch (const UndecodableTextError& error) {
    // A page with replacement characters in it would be a garbled page.
    ShowRefusal(w_.messageBox,
                UndecodableBytesMessage(QStringLiteral("定型ファイル"), error.encoding(), error.bytes()) +
                    QStringLiteral("\n変換しませんでした。"));
  } catch (const OutputTooLargeError&) {
    // Refused before anything was written: the output file is as it was.
    ShowRefusal(w_.messageBox, QStringLiteral("出力が大きすぎます。"));
  } catch (const UnencodableCharError& error) {
    ShowRefusal(w_.messageBox, OutputUnencodableMessage(error));
  } catch (const FileWriteError& error) {
    ShowRefusal(w_.messageBox, CannotWriteMessage(outputName, &error));
  }
}

}  // namespace quillary
