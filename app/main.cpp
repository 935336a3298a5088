// The desktop program: one main window over the Qt message boxes and file
// dialogs, with the program's commands wired to it.

#include <csignal>
#include <cstdio>
#include <memory>

#include "app/CommandLine.h"
#include "app/ProgramMemory.h"
#include "app/ProgramRecovery.h"
#include "app/StartUp.h"
#include "commondialog/ErrorGuard.h"
#include "commondialog/GuardedApplication.h"
#include "commondialog/MessageBox.h"
#include "commondialog/QtCommonDialogBackend.h"
#include "commondialog/QtTranslation.h"
#include "convert/preview/PreviewBrowserFile.h"
#include "convert/preview/web/WebPageView.h"
#include "mainwindow/Fonts.h"
#include "mainwindow/Main.h"
#include "mainwindow/SettingsStore.h"
#include "platform/FileIO.h"
#include "quillary/Version.h"
#include "sheet/commands/CommandMessages.h"

int main(int argc, char* argv[]) {
  if (const auto answer = quillary::CommandLineAnswer(argc, argv)) {
    std::fputs(answer->c_str(), stdout);
    return 0;
  }
  // A file size limit is reported as a failed Save, not a killed program; an
  // interrupted Save leaves no temporary file, nor the preview's folder.
  std::signal(SIGXFSZ, SIG_IGN);
  quillary::RemoveTemporaryFilesOnSignals();
  // What a killed run left for the browser.
  quillary::PreviewBrowserFile::SweepEndedRuns();
  // The boxes outlive the application, whose last guard shows its message in one.
  quillary::QtMessageBox messageBox;
  // The preview's web engine, should it start, shares the window's drawing.
  quillary::PrepareWebEngineApplication();
  quillary::GuardedApplication application(argc, argv);
  application.SetMessageBox(&messageBox);
  QApplication::setApplicationName(QStringLiteral("Quillary"));
  QApplication::setApplicationVersion(QString::fromLatin1(quillary::kVersionNumber));
  quillary::UseJapaneseApplicationFont(application);
  // Qt's standard buttons, dialogs and context menus speak the desktop's
  // language; a locale Qt has no texts for keeps them in English.
  quillary::InstallQtTranslation(application);

  quillary::QtCommonDialogBackend dialogBackend;
  // What is remembered between runs; the file is the user's to delete.
  const std::unique_ptr<quillary::SettingsStore> settings = quillary::SettingsStore::ForUser();
  quillary::Main window({messageBox, dialogBackend}, settings.get());
  quillary::ProgramMemory memory(window, *settings);
  memory.RestorePlaces();
  QObject::connect(&application, &QCoreApplication::aboutToQuit, &memory, [&memory] { memory.KeepPlaces(); });
  // A box or dialog shown while no window is active (right after a file
  // dialog closed) still belongs to, and is centred over, the main window.
  messageBox.SetFallbackOwner(&window);
  dialogBackend.SetFallbackOwner(&window);
  window.show();
  // Once the window is on the screen: unsaved edits of a run that ended
  // without saving are offered back first; the first file named on the
  // command line then opens as Open would open it (asking, as Open does,
  // about a sheet just restored), and the others are named as not opened.
  quillary::ProgramRecovery recovery(window);
  QStringList files = quillary::NamedFiles(QApplication::arguments());
  quillary::RunWhenShown(window, [&] {
    recovery.OfferLeftovers();
    if (files.isEmpty()) return;
    const QString first = files.takeFirst();
    quillary::RunGuarded(messageBox, [&] {
      window.OpenNamed(first);
      quillary::ShowOthersNotOpened(messageBox, files);
    });
  });
  return application.exec();
}
