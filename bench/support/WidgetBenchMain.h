#pragma once
// What main() of a window benchmark does: a QApplication, offscreen unless
// QT_QPA_PLATFORM says otherwise (under xvfb-run with "xcb" they measure a
// real X window), then Google Benchmark.

#include <benchmark/benchmark.h>

#include <QApplication>

#include "convert/preview/web/WebPageView.h"

inline int RunWidgetBenchmarks(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // As the program does, for the benchmarks that start the web engine.
  quillary::PrepareWebEngineApplication();
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
