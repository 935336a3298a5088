#pragma once
// The common dialogs as Qt shows them. One instance serves the whole program.

#include <QPointer>
#include <QWidget>

#include "commondialog/CommonDialogBackend.h"

namespace quillary {

class QtCommonDialogBackend final : public CommonDialogBackend {
 public:
  FileDialogResult ShowFileDialog(const FileDialogRequest& request) override;
  ColorResult ChooseColor(const ColorRequest& request) override;
  FontResult ChooseFont(const FontRequest& request) override;
  PrinterResult PrintDialog(const PrinterRequest& request) override;
  // Opens the help file with the desktop's viewer; the quit command does nothing.
  std::int32_t ShowHelp(const HelpRequest& request) override;
  // The Qt dialogs report no extended errors: always 0.
  std::int32_t ExtendedError() override;

  // The widget whose window handle (as from static_cast<qint32>(winId())) is
  // owner; null for 0 or a handle of no widget.
  static QWidget* OwnerWidget(std::int32_t owner);

  // Dialogs asked for without an owner belong to the window in use, else to
  // this one (the main window), set once it exists.
  void SetFallbackOwner(QWidget* owner) { fallbackOwner_ = owner; }

  // The parent a dialog asked for with this owner handle gets.
  QWidget* DialogParent(std::int32_t owner) const;

 private:
  QPointer<QWidget> fallbackOwner_;
};

}  // namespace quillary
