#include "app/ProgramRecovery.h"

#include <cstdio>
#include <exception>

#include "commondialog/ErrorGuard.h"
#include "mainwindow/CellEditor.h"
#include "mainwindow/Main.h"
#include "recovery/keeper/RecoveryKeeper.h"
#include "recovery/keeper/RecoveryOffer.h"
#include "sheet/document/SheetDocument.h"

namespace quillary {

ProgramRecovery::ProgramRecovery(Main& window, const std::filesystem::path& folder) : window_(window) {
  try {
    slot_.emplace(RecoverySlot::Claim(folder));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "quillary: unsaved changes are not kept: %s\n", error.what());
    return;
  }
  keeper_ = std::make_unique<RecoveryKeeper>(
      window.document(), [&window] { return window.document().fileEncoding(); }, slot_->file());
  QObject::connect(&window, &Main::FileEncodingChosen, keeper_.get(), &RecoveryKeeper::NoteChange);
}

ProgramRecovery::~ProgramRecovery() = default;

void ProgramRecovery::OfferLeftovers() {
  if (!slot_) return;
  RunGuarded(window_.services().messageBox, [this] {
    quillary::OfferLeftovers(slot_->folder(), slot_->file(), window_.services().messageBox,
                             [this](RecoveredSheet& recovered) {
                               window_.document().ResetUnsaved(std::move(recovered.sheet));
                               window_.document().SetFileName(QString::fromStdU16String(recovered.info.fileName));
                               window_.document().fileEncoding() = recovered.info.encoding;
                               window_.cellEditor().ShowCurrentCell();
                             });
  });
}

}  // namespace quillary
