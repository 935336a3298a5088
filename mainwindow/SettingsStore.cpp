#include "mainwindow/SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

namespace quillary {

namespace {

const QString kRecentFiles = QStringLiteral("RecentFiles/files");
const QString kConversions = QStringLiteral("Conversions");
const QString kMainWindowPosition = QStringLiteral("MainWindow/position");
const QString kPreviewPlacement = QStringLiteral("Preview/placement");

// Whatever a damaged file holds: only non-empty absolute paths count.
bool IsPath(const QString& text) { return !text.isEmpty() && QDir::isAbsolutePath(text); }

// A value typed in by hand or damaged reads as nothing.
std::optional<qint64> Number(const QVariant& value) {
  bool ok = false;
  const qint64 number = value.toLongLong(&ok);
  return ok ? std::optional<qint64>(number) : std::nullopt;
}

struct StoredConversion {
  QString csvFile;
  ConversionPair pair;
};

std::vector<StoredConversion> ReadConversions(QSettings& settings) {
  std::vector<StoredConversion> stored;
  const int size = std::min(settings.beginReadArray(kConversions), kConversionsKept);
  for (int i = 0; i < size; ++i) {
    settings.setArrayIndex(i);
    StoredConversion entry{
        settings.value("csv").toString(),
        {settings.value("template").toString(), settings.value("output").toString(),
         Number(settings.value("outputModified")).value_or(-1), Number(settings.value("outputSize")).value_or(-1)}};
    if (IsPath(entry.csvFile) && IsPath(entry.pair.templateName) && IsPath(entry.pair.outputName))
      stored.push_back(std::move(entry));
  }
  settings.endArray();
  return stored;
}

}  // namespace

std::unique_ptr<SettingsStore> SettingsStore::ForUser() {
  const QSettings user(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quillary"),
                       QStringLiteral("Quillary"));
  return std::make_unique<SettingsStore>(user.fileName());
}

SettingsStore::SettingsStore(const QString& fileName)
    : settings_(std::make_unique<QSettings>(fileName, QSettings::IniFormat)) {}

SettingsStore::SettingsStore() : ownFolder_(std::make_unique<QTemporaryDir>()) {
  settings_ = std::make_unique<QSettings>(ownFolder_->filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::fileName() const { return settings_->fileName(); }

// Each change reaches the file at once: a run that ends abruptly keeps it.
// A file that cannot be written keeps the values in memory all the same.
void SettingsStore::Write() { settings_->sync(); }

QStringList SettingsStore::RecentFiles() const {
  QStringList files;
  for (const QString& file : settings_->value(kRecentFiles).toStringList())
    if (IsPath(file) && !files.contains(file) && files.size() < kRecentFilesKept) files << file;
  return files;
}

void SettingsStore::SetRecentFiles(const QStringList& files) {
  settings_->setValue(kRecentFiles, files.mid(0, kRecentFilesKept));
  Write();
}

std::optional<ConversionPair> SettingsStore::LastConversion(const QString& csvFile) const {
  for (const StoredConversion& entry : ReadConversions(*settings_))
    if (entry.csvFile == csvFile) return entry.pair;
  return std::nullopt;
}

void SettingsStore::SetLastConversion(const QString& csvFile, const ConversionPair& pair) {
  std::vector<StoredConversion> stored = ReadConversions(*settings_);
  std::erase_if(stored, [&](const StoredConversion& entry) { return entry.csvFile == csvFile; });
  stored.insert(stored.begin(), {csvFile, pair});
  if (stored.size() > static_cast<std::size_t>(kConversionsKept)) stored.resize(kConversionsKept);
  settings_->remove(kConversions);
  settings_->beginWriteArray(kConversions, static_cast<int>(stored.size()));
  for (int i = 0; i < static_cast<int>(stored.size()); ++i) {
    const StoredConversion& entry = stored[static_cast<std::size_t>(i)];
    settings_->setArrayIndex(i);
    settings_->setValue("csv", entry.csvFile);
    settings_->setValue("template", entry.pair.templateName);
    settings_->setValue("output", entry.pair.outputName);
    settings_->setValue("outputModified", entry.pair.outputModified);
    settings_->setValue("outputSize", entry.pair.outputSize);
  }
  settings_->endArray();
  Write();
}

std::optional<QPoint> SettingsStore::MainWindowPosition() const {
  const QVariant value = settings_->value(kMainWindowPosition);
  if (value.typeId() != QMetaType::QPoint) return std::nullopt;
  return value.toPoint();
}

void SettingsStore::SetMainWindowPosition(const QPoint& position) {
  settings_->setValue(kMainWindowPosition, position);
  Write();
}

std::optional<QRect> SettingsStore::PreviewPlacement() const {
  const QRect placement = settings_->value(kPreviewPlacement).toRect();
  if (!placement.isValid()) return std::nullopt;
  return placement;
}

void SettingsStore::SetPreviewPlacement(const QRect& placement) {
  settings_->setValue(kPreviewPlacement, placement);
  Write();
}

void SettingsStore::Clear() {
  settings_->clear();
  Write();
}

QStringList WithRecentFile(QStringList files, const QString& file) {
  files.removeAll(file);
  files.prepend(file);
  return files.mid(0, kRecentFilesKept);
}

}  // namespace quillary
