#include "app/ProgramMemory.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

#include "app/RecentFilesMenu.h"
#include "convert/preview/PreviewPane.h"
#include "mainwindow/Main.h"
#include "mainwindow/SettingsStore.h"

namespace quillary {

namespace {

// Whether a window's title bar at this point would be on some screen, where
// the user can take hold of it.
bool OnAScreen(const QPoint& topLeft) {
  const QRect titleBar(topLeft, QSize(100, 20));
  for (const QScreen* screen : QGuiApplication::screens())
    if (screen->availableGeometry().intersects(titleBar)) return true;
  return false;
}

PreviewPane* PaneOf(Main& window) { return window.findChild<PreviewPane*>(QString(), Qt::FindDirectChildrenOnly); }

}  // namespace

ProgramMemory::ProgramMemory(Main& window, SettingsStore& store) : window_(window), store_(store) {
  auto* fileMenu = window.findChild<QMenu*>(QStringLiteral("File"));
  recentFiles_ =
      new RecentFilesMenu(*fileMenu, window.findChild<QAction*>(QStringLiteral("bar1")), store, window.document(),
                          window.services().messageBox, [&window](const QString& file) { window.OpenNamed(file); });
}

ProgramMemory::~ProgramMemory() = default;

void ProgramMemory::RestorePlaces() {
  if (const auto position = store_.MainWindowPosition(); position && OnAScreen(*position)) window_.move(*position);
  if (const auto placement = store_.PreviewPlacement(); placement && OnAScreen(placement->topLeft()))
    if (PreviewPane* pane = PaneOf(window_)) pane->SetPlacement(*placement);
}

void ProgramMemory::KeepPlaces() {
  store_.SetMainWindowPosition(window_.pos());
  if (PreviewPane* pane = PaneOf(window_))
    if (const auto placement = pane->Placement()) store_.SetPreviewPlacement(*placement);
}

}  // namespace quillary
