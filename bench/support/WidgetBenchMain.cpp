// main() of the window benchmarks.

#include "support/WidgetBenchMain.h"

int main(int argc, char** argv) { return RunWidgetBenchmarks(argc, argv); }
