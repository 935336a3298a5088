#pragma once
// The program's wiring of the commands that open files and dialogs: New,
// Open and Save, Convert and the two sheet dialogs, each in its own class,
// given the main window's grid, state and services.

#include "convert/Conv.h"  // ConvertCommand keeps a guarded pointer to it
#include "convert/ConvertCommand.h"
#include "convert/PagesCommand.h"
#include "convert/PagesDialog.h"  // PagesCommand keeps a guarded pointer to it
#include "mainwindow/MainCommands.h"
#include "sheet/DocumentCommands.h"

namespace quillary {

class Main;

class ProgramCommands final : public MainCommands {
 public:
  // window must outlive the commands (it owns them once set).
  explicit ProgramCommands(Main& window);

  void New_Click() override;
  void Open_Click() override;
  void Save_Click() override;
  void OpenNamed(const QString& fileName) override;
  void Convert_Click() override;
  void Pages_Click() override;
  void SheetResize_Click() override;
  void FieldEdit_Click() override;
  bool MayClose() override;
  void CloseDialogs() override;

 private:
  Main& main_;
  DocumentCommands documents_;
  ConvertCommand convert_;
  PagesCommand pages_;
};

}  // namespace quillary
