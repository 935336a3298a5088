#pragma once
// What the program remembers between runs, in Qt's settings file in the
// user's configuration folder (~/.config/Quillary/Quillary.ini): the recent
// files, the last conversion of each CSV file, the main window's position
// and the preview's placement. A damaged file reads as what can be read
// of it; one that cannot be written leaves the values for this run only.
// Neither ever stops the program.

#include <memory>
#include <optional>

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include "convert/ConversionPair.h"

class QSettings;
class QTemporaryDir;

namespace quillary {

inline constexpr int kRecentFilesKept = 10;
// Conversions remembered, the most recent CSV files' first.
inline constexpr int kConversionsKept = 50;

class SettingsStore {
 public:
  // The user's file.
  static std::unique_ptr<SettingsStore> ForUser();
  // The file named (tests use a scratch file).
  explicit SettingsStore(const QString& fileName);
  // A file of its own that goes with the store: remembered for the run.
  SettingsStore();
  ~SettingsStore();

  QString fileName() const;

  // Absolute paths, the most recent first, at most kRecentFilesKept.
  QStringList RecentFiles() const;
  void SetRecentFiles(const QStringList& files);

  std::optional<ConversionPair> LastConversion(const QString& csvFile) const;
  void SetLastConversion(const QString& csvFile, const ConversionPair& pair);

  std::optional<QPoint> MainWindowPosition() const;
  void SetMainWindowPosition(const QPoint& position);
  std::optional<QRect> PreviewPlacement() const;
  void SetPreviewPlacement(const QRect& placement);

  // Forgets everything remembered.
  void Clear();

 private:
  void Write();

  std::unique_ptr<QTemporaryDir> ownFolder_;
  std::unique_ptr<QSettings> settings_;
};

// The list with file put first, once, and cut to kRecentFilesKept.
QStringList WithRecentFile(QStringList files, const QString& file);

}  // namespace quillary
