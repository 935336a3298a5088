#pragma once
// The program's commands as the main window starts them: New, Open and
// Save, the range clipboard, Convert and the two sheet dialogs, each in its
// own class, here given the window's grid, state and services.

#include "convert/Conv.h"  // ConvertCommand keeps a guarded pointer to it
#include "convert/ConvertCommand.h"
#include "mainwindow/MainCommands.h"
#include "mainwindow/RangeClipboard.h"
#include "sheet/DocumentCommands.h"

namespace quillary {

class Main;

class ProgramCommands final : public MainCommands {
 public:
  // window must outlive the commands (it owns them once set).
  explicit ProgramCommands(Main& window);

  void NewSheet() override;
  void OpenSheet() override;
  void SaveSheet() override;
  void CopyRange(int c1, int r1, int c2, int r2) override;
  void CutRange(int c1, int r1, int c2, int r2) override;
  void DeleteRange(int c1, int r1, int c2, int r2) override;
  void PasteRange() override;
  void ConvertSheet() override;
  void ResizeSheet() override;
  void EditFieldNames() override;
  bool MayClose() override;
  void CloseDialogs() override;

 private:
  Main& main_;
  DocumentCommands documents_;
  RangeClipboard clipboard_;
  ConvertCommand convert_;
};

}  // namespace quillary
