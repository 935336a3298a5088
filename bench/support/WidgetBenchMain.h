#pragma once
// What main() of a window benchmark does: a QApplication with the program's
// font, offscreen unless QT_QPA_PLATFORM says otherwise (under xvfb-run with
// "xcb" they measure a real X window), then Google Benchmark.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>

#include <QApplication>

#include "convert/preview/web/WebPageView.h"
#include "mainwindow/Fonts.h"

// The offscreen platform says once per window that it cannot pass size
// hints on; that is no news here and would bury the figures.
inline void QuietAboutSizeHints(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.contains(QStringLiteral("propagateSizeHints"))) return;
  std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

// atEnd: what must go before the application does (windows kept between
// benchmarks).
inline int RunWidgetBenchmarks(int argc, char** argv, const std::function<void()>& atEnd = {}) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(QuietAboutSizeHints);
  // As the program does, for the benchmarks that start the web engine.
  quillary::PrepareWebEngineApplication();
  QApplication app(argc, argv);
  quillary::UseJapaneseApplicationFont(app);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (atEnd) atEnd();
  return 0;
}
