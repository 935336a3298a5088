#pragma once
// What the program remembers between runs, wired to the main window: the
// recent files in the File menu, the window's position (its size is the
// program's own) and the preview's placement, taken back at start-up and
// kept when the program ends.

#include <memory>

#include <QObject>

namespace quillary {

class Main;
class RecentFilesMenu;
class SettingsStore;

class ProgramMemory final : public QObject {
  Q_OBJECT

 public:
  // Both must outlive the memory.
  ProgramMemory(Main& window, SettingsStore& store);
  ~ProgramMemory() override;

  // Puts the window and the preview where they were; a place on no screen
  // (a screen gone, a damaged file) is left alone.
  void RestorePlaces();
  void KeepPlaces();

  RecentFilesMenu& recentFiles() const { return *recentFiles_; }

 private:
  Main& window_;
  SettingsStore& store_;
  RecentFilesMenu* recentFiles_;
};

}  // namespace quillary
