#pragma once
// 最近使ったファイル in the File menu: the CSV files last opened or saved,
// the most recent first. One that has gone is taken off the list, with a
// note, when chosen; 一覧を消去 forgets them all.

#include <functional>

#include <QObject>
#include <QString>

class QAction;
class QMenu;

namespace quillary {

class MessageBox;
class SettingsStore;
class SheetDocument;

class RecentFilesMenu final : public QObject {
  Q_OBJECT

 public:
  // The submenu goes into fileMenu before `before`; open opens a file as
  // Open does (asking first about a changed sheet).
  RecentFilesMenu(QMenu& fileMenu, QAction* before, SettingsStore& store, const SheetDocument& document,
                  MessageBox& messageBox, std::function<void(const QString&)> open);

  QMenu* menu() const { return menu_; }
  // Opens the list's file at index (0: the most recent).
  void OpenRecent_Click(int index);
  void Clear_Click();

 private:
  void Rebuild();
  // The document's file once it is opened or saved under a new name.
  void NoteFile();

  SettingsStore& store_;
  const SheetDocument& document_;
  MessageBox& messageBox_;
  std::function<void(const QString&)> open_;
  QMenu* menu_;
  QString lastNoted_;
};

}  // namespace quillary
