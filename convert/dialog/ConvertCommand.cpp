#include "convert/dialog/ConvertCommand.h"

#include <exception>

#include <QFileInfo>
#include <QScopeGuard>
#include <QString>
#include <QStringList>

#include "commondialog/ErrorGuard.h"
#include "commondialog/LongWork.h"
#include "commondialog/MessageBox.h"
#include "commondialog/Services.h"
#include "convert/FindRep.h"
#include "convert/Module1.h"
#include "convert/SheetArrayCells.h"
#include "convert/TemplateFile.h"
#include "convert/dialog/Conv.h"
#include "convert/dialog/EscapeNotice.h"
#include "platform/Errors.h"
#include "platform/FileIO.h"
#include "sheet/commands/CommandMessages.h"
#include "sheet/commands/DocumentCommands.h"
#include "sheet/commands/InCellEditor.h"
#include "sheet/document/SheetDocument.h"

namespace quillary {

namespace {

const QString kSaveFirstQuestion = QStringLiteral(
    "シートが変更されています。保存してから変換しますか？\n"
    "「いいえ」を選ぶと、最後に開いたか保存したときのシートで変換します。");

// At most this many names are listed; the count says how many there are.
constexpr int kListedNames = 3;

// "価格 ×2、名前 …": the first few names, each with its count when above one.
QString NameList(const NameCounts& names) {
  QStringList listed;
  for (const auto& [name, count] : names) {
    if (listed.size() == kListedNames) {
      listed << QStringLiteral("…");
      break;
    }
    QString item = QString::fromStdU16String(name);
    if (count > 1) item += QStringLiteral(" ×%1").arg(count);
    listed << item;
  }
  return listed.join(QStringLiteral("、"));
}

}  // namespace

// The output takes the template's encoding; a character CP932 lacks needs a
// template in UTF-8.
QString OutputUnencodableMessage(const UnencodableCharError& error) {
  QString message =
      QStringLiteral("出力ファイルに書き込めない文字が含まれています。\n") + CharacterText(error.character());
  if (error.encoding() == TextEncoding::Cp932)
    message += QStringLiteral(
        "\n出力は定型ファイルと同じ文字コード（CP932）で書き出します。"
        "定型ファイルを UTF-8 で保存すると、出力も UTF-8 になります。");
  return message;
}

QString FilledText(const ConversionSummary& summary) { return QStringLiteral("差し込み %1 か所").arg(summary.filled); }

QString LeftOverText(const ConversionSummary& summary) {
  QString text;
  if (const std::size_t unfilled = TotalCount(summary.unfilled); unfilled > 0)
    text += QStringLiteral("　データが足りず残った差し込み %1 か所: %2").arg(unfilled).arg(NameList(summary.unfilled));
  if (const std::size_t unknown = TotalCount(summary.unknown); unknown > 0)
    text +=
        QStringLiteral("　どのフィールド名でもない差し込み %1 か所: %2").arg(unknown).arg(NameList(summary.unknown));
  return text;
}

QString EscapingText(const ConversionSummary& summary) {
  QString text;
  if (summary.valuesEscaped) text += QStringLiteral("　値をエスケープ");
  if (summary.references > 0) text += QStringLiteral("　文字参照 %1 個").arg(summary.references);
  return text;
}

QString ConversionStatusText(const ConversionDone& done) {
  // Converting the sheet as last saved while the grid is newer is said first:
  // a long line is cut at its end.
  const QString what =
      done.olderThanGrid ? QStringLiteral("変換しました（最後に保存したシートで）") : QStringLiteral("変換しました");
  return QStringLiteral("%1: %2（%3）").arg(what, done.outputName, FilledText(done.summary)) +
         EscapingText(done.summary) + LeftOverText(done.summary);
}

QString ConversionReportText(const ConversionDone& done) {
  // The names that name no field first: a misspelt name is the likelier fault.
  NameCounts missed = done.summary.unknown;
  missed.insert(missed.end(), done.summary.unfilled.begin(), done.summary.unfilled.end());
  QString where = QFileInfo(done.outputName).fileName();
  QString filled = QString::number(done.summary.filled);
  if (done.olderThanGrid) filled += QStringLiteral("、最後に保存したシートで");
  if (missed.empty()) return QStringLiteral("%1 に書き出しました（差し込み %2）").arg(where, filled);
  return QStringLiteral("差し込めなかった所 %1（%2）　%3（差し込み %4）")
      .arg(TotalCount(missed))
      .arg(NameList(missed), where, filled);
}

ConvertCommand::ConvertCommand(SheetDocument& document, InCellEditor& editor, DocumentCommands& documents,
                               const Services& services, QWidget* owner, ShowModal showModal)
    : document_(document),
      editor_(editor),
      documents_(documents),
      dialogBackend_(services.dialogBackend),
      messageBox_(services.messageBox),
      owner_(owner),
      showModal_(std::move(showModal)) {
  if (!showModal_) showModal_ = [](Conv& conv) { conv.exec(); };
}

ConvertCommand::~ConvertCommand() { CloseDialog(); }

void ConvertCommand::CloseDialog() { delete conv_.data(); }

Conv& ConvertCommand::LoadedDialog() {
  if (!conv_) conv_ = new Conv(dialogBackend_, messageBox_, owner_);
  return *conv_;
}

std::optional<ConversionDone> ConvertCommand::Convert_Click() {
  std::optional<ConversionDone> done;
  RunCommand(messageBox_, [&] {
    bool olderThanGrid = false;
    if (!SavedOrDeclined(editor_, document_, documents_, messageBox_, olderThanGrid)) return;
    Conv& conv = LoadedDialog();
    const SheetArrayCells cells(document_.sheetArray());
    const int k = document_.sheet().Cols() - 1;
    conv.SetEscapeCheck([&](const QString& name) { return TemplateEscapesValues(name, cells, k); });
    // The check reads this run's sheet: it goes with the run.
    const auto forget = qScopeGuard([this] {
      if (conv_) conv_->SetEscapeCheck({});
    });
    conv.PrepareToOpen();
    showModal_(conv);
    // The dialog may have been unloaded while it was shown.
    if (!conv_) return;
    const QString templateName = conv.TemplateName();
    lastTemplate_ = templateName;
    const QString outputName = conv.OutputName();
    if (templateName.isEmpty() || outputName.isEmpty()) return;
    if (auto summary = Convert(templateName, outputName))
      done = ConversionDone{templateName, outputName, std::move(*summary), olderThanGrid};
  });
  return done;
}

std::optional<ConversionDone> ConvertCommand::ConvertWith(const QString& templateName, const QString& outputName,
                                                          const std::function<bool()>& mayReplace) {
  std::optional<ConversionDone> done;
  RunCommand(messageBox_, [&] {
    bool olderThanGrid = false;
    if (!SavedOrDeclined(editor_, document_, documents_, messageBox_, olderThanGrid)) return;
    if (FileExists(outputName.toStdU16String()) && !mayReplace()) return;
    if (auto summary = Convert(templateName, outputName))
      done = ConversionDone{templateName, outputName, std::move(*summary), olderThanGrid};
  });
  return done;
}

QString TemplateReadFailureMessage(const QString& templateName, const FileReadError& error) {
  return FileFailureMessage(QStringLiteral("定型ファイルを読み込めませんでした。"), templateName, error);
}

QString TemplateUndecodableMessage(const UndecodableTextError& error) {
  return UndecodableBytesMessage(QStringLiteral("定型ファイル"), error.encoding(), error.bytes()) +
         QStringLiteral("\n変換しませんでした。");
}

bool SavedOrDeclined(InCellEditor& editor, const SheetDocument& document, DocumentCommands& documents,
                     MessageBox& messageBox, bool& olderThanGrid) {
  editor.CommitCellEdit();
  if (!document.CheckModify()) return true;
  const MsgResult answer =
      messageBox.Show(kSaveFirstQuestion, MsgButtons::YesNoCancel, MsgIcon::Information, QStringLiteral("確認"));
  if (answer == MsgResult::No) {
    olderThanGrid = true;
    return true;
  }
  // Its own file: one question, not a question and a file dialog.
  return answer == MsgResult::Yes && documents.SaveToItsFile();
}

std::optional<ConversionSummary> ConvertCommand::Convert(const QString& templateName, const QString& outputName) {
  try {
    // The engine reads no field the array lacks, so a grid widened since the
    // last Open or Save is safe.
    // A million records take seconds: made on a thread of its own, with the
    // window drawn and the user free to stop it.
    return LongWork(QStringLiteral("変換しています…")).Run([&](WorkProgress& progress) {
      ConversionSummary summary;
      ConvertTemplate(PathFromText(templateName.toStdU16String()), PathFromText(outputName.toStdU16String()),
                      document_.sheetArray(), document_.sheet().Cols() - 1, document_.sheetArrayEncoding(),
                      outputLimit_, &summary, &progress);
      return summary;
    });
  } catch (const WorkCancelled&) {
    // Stopped by the user, who knows: the output file is as it was.
  } catch (const FileReadError& error) {
    ShowRefusal(messageBox_, TemplateReadFailureMessage(templateName, error));
  } catch (const UndecodableTextError& error) {
    // A page with replacement characters in it would be a garbled page.
    ShowRefusal(messageBox_, TemplateUndecodableMessage(error));
  } catch (const OutputTooLargeError&) {
    // Refused before anything was written: the output file is as it was.
    ShowRefusal(messageBox_, QStringLiteral("出力が大きすぎます。"));
  } catch (const UnencodableCharError& error) {
    ShowRefusal(messageBox_, OutputUnencodableMessage(error));
  } catch (const FileWriteError& error) {
    ShowRefusal(messageBox_, CannotWriteMessage(outputName, &error));
  }
  return std::nullopt;
}

}  // namespace quillary
