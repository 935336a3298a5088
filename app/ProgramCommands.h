#pragma once
// The program's wiring of the commands that open files and dialogs: New,
// Open and Save, Convert and the two sheet dialogs, each in its own class,
// given the main window's grid, state and services.

#include "convert/dialog/ConvertAgain.h"
#include "convert/dialog/PagesCommand.h"
#include "convert/dialog/PagesDialog.h"  // PagesCommand keeps a guarded pointer to it
#include "convert/dialog/Conv.h"  // ConvertCommand keeps a guarded pointer to it
#include "convert/dialog/ConvertCommand.h"
#include <memory>
#include <optional>
#include "mainwindow/MainCommands.h"
#include "sheet/commands/DocumentCommands.h"

namespace quillary {

class Main;
class SettingsStore;

class ProgramCommands final : public MainCommands {
 public:
  // window must outlive the commands (it owns them once set); so must
  // settings, which remembers each CSV file's last conversion (none: a
  // store of the commands' own, for the run).
  explicit ProgramCommands(Main& window, SettingsStore* settings = nullptr);
  ~ProgramCommands() override;

  void New_Click() override;
  void Open_Click() override;
  void Save_Click() override;
  void OpenNamed(const QString& fileName) override;
  void Convert_Click() override;
  void ConvertAgain_Click() override;
  void Pages_Click() override;
  void SheetResize_Click() override;
  void FieldEdit_Click() override;
  bool MayClose() override;
  void CloseDialogs() override;

 private:
  // The pair もう一度変換 converts with for the sheet in the window.
  std::optional<ConversionPair> Remembered() const;
  // Remembers and reports a conversion that wrote its output.
  void Done(const std::optional<ConversionDone>& done);

  Main& main_;
  std::unique_ptr<SettingsStore> ownSettings_;
  SettingsStore& settings_;
  DocumentCommands documents_;
  ConvertCommand convert_;
  ConvertAgainCommand convertAgain_;
  // A sheet with no file yet has its last conversion remembered for the run.
  std::optional<ConversionPair> untitled_;
  PagesCommand pages_;
};

}  // namespace quillary
