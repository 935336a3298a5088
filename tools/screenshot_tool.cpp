// Photographs the program's windows as a user sees them, for the README and
// for looking at the program on a machine without a desktop (run it under
// xvfb-run). Each shot builds its window over the main window with a sample
// sheet opened, lets it paint and saves it as NAME.png (the preview shot
// both windows side by side).
//
//   quillary-screenshots --out DIR [--sample CSV] [NAME ...]   (no NAME: all)
//   quillary-screenshots --list
//
// A new window is one more entry in Shots(). No shot may block: the message
// boxes answer by themselves and the file dialog answers the sample's name.

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QStringList>
#include <QThread>

#include "commondialog/CommonDialogBackend.h"
#include "commondialog/MessageBox.h"
#include "convert/SheetArrayCells.h"
#include "convert/dialog/Conv.h"
#include "convert/dialog/PagesDialog.h"
#include "convert/preview/PreviewPane.h"
#include "convert/preview/PreviewRefresh.h"
#include "dialogs/FieldEditor.h"
#include "dialogs/ResizeOption.h"
#include "mainwindow/CellContentsBox.h"
#include "mainwindow/CellEditor.h"
#include "mainwindow/Fonts.h"
#include "mainwindow/Main.h"
#include "mainwindow/VersionForm.h"
#include "sheet/document/SheetDocument.h"
#include "sheet/grid/GridControl.h"

namespace {

using namespace quillary;

// Answers every question with its last button (No, Cancel or OK) and says on
// stderr what it was asked, so an unexpected box shows up in the log.
class LoggingMessageBox final : public MessageBox {
 public:
  MsgResult Show(const QString& prompt, MsgButtons buttons, MsgIcon, const QString& title) override {
    std::fprintf(stderr, "message box \"%s\": %s\n", qPrintable(title), qPrintable(prompt));
    switch (buttons) {
      case MsgButtons::Ok: return MsgResult::Ok;
      case MsgButtons::YesNo: return MsgResult::No;
      case MsgButtons::YesNoCancel: return MsgResult::Cancel;
    }
    return MsgResult::Ok;
  }
};

// Every file dialog chooses the same file; the other dialogs are cancelled.
class FixedFileBackend final : public CommonDialogBackend {
 public:
  explicit FixedFileBackend(QString path) : path_(std::move(path)) {}

  FileDialogResult ShowFileDialog(const FileDialogRequest&) override {
    if (path_.isEmpty()) return {};
    return {1, path_ + QChar(u'\0'), QFileInfo(path_).fileName() + QChar(u'\0')};
  }
  ColorResult ChooseColor(const ColorRequest&) override { return {}; }
  FontResult ChooseFont(const FontRequest&) override { return {}; }
  PrinterResult PrintDialog(const PrinterRequest&) override { return {}; }
  std::int32_t ShowHelp(const HelpRequest&) override { return 0; }
  std::int32_t ExtendedError() override { return 0; }

 private:
  QString path_;
};

// The main window with the sample opened and a cell of Japanese text current.
class Scene {
 public:
  explicit Scene(const QString& samplePath)
      : samplePath_(samplePath), backend_(samplePath), window_({messageBox_, backend_}) {
    window_.show();
    // Focus events need an active window, also where no window manager runs.
    window_.activateWindow();
    QApplication::setActiveWindow(&window_);
    Settle();
    if (!samplePath.isEmpty()) window_.Action("Open").trigger();
    window_.sheetGrid().SetRow(std::min(2, window_.sheetGrid().Rows() - 1));
    window_.sheetGrid().SetCol(std::min(2, window_.sheetGrid().Cols() - 1));
    Settle();
  }

  Main& window() { return window_; }
  const QString& samplePath() const { return samplePath_; }
  MessageBox& messageBox() { return messageBox_; }
  CommonDialogBackend& backend() { return backend_; }

  // Lets every pending paint and layout run.
  static void Settle() {
    for (int i = 0; i < 5; ++i) {
      QApplication::processEvents();
      QThread::msleep(20);
    }
  }

 private:
  QString samplePath_;
  LoggingMessageBox messageBox_;
  FixedFileBackend backend_;
  Main window_;
};

struct Shot {
  QString name;
  // Returns the widget to photograph; a dialog is shown without its modal loop.
  std::function<std::unique_ptr<QWidget>(Scene&)> open;
};

template <typename Dialog>
std::unique_ptr<QWidget> Shown(std::unique_ptr<Dialog> dialog) {
  dialog->show();
  dialog->raise();
  return dialog;
}

// Two windows in one picture, left to right, as they stand on the screen.
std::unique_ptr<QWidget> SideBySide(QWidget& left, QWidget& right) {
  const QPixmap first = left.grab(), second = right.grab();
  constexpr int kGap = 8;
  QPixmap both(first.width() + kGap + second.width(), std::max(first.height(), second.height()));
  both.fill(QColor(0x60, 0x60, 0x60));
  QPainter painter(&both);
  painter.drawPixmap(0, 0, first);
  painter.drawPixmap(first.width() + kGap, 0, second);
  painter.end();
  auto picture = std::make_unique<QLabel>();
  picture->setPixmap(both);
  picture->resize(both.size());
  return picture;
}

std::vector<Shot> Shots() {
  return {
      {QStringLiteral("main-window"), [](Scene&) { return std::unique_ptr<QWidget>(); }},
      {QStringLiteral("main-window-editing"),
       [](Scene& scene) {
         // A cell edit under way in the cell-contents box, line break included.
         auto* box = scene.window().findChild<CellContentsBox*>(QStringLiteral("Text1"));
         box->setFocus();
         box->moveCursor(QTextCursor::End);
         box->insertPlainText(QStringLiteral("\n（編集中）"));
         return std::unique_ptr<QWidget>();
       }},
      {QStringLiteral("about-box"), [](Scene& scene) { return Shown(std::make_unique<VersionForm>(&scene.window())); }},
      {QStringLiteral("convert-dialog"),
       [](Scene& scene) {
         auto conv = std::make_unique<Conv>(scene.backend(), scene.messageBox(), &scene.window());
         conv->PrepareToOpen();
         return Shown(std::move(conv));
       }},
      {QStringLiteral("resize-dialog"),
       [](Scene& scene) {
         return Shown(std::make_unique<ResizeOption>(scene.window().sheetGrid(), scene.messageBox(), &scene.window()));
       }},
      {QStringLiteral("field-editor"),
       [](Scene& scene) {
         return Shown(std::make_unique<FieldEditor>(scene.window().sheetGrid(), scene.messageBox(), &scene.window()));
       }},
      {QStringLiteral("preview"),
       [](Scene& scene) {
         // The preview over the example template beside the window, after
         // an edit of the second record's price.
         Main& window = scene.window();
         auto* pane = window.findChild<PreviewPane*>(QStringLiteral("PreviewPane"));
         window.resize(window.width(), 600);
         pane->SetTemplateName(QFileInfo(scene.samplePath()).dir().filePath(QStringLiteral("template.html")));
         window.Action("Preview").trigger();
         window.sheetGrid().SetTextMatrix(2, 2, QStringLiteral("150"));
         window.cellEditor().ShowCurrentCell();
         pane->refresh().RefreshNow();
         Scene::Settle();
         return SideBySide(window, *pane);
       }},
      {QStringLiteral("pages"),
       [](Scene& scene) {
         // レコードごとに変換 over the example product page, its plan shown.
         Main& window = scene.window();
         // A shop's folder as a user keeps it, the example template in it.
         const QDir shop(QDir::temp().filePath(QStringLiteral("shop")));
         const QString folder = shop.filePath(QStringLiteral("site"));
         QDir().mkpath(folder);
         const QString templ = shop.filePath(QStringLiteral("product.html"));
         QFile::remove(templ);
         QFile::copy(QFileInfo(scene.samplePath()).dir().filePath(QStringLiteral("product.html")), templ);
         auto dialog = std::make_unique<PagesDialog>(scene.backend(), scene.messageBox(), &window);
         auto cells = std::make_shared<SheetArrayCells>(window.document().sheetArray());
         QObject::connect(dialog.get(), &QObject::destroyed, [cells] {});
         dialog->TemplateBox->setText(templ);
         dialog->FolderBox->setText(folder);
         dialog->PatternBox->setText(QStringLiteral("item-<!-- 商品名 -->.html"));
         dialog->PrepareToOpen(*cells, window.sheetGrid().Cols() - 1);
         return Shown(std::move(dialog));
       }},
      {QStringLiteral("preview-record"),
       [](Scene& scene) {
         // The preview of the second record's page, beside the window.
         Main& window = scene.window();
         auto* pane = window.findChild<PreviewPane*>(QStringLiteral("PreviewPane"));
         window.resize(window.width(), 600);
         pane->SetTemplateName(QFileInfo(scene.samplePath()).dir().filePath(QStringLiteral("product.html")));
         window.Action("Preview").trigger();
         pane->ShowRecordPage(true);
         window.sheetGrid().SetRow(2);
         pane->refresh().RefreshNow();
         Scene::Settle();
         return SideBySide(window, *pane);
       }},
  };
}

bool Take(const Shot& shot, const QString& samplePath, const QDir& out) {
  Scene scene(samplePath);
  std::unique_ptr<QWidget> dialog = shot.open(scene);
  Scene::Settle();
  QWidget& subject = dialog ? *dialog : static_cast<QWidget&>(scene.window());
  const QString file = out.filePath(shot.name + QStringLiteral(".png"));
  if (!subject.grab().save(file)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    return false;
  }
  std::printf("%s\n", qPrintable(file));
  return true;
}

int Usage() {
  std::fprintf(stderr,
               "usage: quillary-screenshots --out DIR [--sample CSV] [NAME ...]\n"
               "       quillary-screenshots --list\n");
  return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  UseJapaneseApplicationFont(application);

  QStringList args = QApplication::arguments().mid(1);
  QString outDir;
  QString samplePath;
  QStringList names;
  for (qsizetype i = 0; i < args.size(); ++i) {
    if (args[i] == u"--list") {
      for (const Shot& shot : Shots()) std::printf("%s\n", qPrintable(shot.name));
      return 0;
    }
    if (args[i] == u"--out" && i + 1 < args.size()) {
      outDir = args[++i];
    } else if (args[i] == u"--sample" && i + 1 < args.size()) {
      samplePath = QFileInfo(args[++i]).absoluteFilePath();
    } else if (args[i].startsWith(u"--")) {
      return Usage();
    } else {
      names << args[i];
    }
  }
  if (outDir.isEmpty()) return Usage();
  QDir out(outDir);
  if (!out.mkpath(QStringLiteral("."))) {
    std::fprintf(stderr, "cannot create %s\n", qPrintable(outDir));
    return 1;
  }

  int failures = 0;
  int taken = 0;
  for (const Shot& shot : Shots()) {
    if (!names.isEmpty() && !names.contains(shot.name)) continue;
    ++taken;
    if (!Take(shot, samplePath, out)) ++failures;
  }
  if (taken < std::max<qsizetype>(1, names.size())) {
    std::fprintf(stderr, "unknown shot name (see --list)\n");
    return 2;
  }
  return failures == 0 ? 0 : 1;
}
