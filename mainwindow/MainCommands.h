#pragma once
// The commands that the main window's menus, toolbar, pop-ups and grid keys
// start but that live in their own classes (document commands, range
// clipboard, Convert, the sheet dialogs). The window calls them through this
// interface; every default does nothing, so a window without commands set is
// a complete, inert shell.

namespace quillary {

class MainCommands {
 public:
  virtual ~MainCommands() = default;

  virtual void NewSheet() {}
  virtual void OpenSheet() {}
  virtual void SaveSheet() {}

  // Ranges arrive as (ColSel, RowSel, Col, Row), either corner first.
  virtual void CopyRange(int /*c1*/, int /*r1*/, int /*c2*/, int /*r2*/) {}
  virtual void CutRange(int /*c1*/, int /*r1*/, int /*c2*/, int /*r2*/) {}
  virtual void DeleteRange(int /*c1*/, int /*r1*/, int /*c2*/, int /*r2*/) {}
  virtual void PasteRange() {}

  virtual void ConvertSheet() {}
  virtual void ResizeSheet() {}
  virtual void EditFieldNames() {}

  // The main window is about to close: false keeps it open (the user chose
  // to stay when asked whether to save).
  virtual bool MayClose() { return true; }

  // The main window is closing: unload every dialog that may still be
  // loaded (the Convert dialog stays loaded, hidden, between runs).
  virtual void CloseDialogs() {}
};

}  // namespace quillary
