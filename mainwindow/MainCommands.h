#pragma once
// The seam to the commands that open files and dialogs: New, Open and Save,
// Convert and the two sheet dialogs live in their own classes, which the
// program wires to the main window (tests wire recorders). Every default
// does nothing, so a window without commands set is a complete, inert shell.

class QString;

namespace quillary {

class MainCommands {
 public:
  virtual ~MainCommands() = default;

  virtual void New_Click() {}
  virtual void Open_Click() {}
  virtual void Save_Click() {}
  // Opens a file named from outside as Open does.
  virtual void OpenNamed(const QString& /*fileName*/) {}
  virtual void Convert_Click() {}
  // もう一度変換: with the last conversion's template and output.
  virtual void ConvertAgain_Click() {}
  // A page for every record, into one folder.
  virtual void Pages_Click() {}
  // The sheet resize dialog and the field-name editor.
  virtual void SheetResize_Click() {}
  virtual void FieldEdit_Click() {}

  // The main window is about to close: false keeps it open (the user chose
  // to stay when asked whether to save).
  virtual bool MayClose() { return true; }

  // The main window is closing: unload every dialog that may still be
  // loaded (the Convert dialog stays loaded, hidden, between runs).
  virtual void CloseDialogs() {}
};

}  // namespace quillary
