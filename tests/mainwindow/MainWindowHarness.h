#pragma once
// A main window over fakes for the window's tests: its commands only record
// that they were started, pop-up menus and modal dialogs are recorded
// instead of shown, and nothing blocks.

#include <QtTest>

#include <QDialog>
#include <QMenu>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <memory>
#include <stdexcept>
#include <vector>

#include "fakes/FakeCommonDialogBackend.h"
#include "fakes/FakeMessageBox.h"
#include "mainwindow/Main.h"
#include "mainwindow/MainCommands.h"
#include "sheet/GridControl.h"

namespace quillary::testing {

// Writes one line per command started, e.g. "CopyRange 3 4 2 2".
class RecordingCommands : public MainCommands {
 public:
  explicit RecordingCommands(QStringList& log) : log_(log) {}

  void NewSheet() override { Record(QStringLiteral("NewSheet")); }
  void OpenSheet() override { Record(QStringLiteral("OpenSheet")); }
  void SaveSheet() override { Record(QStringLiteral("SaveSheet")); }
  void CopyRange(int c1, int r1, int c2, int r2) override { Record(Range("CopyRange", c1, r1, c2, r2)); }
  void CutRange(int c1, int r1, int c2, int r2) override { Record(Range("CutRange", c1, r1, c2, r2)); }
  void DeleteRange(int c1, int r1, int c2, int r2) override { Record(Range("DeleteRange", c1, r1, c2, r2)); }
  void PasteRange() override { Record(QStringLiteral("PasteRange")); }
  void ConvertSheet() override { Record(QStringLiteral("ConvertSheet")); }
  void ResizeSheet() override { Record(QStringLiteral("ResizeSheet")); }
  void EditFieldNames() override { Record(QStringLiteral("EditFieldNames")); }
  void CloseDialogs() override { Record(QStringLiteral("CloseDialogs")); }

  // The next command started throws this instead of recording.
  QString failWith;

 private:
  static QString Range(const char* name, int c1, int r1, int c2, int r2) {
    return QStringLiteral("%1 %2 %3 %4 %5").arg(QLatin1String(name)).arg(c1).arg(r1).arg(c2).arg(r2);
  }
  void Record(const QString& line) {
    if (!failWith.isEmpty()) {
      const std::string what = std::exchange(failWith, QString()).toStdString();
      throw std::runtime_error(what);
    }
    log_ << line;
  }

  QStringList& log_;
};

class TestMain : public Main {
 public:
  using Main::Main;

  struct Popup {
    QMenu* menu;
    QPoint at;
  };

  void ShowModalDialog(QDialog& dialog) override { dialogs << dialog.windowTitle(); }
  void ShowPopup(QMenu& menu, const QPoint& globalPosition) override { popups.push_back({&menu, globalPosition}); }

  QStringList dialogs;
  std::vector<Popup> popups;
};

struct MainWindowHarness {
  MainWindowHarness() {
    auto recording = std::make_unique<RecordingCommands>(log);
    commands = recording.get();
    window.SetCommands(std::move(recording));
  }

  // Shows the window and makes it the active one, so that focus changes
  // raise their events.
  bool ShowActive() {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return false;
    QApplication::setActiveWindow(&window);
    return QTest::qWaitForWindowActive(&window);
  }

  // The sheet's selection as the range operations receive it.
  QString SelectionArgs() const {
    return QStringLiteral("%1 %2 %3 %4")
        .arg(window.fg2->ColSel())
        .arg(window.fg2->RowSel())
        .arg(window.fg2->Col())
        .arg(window.fg2->Row());
  }

  FakeMessageBox messageBox;
  FakeCommonDialogBackend backend;
  QStringList log;
  TestMain window{Services{messageBox, backend}};
  RecordingCommands* commands = nullptr;
};

}  // namespace quillary::testing
