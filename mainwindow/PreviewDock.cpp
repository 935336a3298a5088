// The live preview's place in the main window: the 表示 menu between シートの
// 編集 and 変換 with its プレビュー item, and the pane. The pane is a window
// of its own beside this one, not a docked part of it: the grid and the cell
// box are laid out from the window's outer size, so a dock would cover them.

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "convert/preview/PreviewPane.h"
#include "convert/preview/PreviewRefresh.h"
#include "mainwindow/Main.h"
#include "mainwindow/WindowCommands.h"
#include "sheet/grid/GridControl.h"

namespace quillary {

void Main::CreatePreview() {
  const WindowCommands* commands = commands_.get();
  preview_ = new PreviewPane(
      *document_, services_, [commands] { return commands->convert().LastTemplate(); }, [this] { return fg2->Row(); },
      this);
  connect(fg2, &GridControl::RowColChange, preview_, &PreviewPane::CurrentRowChanged);

  auto* view = new QMenu(QStringLiteral("表示(&V)"), this);
  view->setObjectName(QStringLiteral("View"));
  menuBar()->insertMenu(findChild<QAction*>(QStringLiteral("Convert")), view);
  QAction* item = view->addAction(QStringLiteral("プレビュー(&P)"));
  item->setObjectName(QStringLiteral("Preview"));
  item->setCheckable(true);
  // Ctrl+P is Paste and Ctrl+R Convert.
  item->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
  ConnectGuarded(item, &QAction::triggered, [this] { Preview_Click(); });
  // The key puts the pane away from the pane too.
  preview_->addAction(item);
  connect(preview_, &PreviewPane::ShownChanged, item, &QAction::setChecked);
  // A plain-ASCII template's output takes the encoding chosen for the next Save.
  for (QAction* encoding : encodingItems_->actions())
    connect(encoding, &QAction::triggered, &preview_->refresh(), &PreviewRefresh::Changed);
}

void Main::Preview_Click() {
  if (preview_->isVisible())
    preview_->hide();
  else
    preview_->ShowBeside();
}

}  // namespace quillary
