#include "mainwindow/WindowCommands.h"

#include "commondialog/DesktopOpener.h"
#include "commondialog/MessageBox.h"
#include "commondialog/Services.h"
#include "commondialog/UserGuide.h"
#include "dialogs/FieldEditor.h"
#include "dialogs/FindReplace.h"
#include "dialogs/ResizeOption.h"
#include "mainwindow/CellEditor.h"
#include "mainwindow/SettingsStore.h"
#include "mainwindow/VersionForm.h"
#include "sheet/commands/CommandMessages.h"
#include "sheet/document/SheetDocument.h"

namespace quillary {

WindowCommands::WindowCommands(SheetDocument& document, GridControl& grid, CellEditor& editor,
                               C_CommonDialog& fileDialog, const Services& services, SettingsStore* settings,
                               QWidget* owner, ShowModal showModal)
    : document_(document),
      grid_(grid),
      editor_(editor),
      services_(services),
      owner_(owner),
      showModal_(std::move(showModal)),
      ownSettings_(settings ? nullptr : std::make_unique<SettingsStore>()),
      settings_(settings ? *settings : *ownSettings_),
      documents_(document, editor, fileDialog, services.messageBox),
      convert_(document, editor, documents_, services, owner, [this](Conv& conv) { showModal_(conv); }),
      convertAgain_(convert_, services.messageBox),
      pages_(document, editor, documents_, services, owner, [this](PagesDialog& dialog) { showModal_(dialog); }) {}

WindowCommands::~WindowCommands() = default;

void WindowCommands::New_Click() {
  documents_.New_Click();
  if (document_.fileName().isEmpty()) untitled_.reset();
}

void WindowCommands::Convert_Click() { Done(convert_.Convert_Click()); }

void WindowCommands::ConvertAgain_Click() { Done(convertAgain_.ConvertAgain_Click(Remembered())); }

std::optional<ConversionPair> WindowCommands::Remembered() const {
  const QString& csvFile = document_.fileName();
  return csvFile.isEmpty() ? untitled_ : settings_.LastConversion(csvFile);
}

void WindowCommands::Done(const std::optional<ConversionDone>& done) {
  if (!done) return;
  // The sheet may have been saved under a name first.
  const ConversionPair pair = StampedPair(done->templateName, done->outputName);
  if (const QString& csvFile = document_.fileName(); csvFile.isEmpty())
    untitled_ = pair;
  else
    settings_.SetLastConversion(csvFile, pair);
  emit Converted(*done);
}

void WindowCommands::Pages_Click() {
  if (const auto done = pages_.Pages_Click()) emit PagesWritten(*done);
}

void WindowCommands::SheetResize_Click() {
  ResizeOption dialog(grid_, services_.messageBox, owner_);
  showModal_(dialog);
}

void WindowCommands::FieldEdit_Click() {
  FieldEditor dialog(grid_, services_.messageBox, owner_);
  showModal_(dialog);
}

FindReplace& WindowCommands::FindWindow() {
  if (!findReplace_) findReplace_ = new FindReplace(grid_, editor_, services_.messageBox, owner_);
  return *findReplace_;
}

void WindowCommands::Find_Click() { FindWindow().ShowForFind(); }
void WindowCommands::Replace_Click() { FindWindow().ShowForReplace(); }

void WindowCommands::Version_Click() {
  VersionForm form(owner_);
  showModal_(form);
}

void WindowCommands::Guide_Click() {
  const QString guide = UserGuidePath();
  if (!services_.desktop->OpenFile(guide))
    ShowRefusal(services_.messageBox, QStringLiteral("使い方を開けませんでした。\n") + guide);
}

void WindowCommands::CloseDialogs() {
  convert_.CloseDialog();
  pages_.CloseDialog();
}

}  // namespace quillary
