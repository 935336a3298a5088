#include "sheet/commands/DocumentCommands.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <system_error>
#include <utility>

#include "commondialog/C_CommonDialog.h"
#include "commondialog/ErrorGuard.h"
#include "commondialog/LongWork.h"
#include "commondialog/MessageBox.h"
#include "platform/BinarySniff.h"
#include "platform/FileIO.h"
#include "sheet/CsvDocument.h"
#include "sheet/Sheet.h"
#include "sheet/SheetArray.h"
#include "sheet/commands/AskFileName.h"
#include "sheet/commands/CommandMessages.h"
#include "sheet/commands/InCellEditor.h"
#include "sheet/document/SheetDocument.h"

namespace quillary {

namespace {

const QString kCsvFilter = QStringLiteral("カンマ区切り(CSV)ファイル (*.csv)|*.csv|すべてのファイル(*.*)|*.*");
const QString kSaveQuestion = QStringLiteral("この文章は変更されています\n保存しますか？");
const QString kQuestionTitle = QStringLiteral("確認");

const QString kCannotRead = QStringLiteral("ファイルを読み込めませんでした。");
const QString kNotTextMessage =
    QStringLiteral("このファイルは文字のファイルではない（画像や圧縮ファイルなど）ため、開きませんでした。");
const QString kTooSmallMessage =
    QStringLiteral("このファイルはシートとして開けません。\n1 行目にフィールド名、2 行目以降にデータが必要です。");
// The limits, and the file's own size: which of the two it passes.
QString TooLargeMessage(const SheetTooLargeError& error) {
  return QStringLiteral(
             "このファイルは大きすぎて開けません。\n（%1。このファイルはレコード %2 件、フィールド %3 個です）")
      .arg(SheetLimitsText())
      .arg(std::max(error.rows() - 1, 0LL))
      .arg(std::max(error.cols() - 1, 0LL));
}

// Where the first undecodable byte was, after a file opened all the same.
QString UndecodableNotice(const LoadedCsv& loaded) {
  const QString where = UndecodableBytesMessage(QStringLiteral("このファイル"), loaded.encoding, loaded.undecodable);
  if (loaded.undecodable.damagedUtf8)
    return where +
           QStringLiteral("\nUTF-8 としては読めないため CP932 として開きました。文字が化けている所があります。");
  return where + QStringLiteral("\n読めなかった所は「\uFFFD」で表しています。");
}

const QString kUnencodableMessage = QStringLiteral("保存できない文字が含まれています。");

// A character CP932 lacks needs a file in UTF-8.
QString SaveUnencodableHint(TextEncoding encoding) {
  if (encoding != TextEncoding::Cp932) return QString();
  return QStringLiteral("\n「ファイル」メニューの「文字コード」で UTF-8 を選ぶと保存できます。");
}

// Bytes that read back in another encoding: CP932 that is also well-formed
// UTF-8 (the CSV text begins with a quote, so UTF-8 never reads as marked).
QString ReadsBackDifferentlyMessage(const ReadsBackDifferentlyError& error) {
  return QStringLiteral(
             "このシートを文字コード %1 で保存すると、次に開いたときに %2 のファイルと判断され、"
             "同じシートに戻りません。\n「ファイル」メニューの「文字コード」で UTF-8 を選んで保存してください。")
      .arg(EncodingLabel(error.written()), EncodingLabel(error.readAs()));
}

// Where the character that cannot be saved sits, in the words of the sheet:
// the record's row label and the field's name.
QString CellPlace(const Sheet& sheet, const UnencodableCellError& error) {
  const int col = error.field() + 1;
  const QString character = CharacterText(error.character());
  if (error.row() == 0) return QStringLiteral("（%1 番目のフィールド名: %2）").arg(col).arg(character);
  const QString name = QStringView(sheet.Text(0, col)).toString();
  const QString field =
      name.isEmpty() ? QStringLiteral("%1 番目のフィールド").arg(col) : QStringLiteral("フィールド「%1」").arg(name);
  return QStringLiteral("（%1 行目、%2: %3）").arg(error.row()).arg(field, character);
}

}  // namespace

DocumentCommands::DocumentCommands(SheetDocument& document, InCellEditor& editor, C_CommonDialog& fileDialog,
                                   MessageBox& messageBox)
    : document_(document), editor_(editor), fileDialog_(fileDialog), messageBox_(messageBox) {}

bool DocumentCommands::AskToSave() {
  while (document_.CheckModify()) {
    const MsgResult answer =
        messageBox_.Show(kSaveQuestion, MsgButtons::YesNoCancel, MsgIcon::Information, kQuestionTitle);
    if (answer == MsgResult::No) return true;
    if (answer != MsgResult::Yes) {
      editor_.FocusGrid();
      return false;
    }
    // A cancelled or failed Save leaves the sheet modified: the question
    // comes back.
    Save();
  }
  return true;
}

bool DocumentCommands::MayClose() {
  editor_.CommitCellEdit();
  return AskToSave();
}

void DocumentCommands::New_Click() {
  RunCommand(messageBox_, [&] {
    if (!AskToSave()) return;
    // Same size, every cell cleared, then labelled afresh.
    Sheet sheet(document_.sheet().Rows(), document_.sheet().Cols());
    LabelSheet(sheet);
    document_.fileEncoding() = TextEncoding::Cp932;
    document_.Reset(std::move(sheet));
    document_.SetFileName(QString());
    editor_.ShowCurrentCell();
  });
}

void DocumentCommands::Open_Click() {
  OpenAfterAsking([this] { return AskFileName(fileDialog_, FileDialogMode::Open, kCsvFilter, messageBox_); });
}

void DocumentCommands::OpenNamed(const QString& fileName) {
  // A file dropped or given by mistake (an image, an archive) is refused
  // before anything is asked or changed; Open from the menu reads any file.
  if (FileLooksBinary(PathFromText(fileName.toStdU16String()))) {
    ShowRefusal(messageBox_, kNotTextMessage + u'\n' + fileName);
    return;
  }
  OpenAfterAsking([&] { return std::optional<QString>(fileName); });
}

void DocumentCommands::OpenAfterAsking(const std::function<std::optional<QString>()>& name) {
  RunCommand(messageBox_, [&] {
    editor_.CommitCellEdit();
    if (!AskToSave()) return;
    const std::optional<QString> fileName = name();
    const bool opened = fileName && OpenFile(*fileName);
    editor_.FocusGrid();
    if (opened) editor_.ShowCurrentCell();
  });
}

bool DocumentCommands::OpenFile(const QString& fileName) {
  LoadedCsv loaded;
  Sheet sheet;
  try {
    const std::filesystem::path path = PathFromText(fileName.toStdU16String());
    // A sheet that fits the limits but not the memory left is refused
    // before it is read.
    std::error_code noSize;
    const std::uintmax_t size = std::filesystem::file_size(path, noSize);
    if (!noSize) document_.CheckRoom(LoadCsvBytes(size));
    LongWork(QStringLiteral("ファイルを読み込んでいます…")).Run([&](WorkProgress& progress) {
      loaded = LoadCsvFile(path, &progress);
      sheet = SheetFromFile(loaded);
    });
  } catch (const WorkCancelled&) {
    return false;
  } catch (const SheetTooSmallError&) {
    ShowRefusal(messageBox_, kTooSmallMessage);
    return false;
  } catch (const SheetTooLargeError& error) {
    ShowRefusal(messageBox_, TooLargeMessage(error));
    return false;
  } catch (const FileReadError& error) {
    ShowRefusal(messageBox_, FileFailureMessage(kCannotRead, fileName, error));
    return false;
  } catch (const std::bad_alloc&) {
    ShowOutOfMemory(messageBox_);
    return false;
  } catch (const std::exception&) {
    ShowRefusal(messageBox_, kCannotRead + u'\n' + fileName);
    return false;
  }
  // Nothing has changed so far; from here on nothing can fail half-way. The
  // encoding goes first: the new sheet counts it as saved.
  document_.fileEncoding() = loaded.encoding;
  document_.Reset(std::move(sheet));
  document_.SetFileName(fileName);
  document_.SetSheetArray(std::move(loaded.array), loaded.encoding);
  // Opened all the same, so that nothing else of the file is withheld; the
  // user is told what was not read.
  if (loaded.undecodable.count > 0) ShowWarning(messageBox_, UndecodableNotice(loaded));
  return true;
}

void DocumentCommands::Save_Click() {
  RunCommand(messageBox_, [&] { Save(); });
}

bool DocumentCommands::Save() {
  editor_.CommitCellEdit();
  bool saved = false;
  // A sheet without data columns has nothing to write.
  if (document_.sheet().Cols() > 1) {
    // Where the sheet's file is, under its name; the user may still choose
    // another.
    if (const auto name = AskFileName(fileDialog_, FileDialogMode::Save, kCsvFilter, messageBox_, document_.fileName()))
      saved = SaveFile(*name);
  }
  editor_.FocusGrid();
  return saved;
}

bool DocumentCommands::SaveToItsFile() {
  const QString fileName = document_.fileName();
  if (fileName.isEmpty() || document_.sheet().Cols() <= 1) return Save();
  editor_.CommitCellEdit();
  return SaveFile(fileName);
}

bool DocumentCommands::SaveFile(const QString& fileName) {
  const Sheet& sheet = document_.sheet();
  try {
    SheetArray array;
    LongWork(QStringLiteral("ファイルを保存しています…")).Run([&](WorkProgress& progress) {
      array = SheetArray::FromSheet(sheet);
      SaveCsvFile(PathFromText(fileName.toStdU16String()), array, document_.fileEncoding(), &progress);
    });
    // Only a sheet that reached the file becomes the one Convert reads.
    document_.SetSheetArray(std::move(array), document_.fileEncoding());
    document_.MarkSaved();
    document_.SetFileName(fileName);
  } catch (const WorkCancelled&) {
    return false;
  } catch (const UnencodableCellError& error) {
    ShowRefusal(messageBox_,
                kUnencodableMessage + u'\n' + CellPlace(sheet, error) + SaveUnencodableHint(error.encoding()));
    return false;
  } catch (const ReadsBackDifferentlyError& error) {
    ShowRefusal(messageBox_, ReadsBackDifferentlyMessage(error));
    return false;
  } catch (const FileWriteError& error) {
    ShowRefusal(messageBox_, CannotWriteMessage(fileName, &error));
    return false;
  } catch (const std::bad_alloc&) {
    ShowOutOfMemory(messageBox_);
    return false;
  } catch (const std::exception&) {
    ShowRefusal(messageBox_, CannotWriteMessage(fileName));
    return false;
  }
  return true;
}

}  // namespace quillary
