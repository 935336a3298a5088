#include "mainwindow/ProgramCommands.h"

#include "dialogs/FieldEditor.h"
#include "dialogs/ResizeOption.h"
#include "mainwindow/Main.h"
#include "sheet/GridControl.h"

namespace quillary {

namespace {

DocumentCommands::Window DocumentWindow(Main& window) {
  return {*window.fg2,
          [&window](const SharedText& text) { window.SetText1Text(text); },
          window.sheetArray(),
          window.savedImage(),
          window.fileDialog(),
          window.services().messageBox,
          [&window] { window.CommitCellEdit(); },
          window.fileEncoding(),
          window.sheetArrayEncoding()};
}

ConvertCommand::Window ConvertWindow(Main& window) {
  return {&window,
          *window.fg2,
          window.sheetArray(),
          window.sheetArrayEncoding(),
          window.services().dialogBackend,
          window.services().messageBox};
}

}  // namespace

ProgramCommands::ProgramCommands(Main& window)
    : main_(window),
      documents_(DocumentWindow(window)),
      clipboard_(*window.fg2),
      convert_(ConvertWindow(window), [&window](Conv& conv) { window.ShowModalDialog(conv); }) {}

void ProgramCommands::NewSheet() { documents_.New_Click(); }
void ProgramCommands::OpenSheet() { documents_.Open_Click(); }
void ProgramCommands::SaveSheet() { documents_.Save_Click(); }

void ProgramCommands::CopyRange(int c1, int r1, int c2, int r2) { clipboard_.CopyGrid(c1, r1, c2, r2); }
void ProgramCommands::CutRange(int c1, int r1, int c2, int r2) { clipboard_.CutGrid(c1, r1, c2, r2); }
void ProgramCommands::DeleteRange(int c1, int r1, int c2, int r2) { clipboard_.DelGrid(c1, r1, c2, r2); }
void ProgramCommands::PasteRange() { clipboard_.PastGrid(); }

void ProgramCommands::ConvertSheet() { convert_.Convert_Click(); }

void ProgramCommands::ResizeSheet() {
  ResizeOption dialog(*main_.fg2, main_.services().messageBox, &main_);
  main_.ShowModalDialog(dialog);
}

void ProgramCommands::EditFieldNames() {
  FieldEditor dialog(*main_.fg2, main_.services().messageBox, &main_);
  main_.ShowModalDialog(dialog);
}

bool ProgramCommands::MayClose() { return documents_.MayClose(); }

void ProgramCommands::CloseDialogs() { convert_.CloseDialog(); }

}  // namespace quillary
