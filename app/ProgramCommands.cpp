#include "app/ProgramCommands.h"

#include "dialogs/FieldEditor.h"
#include "dialogs/ResizeOption.h"
#include "mainwindow/CellEditor.h"
#include "mainwindow/Main.h"
#include "sheet/GridControl.h"

namespace quillary {

namespace {

DocumentCommands::Window DocumentWindow(Main& window) {
  return {window.sheetGrid(),           window.cellEditor(),   window.sheetArray(),        window.fileDialog(),
          window.services().messageBox, window.fileEncoding(), window.sheetArrayEncoding()};
}

}  // namespace

ProgramCommands::ProgramCommands(Main& window)
    : main_(window),
      documents_(DocumentWindow(window)),
      convert_({&window, window.sheetGrid(), window.cellEditor(), documents_, window.sheetArray(),
                window.sheetArrayEncoding(), window.services().dialogBackend, window.services().messageBox},
               [&window](Conv& conv) { window.ShowModalDialog(conv); }),
      pages_({&window, window.sheetGrid(), window.cellEditor(), documents_, window.sheetArray(),
              window.sheetArrayEncoding(), window.services().dialogBackend, window.services().messageBox},
             [&window](PagesDialog& dialog) { window.ShowModalDialog(dialog); }) {}

void ProgramCommands::New_Click() { documents_.New_Click(); }
void ProgramCommands::Open_Click() { documents_.Open_Click(); }
void ProgramCommands::Save_Click() { documents_.Save_Click(); }
void ProgramCommands::OpenNamed(const QString& fileName) { documents_.OpenNamed(fileName); }
void ProgramCommands::Convert_Click() {
  if (const auto done = convert_.Convert_Click()) main_.ShowConversionDone(*done);
}

void ProgramCommands::Pages_Click() {
  if (const auto done = pages_.Pages_Click()) main_.ShowPagesDone(*done);
}

void ProgramCommands::SheetResize_Click() {
  ResizeOption dialog(main_.sheetGrid(), main_.services().messageBox, &main_);
  main_.ShowModalDialog(dialog);
}

void ProgramCommands::FieldEdit_Click() {
  FieldEditor dialog(main_.sheetGrid(), main_.services().messageBox, &main_);
  main_.ShowModalDialog(dialog);
}

bool ProgramCommands::MayClose() { return documents_.MayClose(); }

void ProgramCommands::CloseDialogs() {
  convert_.CloseDialog();
  pages_.CloseDialog();
}

}  // namespace quillary
