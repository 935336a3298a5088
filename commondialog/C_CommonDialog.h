#pragma once
// The system's open file, save file, colour, font and printer dialogs and
// its help viewer behind one object with properties: set properties, call a
// Show method, read the results from the properties.
//
// All properties start zero, false or empty; setters only store.
//
// Reporting:
// - APIReturn is 1 after an accepted dialog, 0 after a cancel or failure.
// - A cancel with CancelError true raises CommonDialogCancelError (number
//   2001; ShowColor: -2147220610 "Cancel Pressed"). With CancelError false
//   the method returns normally and the result properties keep their values.
// - ExtendedError is set when the platform answers other than 0 or 1, and
//   after every ShowHelp; else it is 0.
// - A chosen path longer than the capacity - 1 characters (capacity =
//   MaxFileSize, 255 when that is 0 or less) counts as a failed dialog:
//   APIReturn 0, ExtendedError 0x3003 (buffer too small), FileName and
//   FileTitle unchanged, and FileNameTooLongError is raised whatever
//   CancelError holds.
// - Any other error inside a Show method ends it quietly, the properties as
//   far as they were set.
//
// Action: 3 after ShowColor, 4 ShowFont, 5 ShowPrinter, 6 ShowHelp; ShowOpen
// and ShowSave leave it as it was.

#include <cstddef>
#include <cstdint>

#include <QString>

#include "commondialog/CommonDialogBackend.h"
#include "commondialog/CommonDialogErrors.h"

namespace quillary {

class C_CommonDialog {
 public:
  static constexpr std::int32_t kBufferTooSmall = 0x3003;
  static constexpr std::int32_t kDefaultCapacity = 255;

  // The backend must outlive the instance; one backend serves every instance.
  explicit C_CommonDialog(CommonDialogBackend& backend) : backend_(backend) {}

  const QString& Filter() const { return filter_; }
  void SetFilter(const QString& value) { filter_ = value; }
  const QString& FileName() const { return fileName_; }
  void SetFileName(const QString& value) { fileName_ = value; }
  std::int16_t Action() const { return action_; }
  std::int16_t FilterIndex() const { return filterIndex_; }
  void SetFilterIndex(std::int16_t value) { filterIndex_ = value; }
  bool CancelError() const { return cancelError_; }
  void SetCancelError(bool value) { cancelError_ = value; }
  std::int32_t Color() const { return color_; }
  void SetColor(std::int32_t value) { color_ = value; }
  std::int32_t Copies() const { return copies_; }
  void SetCopies(std::int32_t value) { copies_ = value; }
  const QString& DefaultExt() const { return defaultExt_; }
  void SetDefaultExt(const QString& value) { defaultExt_ = value; }
  // The name a file dialog offers at first (empty: none).
  const QString& InitialName() const { return initialName_; }
  void SetInitialName(const QString& value) { initialName_ = value; }
  const QString& DialogTitle() const { return dialogTitle_; }
  void SetDialogTitle(const QString& value) { dialogTitle_ = value; }
  std::int32_t flags() const { return flags_; }
  void SetFlags(std::int32_t value) { flags_ = value; }
  bool FontBold() const { return fontBold_; }
  void SetFontBold(bool value) { fontBold_ = value; }
  bool FontItalic() const { return fontItalic_; }
  void SetFontItalic(bool value) { fontItalic_ = value; }
  const QString& FontName() const { return fontName_; }
  void SetFontName(const QString& value) { fontName_ = value; }
  std::int32_t FontSize() const { return fontSize_; }
  void SetFontSize(std::int32_t value) { fontSize_ = value; }
  bool FontStrikethru() const { return fontStrikethru_; }
  void SetFontStrikethru(bool value) { fontStrikethru_ = value; }
  bool FontUnderline() const { return fontUnderline_; }
  void SetFontUnderline(bool value) { fontUnderline_ = value; }
  std::int32_t FromPage() const { return fromPage_; }
  void SetFromPage(std::int32_t value) { fromPage_ = value; }
  std::int32_t hdc() const { return hdc_; }
  std::int32_t HelpCommand() const { return helpCommand_; }
  void SetHelpCommand(std::int32_t value) { helpCommand_ = value; }
  const QString& HelpContext() const { return helpContext_; }
  void SetHelpContext(const QString& value) { helpContext_ = value; }
  const QString& HelpFile() const { return helpFile_; }
  void SetHelpFile(const QString& value) { helpFile_ = value; }
  const QString& HelpKey() const { return helpKey_; }
  void SetHelpKey(const QString& value) { helpKey_ = value; }
  const QString& InitDir() const { return initDir_; }
  void SetInitDir(const QString& value) { initDir_ = value; }
  std::int32_t Max() const { return max_; }
  void SetMax(std::int32_t value) { max_ = value; }
  std::int32_t MaxFileSize() const { return maxFileSize_; }
  void SetMaxFileSize(std::int32_t value) { maxFileSize_ = value; }
  std::int32_t Min() const { return min_; }
  void SetMin(std::int32_t value) { min_ = value; }
  bool PrinterDefault() const { return printerDefault_; }
  void SetPrinterDefault(bool value) { printerDefault_ = value; }
  std::int32_t ToPage() const { return toPage_; }
  void SetToPage(std::int32_t value) { toPage_ = value; }
  const QString& FileTitle() const { return fileTitle_; }
  std::int32_t APIReturn() const { return apiReturn_; }
  std::int32_t ExtendedError() const { return extendedError_; }
  std::int32_t hwndOwner() const { return hwndOwner_; }
  void SetHwndOwner(std::int32_t value) { hwndOwner_ = value; }

  void ShowColor();
  void ShowFont();
  void ShowHelp();
  void ShowOpen();
  void ShowPrinter();
  void ShowSave();

 private:
  static QString TrimAtNull(const QString& text);
  QString FilterToNulls() const;
  static QString BytesToText(const std::uint8_t* bytes, std::size_t size);
  void ShowFileDialog(FileDialogMode mode);

  // Common start of the Show methods: Action (0 = leave it) and the results.
  void Begin(std::int16_t action);
  // Stores the platform's result; true when accepted. A cancel raises the
  // cancel error if CancelError asks for it; other results fetch ExtendedError.
  bool Accepted(std::int32_t result, std::int32_t cancelNumber, const QString& cancelDescription = QString());
  // Runs a Show body, letting only the two reporting errors out.
  template <typename Body>
  void Quietly(Body body);

  CommonDialogBackend& backend_;

  QString filter_;
  QString fileName_;
  std::int16_t action_ = 0;
  std::int16_t filterIndex_ = 0;
  bool cancelError_ = false;
  std::int32_t color_ = 0;
  std::int32_t copies_ = 0;
  QString defaultExt_;
  QString dialogTitle_;
  QString initialName_;
  std::int32_t flags_ = 0;
  bool fontBold_ = false;
  bool fontItalic_ = false;
  QString fontName_;
  std::int32_t fontSize_ = 0;
  bool fontStrikethru_ = false;
  bool fontUnderline_ = false;
  std::int32_t fromPage_ = 0;
  std::int32_t hdc_ = 0;
  std::int32_t helpCommand_ = 0;
  QString helpContext_;
  QString helpFile_;
  QString helpKey_;
  QString initDir_;
  std::int32_t max_ = 0;
  std::int32_t maxFileSize_ = 0;
  std::int32_t min_ = 0;
  bool printerDefault_ = false;
  std::int32_t toPage_ = 0;
  QString fileTitle_;
  std::int32_t apiReturn_ = 0;
  std::int32_t extendedError_ = 0;
  std::int32_t hwndOwner_ = 0;
};

}  // namespace quillary
