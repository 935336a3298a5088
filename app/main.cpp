// The desktop program: one main window over the Qt message boxes and file
// dialogs, with the program's commands wired to it.

#include <memory>

#include <QApplication>

#include "commondialog/QtCommonDialogBackend.h"
#include "mainwindow/Fonts.h"
#include "mainwindow/Main.h"
#include "mainwindow/MessageBox.h"
#include "mainwindow/ProgramCommands.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quillary"));
  QApplication::setApplicationVersion(QStringLiteral(QUILLARY_VERSION));
  quillary::UseJapaneseApplicationFont(application);

  quillary::QtMessageBox messageBox;
  quillary::QtCommonDialogBackend dialogBackend;
  quillary::Main window({messageBox, dialogBackend});
  window.SetCommands(std::make_unique<quillary::ProgramCommands>(window));
  window.show();
  return application.exec();
}
