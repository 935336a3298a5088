// Runs every dialog test class in one program; fails when any of them does.

#include <QApplication>

int RunResizeOptionTests(int argc, char** argv);
int RunFieldEditorTests(int argc, char** argv);

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  int failures = 0;
  failures += RunResizeOptionTests(argc, argv);
  failures += RunFieldEditorTests(argc, argv);
  return failures == 0 ? 0 : 1;
}
