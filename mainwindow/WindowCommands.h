#pragma once
// The commands of the window that open files and dialogs, each the one
// function its menu item, toolbar button and keys reach: New, Open and Save,
// Convert, もう一度変換 and レコードごとに変換, the sheet dialogs, find and
// replace, the version box and the guide. Every dialog the window opens is
// made here; modal ones are shown through the window's ShowModalDialog.

#include <functional>
#include <memory>
#include <optional>

#include <QObject>

#include "convert/ConversionPair.h"
#include "convert/dialog/ConvertAgain.h"
#include "convert/dialog/ConvertCommand.h"
#include "convert/dialog/PagesCommand.h"
#include "convert/dialog/PagesDialog.h"  // PagesCommand keeps a guarded pointer to it
#include "sheet/commands/DocumentCommands.h"

class QDialog;
class QWidget;

namespace quillary {

class C_CommonDialog;
class CellEditor;
class FindReplace;
class GridControl;
class SettingsStore;
class SheetDocument;
struct Services;

class WindowCommands final : public QObject {
  Q_OBJECT

 public:
  using ShowModal = std::function<void(QDialog&)>;

  // settings: where each CSV file's last conversion is remembered (none: a
  // store of the commands' own, for the run). owner: the main window, owner
  // of every dialog; everything given must outlive the commands.
  WindowCommands(SheetDocument& document, GridControl& grid, CellEditor& editor, C_CommonDialog& fileDialog,
                 const Services& services, SettingsStore* settings, QWidget* owner, ShowModal showModal);
  ~WindowCommands() override;

  DocumentCommands& documents() { return documents_; }
  const ConvertCommand& convert() const { return convert_; }

  // New also forgets the last conversion of the sheet that had no file.
  void New_Click();
  void Convert_Click();
  // With the last conversion's template and output, no dialog.
  void ConvertAgain_Click();
  void Pages_Click();
  void SheetResize_Click();
  void FieldEdit_Click();
  void Find_Click();
  void Replace_Click();
  void Version_Click();
  // Opens the installed user guide with the desktop's default application.
  void Guide_Click();

  // The window is about to close: false keeps it open (the user chose to
  // stay when asked whether to save).
  bool MayClose() { return documents_.MayClose(); }
  // The window is closing: the dialogs kept loaded between runs go.
  void CloseDialogs();

 signals:
  // A conversion wrote its output; pages were written.
  void Converted(const ConversionDone& done);
  void PagesWritten(const PagesDone& done);

 private:
  // The pair もう一度変換 converts with for the sheet in the window.
  std::optional<ConversionPair> Remembered() const;
  // Remembers and reports a conversion that wrote its output.
  void Done(const std::optional<ConversionDone>& done);
  FindReplace& FindWindow();

  SheetDocument& document_;
  GridControl& grid_;
  CellEditor& editor_;
  const Services& services_;
  QWidget* owner_;
  ShowModal showModal_;
  std::unique_ptr<SettingsStore> ownSettings_;
  SettingsStore& settings_;
  DocumentCommands documents_;
  ConvertCommand convert_;
  ConvertAgainCommand convertAgain_;
  PagesCommand pages_;
  // A sheet with no file yet has its last conversion remembered for the run.
  std::optional<ConversionPair> untitled_;
  FindReplace* findReplace_ = nullptr;  // a child of the owner once shown
};

}  // namespace quillary
