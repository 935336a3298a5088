// Draws the program icon as PNG files of the usual desktop sizes, for the
// installed icon theme:   quillary-render-icon SVG OUT_DIR SIZE...
// writes OUT_DIR/SIZExSIZE/apps/quillary.png for each size.

#include <cstdio>
#include <cstdlib>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

int main(int argc, char* argv[]) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: quillary-render-icon SVG OUT_DIR SIZE...\n");
    return 2;
  }
  // Runs during the build, where there may be no display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);

  QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
  if (!renderer.isValid()) {
    std::fprintf(stderr, "quillary-render-icon: cannot read %s\n", argv[1]);
    return 1;
  }
  const QString outDir = QString::fromLocal8Bit(argv[2]);
  for (int i = 3; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    if (size <= 0) {
      std::fprintf(stderr, "quillary-render-icon: bad size %s\n", argv[i]);
      return 2;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();

    const QString dir = QStringLiteral("%1/%2x%2/apps").arg(outDir).arg(size);
    const QString file = dir + QStringLiteral("/quillary.png");
    if (!QDir().mkpath(dir) || !image.save(file, "PNG")) {
      std::fprintf(stderr, "quillary-render-icon: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
