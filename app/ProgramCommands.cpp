#include "app/ProgramCommands.h"

#include "app/SettingsStore.h"
#include "dialogs/FieldEditor.h"
#include "dialogs/ResizeOption.h"
#include "mainwindow/CellEditor.h"
#include "mainwindow/Main.h"
#include "sheet/document/SheetDocument.h"
#include "sheet/grid/GridControl.h"

namespace quillary {

namespace {

DocumentCommands::Window DocumentWindow(Main& window) {
  return {window.sheetGrid(),           window.cellEditor(),   window.sheetArray(),        window.fileDialog(),
          window.services().messageBox, window.fileEncoding(), window.sheetArrayEncoding()};
}

}  // namespace

ProgramCommands::ProgramCommands(Main& window, SettingsStore* settings)
    : main_(window),
      ownSettings_(settings ? nullptr : std::make_unique<SettingsStore>()),
      settings_(settings ? *settings : *ownSettings_),
      documents_(DocumentWindow(window)),
      convert_({&window, window.sheetGrid(), window.cellEditor(), documents_, window.sheetArray(),
                window.sheetArrayEncoding(), window.services().dialogBackend, window.services().messageBox},
               [&window](Conv& conv) { window.ShowModalDialog(conv); }),
      convertAgain_(convert_, window.services().messageBox),
      pages_({&window, window.sheetGrid(), window.cellEditor(), documents_, window.sheetArray(),
              window.sheetArrayEncoding(), window.services().dialogBackend, window.services().messageBox},
             [&window](PagesDialog& dialog) { window.ShowModalDialog(dialog); }) {}

ProgramCommands::~ProgramCommands() = default;

void ProgramCommands::New_Click() {
  documents_.New_Click();
  if (main_.document().fileName().isEmpty()) untitled_.reset();
}
void ProgramCommands::Open_Click() { documents_.Open_Click(); }
void ProgramCommands::Save_Click() { documents_.Save_Click(); }
void ProgramCommands::OpenNamed(const QString& fileName) { documents_.OpenNamed(fileName); }
void ProgramCommands::Convert_Click() { Done(convert_.Convert_Click()); }

void ProgramCommands::ConvertAgain_Click() { Done(convertAgain_.ConvertAgain_Click(Remembered())); }

std::optional<ConversionPair> ProgramCommands::Remembered() const {
  const QString& csvFile = main_.document().fileName();
  return csvFile.isEmpty() ? untitled_ : settings_.LastConversion(csvFile);
}

void ProgramCommands::Done(const std::optional<ConversionDone>& done) {
  if (!done) return;
  // The sheet may have been saved under a name first.
  const ConversionPair pair = StampedPair(done->templateName, done->outputName);
  if (const QString& csvFile = main_.document().fileName(); csvFile.isEmpty())
    untitled_ = pair;
  else
    settings_.SetLastConversion(csvFile, pair);
  main_.ShowConversionDone(*done);
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
