#pragma once
// New, Open and Save: the main window's commands on the sheet as a whole.
//
// Open reads a CSV file into the document (its sheet and its SheetArray);
// Save writes the sheet to a CSV file and then makes it the SheetArray; New
// clears the sheet. New and Open first ask whether to save a modified sheet, and so
// does closing the window. A cancelled file dialog ends a command quietly; a
// real failure shows its message and leaves the sheet, SheetArray and the
// saved image as they were.
//
// Save writes the file in the encoding the sheet was opened with (CP932 for
// the initial sheet and after New), which the user may change.

#include <functional>
#include <optional>

#include <QString>

namespace quillary {

class C_CommonDialog;
class InCellEditor;
class MessageBox;
class SheetDocument;

class DocumentCommands {
 public:
  // The document is the window's open file; the file dialog asks for the
  // names; the editor commits a pending edit first.
  DocumentCommands(SheetDocument& document, InCellEditor& editor, C_CommonDialog& fileDialog, MessageBox& messageBox);

  void New_Click();
  void Open_Click();
  void Save_Click();
  // Open of a file named from outside (dropped on the window, given at
  // start-up): the same question first, the same messages. A file that is
  // plainly not text is refused before anything is asked.
  void OpenNamed(const QString& fileName);

  // Commits a pending edit and saves the sheet under a name the user
  // chooses. True only when the file was written.
  bool Save();
  // Save to the file the sheet was opened from or last saved to, without the
  // file dialog; Save when it has none. The save before a conversion.
  bool SaveToItsFile();

  // Before the window closes: commits a pending edit and asks whether to
  // save a modified sheet. False when the user chose to stay.
  bool MayClose();

 private:
  // The save question and its loop; false when the user cancelled.
  bool AskToSave();
  // Commits, asks about a changed sheet, then opens the file name gives
  // (none: the user cancelled).
  void OpenAfterAsking(const std::function<std::optional<QString>()>& name);
  bool OpenFile(const QString& fileName);
  bool SaveFile(const QString& fileName);

  SheetDocument& document_;
  InCellEditor& editor_;
  C_CommonDialog& fileDialog_;
  MessageBox& messageBox_;
};

}  // namespace quillary
