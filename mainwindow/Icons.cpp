#include "mainwindow/Icons.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// The pictures live in a static library, whose resources are registered only
// when asked for.
static void RegisterMainWindowResources() {
  static const bool registered = [] {
    Q_INIT_RESOURCE(mainwindow);
    return true;
  }();
  (void)registered;
}

namespace quillary {

namespace {

// Rendered here rather than through an icon plug-in, so the pictures show
// wherever the program's own libraries are installed.
QIcon RenderSvg(const QString& path, std::initializer_list<int> sizes) {
  RegisterMainWindowResources();
  QSvgRenderer renderer(path);
  if (!renderer.isValid()) return QIcon();
  QIcon icon;
  for (const int size : sizes) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace

QIcon ToolbarIcon(const QString& key) {
  static const QStringList keys{QStringLiteral("New"),    QStringLiteral("Open"),   QStringLiteral("Save"),
                                QStringLiteral("Copy"),   QStringLiteral("Cut"),    QStringLiteral("Paste"),
                                QStringLiteral("Resize"), QStringLiteral("Convert")};
  if (!keys.contains(key)) return QIcon();
  return RenderSvg(QStringLiteral(":/mainwindow/") + key.toLower() + QStringLiteral(".svg"), {16, 20, 24, 32, 40});
}

QIcon ProgramIcon() { return RenderSvg(QStringLiteral(":/mainwindow/quillary.svg"), {16, 24, 32, 48, 64, 128, 256}); }

}  // namespace quillary
