// The common dialog wrapper over a scripted backend (what the file dialogs
// hand over, take back and how they report a cancel; no command of the
// program shows the font, colour, printer or help dialogs), and the Qt side
// of the dialogs checked on dialogs that are built but never shown.

#include <chrono>
#include <functional>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "commondialog/C_CommonDialog.h"
#include "commondialog/DialogOwner.h"
#include "commondialog/LongWork.h"
#include "commondialog/MessageBox.h"
#include "commondialog/QtCommonDialogBackend.h"
#include "commondialog/QtFileDialog.h"
#include "fakes/FakeCommonDialogBackend.h"
#include "support/TempDir.h"

using namespace quillary;
using namespace Qt::StringLiterals;
using quillary::testing::FakeCommonDialogBackend;

namespace {

std::vector<int> Ints(std::initializer_list<int> values) { return values; }

// What a file dialog was asked; a file buffer of blanks and a NUL shows as its capacity.
QStringList Asked(const FileDialogRequest& r) {
  const bool blank = r.fileBuffer == QString(r.capacity - 1, u' ') + QChar(u'\0');
  return {r.mode == FileDialogMode::Open ? "open" : "save",
          QString(r.filter).replace(QChar(u'\0'), u'0'),
          QString::number(r.owner),
          QString::number(r.filterIndex),
          blank ? QString::number(r.capacity) : r.fileBuffer,
          r.initialDir,
          r.title,
          QString::number(r.flags),
          r.defaultExt};
}

// The error of that type the call raised, if any.
template <typename Error, typename Call>
std::optional<Error> Raised(Call call) {
  try {
    call();
  } catch (const Error& error) {
    return error;
  }
  return std::nullopt;
}

std::int32_t CancelNumber(std::function<void()> call) {
  const auto error = Raised<CommonDialogCancelError>(call);
  return error ? error->number() : 0;
}

QStringList Listed(const QFileDialog& dialog, const char* name) {
  QStringList texts;
  if (const auto* combo = dialog.findChild<QComboBox*>(name))
    for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
  if (const auto* view = dialog.findChild<QListView*>(name)) {
    for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
      texts << view->model()->index(row, 0, view->rootIndex()).data().toString();
    texts.sort();  // whatever order the folder lists them in
  }
  return texts;
}

}  // namespace

class CommonDialogTest : public QObject {
  Q_OBJECT

 private slots:
  // Work on a thread of its own: what it gives or throws comes back; the
  // window's events go on meanwhile, but its input and closing are held;
  // after half a second the dialog's cancel button stops the work.
  void longWorkKeepsTheWindowDrawnAndStopsWhenAsked() {
    using namespace std::chrono_literals;
    QCOMPARE(LongWork(u"x"_s).Run([](WorkProgress&) { return 42; }), 42);
    QVERIFY(
        Raised<std::runtime_error>([] { LongWork(u"x"_s).Run([](WorkProgress&) { throw std::runtime_error("x"); }); }));
    QVERIFY(!QApplication::overrideCursor());

    QWidget window;
    auto* edit = new QLineEdit(&window);
    window.show();
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(10);
    bool closed = true;
    QTimer::singleShot(50, [&] {
      QTest::keyClicks(edit, u"abc"_s);
      closed = window.close();
    });
    LongWork(u"x"_s).Run([](WorkProgress&) { std::this_thread::sleep_for(300ms); });
    QVERIFY2(ticks >= 5, "the window's events waited for the work");
    QCOMPARE(edit->text(), QString());
    QVERIFY(!closed);
    QVERIFY(window.isVisible());

    bool dialogShown = false;
    QTimer::singleShot(800, [&] {
      for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QProgressDialog*>(widget); dialog && dialog->isVisible()) {
          dialogShown = true;
          QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
        }
    });
    const auto endless = [](WorkProgress& progress) {
      for (int i = 0; i < 2000; ++i) {
        progress.Report(static_cast<std::uint64_t>(i), 2000);
        std::this_thread::sleep_for(5ms);
      }
    };
    QVERIFY(Raised<WorkCancelled>([&] { LongWork(u"x"_s).Run(endless); }));
    QVERIFY(dialogShown);
    QVERIFY(!QApplication::overrideCursor());
  }

  void fileDialogsCarryThePropertiesAndStartEmpty() {
    FakeCommonDialogBackend backend;
    backend.AcceptPath(QStringLiteral("/data/first.csv")).AcceptPath(QStringLiteral("/x/second.txt"));
    C_CommonDialog dialog(backend);
    dialog.SetFilter(QStringLiteral("a|b|c|d"));
    dialog.SetHwndOwner(77);
    dialog.SetFilterIndex(2);
    dialog.SetInitDir(QStringLiteral("/data"));
    dialog.SetDialogTitle(QStringLiteral("T"));
    dialog.SetFlags(0x1002);
    dialog.SetDefaultExt(QStringLiteral("csv"));
    dialog.SetMaxFileSize(1000);
    dialog.ShowSave();
    QCOMPARE((QStringList{dialog.FileName(), dialog.FileTitle(), QString::number(dialog.APIReturn())}),
             QStringList({"/data/first.csv", "first.csv", "1"}));
    dialog.SetFilter(QString());
    for (std::int32_t size : {0, -5}) {  // the second answer, then a cancel
      dialog.SetMaxFileSize(size);
      dialog.ShowOpen();
    }
    // Cancelled without CancelError: a normal return, the last choice kept.
    QCOMPARE(Ints({dialog.APIReturn(), dialog.ExtendedError(), backend.extendedErrorQueries, dialog.Action()}),
             Ints({0, 0, 0, 0}));  // the file dialogs leave Action alone
    QCOMPARE((QStringList{dialog.FileName(), dialog.FileTitle()}), QStringList({"/x/second.txt", "second.txt"}));
    // Each dialog starts without a name, whatever FileName holds.
    const auto& asked = backend.fileRequests;
    QCOMPARE(Asked(asked[0]), QStringList({"save", "a0b0c0d00", "77", "2", "1000", "/data", "T", "4098", "csv"}));
    for (std::size_t i : {1u, 2u})
      QCOMPARE(Asked(asked[i]), QStringList({"open", "", "77", "2", "255", "/data", "T", "4098", "csv"}));
  }

  void cancelsFailuresAndNamesTooLong() {
    for (bool cancelError : {false, true}) {
      FakeCommonDialogBackend backend;
      const QString fits = QStringLiteral("/") + QString(8, u'a');  // 9 characters and the NUL
      backend.AcceptPath(fits).AcceptPath(fits + u'b').Cancel();
      C_CommonDialog dialog(backend);
      dialog.SetCancelError(cancelError);
      dialog.SetMaxFileSize(10);
      dialog.ShowOpen();
      const auto tooLong = Raised<FileNameTooLongError>([&] { dialog.ShowOpen(); });
      QVERIFY(tooLong && tooLong->path() == fits + u'b' && tooLong->capacity() == 10);
      QVERIFY(dialog.APIReturn() == 0 && dialog.ExtendedError() == 0x3003);
      QCOMPARE(CancelNumber([&] { dialog.ShowSave(); }), cancelError ? 2001 : 0);
      QVERIFY(dialog.APIReturn() == 0 && dialog.ExtendedError() == 0 && backend.extendedErrorQueries == 0);
      QVERIFY(dialog.FileName() == fits && dialog.FileTitle() == QString(8, u'a'));
    }
    // Another result asks for the extended error; failures end quietly.
    FakeCommonDialogBackend backend;
    backend.fileAnswers.push_back({7, QStringLiteral("/ignored"), QString()});
    backend.extendedError = 0x3002;
    C_CommonDialog dialog(backend);
    dialog.SetCancelError(true);
    dialog.ShowOpen();
    QVERIFY(dialog.APIReturn() == 7 && dialog.ExtendedError() == 0x3002 && dialog.FileName().isEmpty());
    backend.failNextCall = true;
    dialog.ShowOpen();
    QVERIFY(dialog.APIReturn() == 0 && dialog.ExtendedError() == 0);
    QCOMPARE(CancelNumber([&] { dialog.ShowOpen(); }), 2001);
  }

  void qtFileDialogShowsTypesAsWrittenAndFiltersByPattern() {
    qputenv("QUILLARY_WIDGET_FILE_DIALOG", "1");  // its controls are read below
    quillary::testing::TempDir dir;
    for (const char* name : {"a.csv", "b.txt", "noext"}) dir.Write(name, "x");
    FileDialogRequest request;
    request.filter = QStringLiteral("カンマ区切り(CSV)ファイル (*.csv)\0*.csv\0すべてのファイル(*.*)\0*.*\0\0");
    request.initialDir = QString::fromStdString(dir.path().string());
    auto dialog = BuildFileDialog(request, nullptr);
    QCOMPARE(Listed(*dialog, "fileTypeCombo"),
             QStringList({"カンマ区切り(CSV)ファイル (*.csv)", "すべてのファイル(*.*)"}));
    QTRY_COMPARE(Listed(*dialog, "listView"), QStringList{"a.csv"});
    request.filterIndex = 2;
    dialog = BuildFileDialog(request, nullptr);
    QTRY_COMPARE(Listed(*dialog, "listView"), QStringList({"a.csv", "b.txt", "noext"}));

    request = {};
    request.mode = FileDialogMode::Save;
    request.defaultExt = QStringLiteral("csv");
    auto save = BuildFileDialog(request, nullptr);
    QVERIFY(save->acceptMode() == QFileDialog::AcceptSave && save->testOption(QFileDialog::DontConfirmOverwrite));
    QVERIFY(save->defaultSuffix() == QStringLiteral("csv") && !save->windowTitle().isEmpty());
    request.mode = FileDialogMode::Open;
    request.title = QStringLiteral("テンプレート");
    auto open = BuildFileDialog(request, nullptr);
    QVERIFY(open->acceptMode() == QFileDialog::AcceptOpen && open->fileMode() == QFileDialog::AnyFile);
    QCOMPARE(open->windowTitle(), QStringLiteral("テンプレート"));
    QWidget window;  // owners are found by their window handle
    QCOMPARE(QtCommonDialogBackend::OwnerWidget(static_cast<qint32>(window.winId())), &window);
    QCOMPARE(QtCommonDialogBackend::OwnerWidget(0), nullptr);
  }

  void dialogsBelongToTheWindowInUse_data() {
    QTest::addColumn<QString>("scene");
    QTest::addColumn<QString>("owner");
    QTest::newRow("no window active: the main window") << u"none active"_s << u"main"_s;
    QTest::newRow("a file dialog just closed: the main window") << u"file dialog closed"_s << u"main"_s;
    QTest::newRow("a modal dialog open: that dialog") << u"modal open"_s << u"dialog"_s;
    QTest::newRow("no main window given, none active: no owner") << u"no fallback"_s << u"none"_s;
  }

  void dialogsBelongToTheWindowInUse() {
    QFETCH(QString, scene);
    QFETCH(QString, owner);
    QWidget main;
    main.setGeometry(40, 60, 500, 300);
    QDialog modal(&main);
    QtMessageBox messageBox;
    QtCommonDialogBackend backend;
    if (scene != u"no fallback"_s) {
      messageBox.SetFallbackOwner(&main);
      backend.SetFallbackOwner(&main);
    }
    if (scene == u"file dialog closed"_s) {
      main.show();
      const auto fileDialog = BuildFileDialog(FileDialogRequest{}, &main);
      fileDialog->show();
      QVERIFY(QTest::qWaitForWindowExposed(fileDialog.get()));
      fileDialog->hide();
    }
    if (scene == u"modal open"_s) {
      modal.setModal(true);
      modal.show();
      QVERIFY(QTest::qWaitForWindowExposed(&modal));
      QApplication::setActiveWindow(&main);  // the modal dialog wins over the active window
    }
    QWidget* expected = owner == u"main"_s ? &main : owner == u"dialog"_s ? static_cast<QWidget*>(&modal) : nullptr;
    QCOMPARE(messageBox.Owner(), expected);
    QCOMPARE(backend.DialogParent(0), expected);
    QWidget named;  // a dialog asked for with an owner gets that one
    QCOMPARE(backend.DialogParent(static_cast<qint32>(named.winId())), &named);
  }

  void messageBoxButtonsIconsAndEscape() {
    QMessageBox box;
    QtMessageBox::Prepare(box, QStringLiteral("一行目\r\n<b>二行目</b>"), MsgButtons::YesNoCancel, MsgIcon::Information,
                          QStringLiteral("確認"));
    QVERIFY(box.windowTitle() == QStringLiteral("確認") && box.icon() == QMessageBox::Information);
    QVERIFY(box.text() == QStringLiteral("一行目\n<b>二行目</b>") && box.textFormat() == Qt::PlainText);
    QCOMPARE(box.buttons().size(), 3);
    QCOMPARE(box.defaultButton()->text(), QStringLiteral("はい(&Y)"));
    QCOMPARE(box.escapeButton()->text(), QStringLiteral("キャンセル"));
    QCOMPARE(QtMessageBox::ResultOf(box, MsgButtons::YesNoCancel), MsgResult::Cancel);
    for (QAbstractButton* button : box.buttons())
      if (button->text() == QStringLiteral("いいえ(&N)")) button->click();
    QCOMPARE(QtMessageBox::ResultOf(box, MsgButtons::YesNoCancel), MsgResult::No);
    QMessageBox question, caution;
    QtMessageBox::Prepare(question, QString(), MsgButtons::YesNo, MsgIcon::Error, kProgramTitle);
    QVERIFY(question.icon() == QMessageBox::Critical &&
            question.escapeButton()->text() == QStringLiteral("いいえ(&N)"));
    QtMessageBox::Prepare(caution, QString(), MsgButtons::Ok, MsgIcon::Exclamation, QString());
    QVERIFY(caution.icon() == QMessageBox::Warning && caution.defaultButton()->text() == QStringLiteral("OK"));
  }
};

QTEST_MAIN(CommonDialogTest)
#include "CommonDialogTest.moc"
