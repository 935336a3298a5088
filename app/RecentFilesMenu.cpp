#include "app/RecentFilesMenu.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include "commondialog/ErrorGuard.h"
#include "mainwindow/SettingsStore.h"
#include "sheet/commands/CommandMessages.h"
#include "sheet/document/SheetDocument.h"

namespace quillary {

RecentFilesMenu::RecentFilesMenu(QMenu& fileMenu, QAction* before, SettingsStore& store, const SheetDocument& document,
                                 MessageBox& messageBox, std::function<void(const QString&)> open)
    : QObject(&fileMenu), store_(store), document_(document), messageBox_(messageBox), open_(std::move(open)) {
  menu_ = new QMenu(QStringLiteral("最近使ったファイル(&R)"), &fileMenu);
  menu_->setObjectName(QStringLiteral("RecentFiles"));
  fileMenu.insertMenu(before, menu_);
  connect(menu_, &QMenu::aboutToShow, this, [this] { Rebuild(); });
  connect(&document, &SheetDocument::StateChanged, this, [this] { NoteFile(); });
  Rebuild();
}

void RecentFilesMenu::Rebuild() {
  menu_->clear();
  const QStringList files = store_.RecentFiles();
  for (int i = 0; i < files.size(); ++i) {
    const QFileInfo file(files[i]);
    // "&1 商品.csv  (/home/user/docs)": the name first, the folder to tell
    // files of one name apart. "&&" shows an ampersand of the name.
    const QString caption = QStringLiteral("&%1 %2　（%3）")
                                .arg(QString::number((i + 1) % 10), file.fileName().replace(u'&', QStringLiteral("&&")),
                                     QDir::toNativeSeparators(file.absolutePath()).replace(u'&', QStringLiteral("&&")));
    QAction* item = menu_->addAction(caption);
    item->setToolTip(files[i]);
    ConnectGuarded(messageBox_, item, &QAction::triggered, this, [this, i] { OpenRecent_Click(i); });
  }
  if (files.isEmpty()) menu_->addAction(QStringLiteral("（なし）"))->setEnabled(false);
  menu_->addSeparator();
  QAction* clear = menu_->addAction(QStringLiteral("一覧を消去(&C)"));
  clear->setObjectName(QStringLiteral("ClearRecentFiles"));
  clear->setEnabled(!files.isEmpty());
  ConnectGuarded(messageBox_, clear, &QAction::triggered, this, [this] { Clear_Click(); });
}

void RecentFilesMenu::OpenRecent_Click(int index) {
  QStringList files = store_.RecentFiles();
  if (index < 0 || index >= files.size()) return;
  const QString file = files[index];
  if (!QFileInfo(file).isFile()) {
    files.removeAt(index);
    store_.SetRecentFiles(files);
    ShowWarning(messageBox_,
                QStringLiteral("ファイルが見つかりません。最近使ったファイルの一覧から外しました。\n") + file);
    return;
  }
  open_(file);
}

void RecentFilesMenu::Clear_Click() { store_.SetRecentFiles({}); }

void RecentFilesMenu::NoteFile() {
  const QString& file = document_.fileName();
  if (file.isEmpty() || file == lastNoted_) return;
  lastNoted_ = file;
  store_.SetRecentFiles(WithRecentFile(store_.RecentFiles(), QFileInfo(file).absoluteFilePath()));
}

}  // namespace quillary
