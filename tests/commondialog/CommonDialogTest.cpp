// The common dialog wrapper over a scripted backend (what each Show method
// hands over, takes back and how it reports a cancel), and the Qt side of the
// dialogs checked on dialogs that are built but never shown.

#include <functional>
#include <optional>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "commondialog/C_CommonDialog.h"
#include "commondialog/DialogOwner.h"
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
    dialog.SetFontSize(300'000'000);  // tenths do not fit: a quiet end before the dialog
    dialog.ShowFont();
    QVERIFY(backend.fontRequests.empty() && dialog.Action() == 4);
    QVERIFY(CancelNumber([&] { dialog.ShowOpen(); }) == 2001 && dialog.Action() == 4);  // file dialogs keep it
  }

  void colorOffersWhiteCustomColoursAndHelpHasNoCancel() {
    FakeCommonDialogBackend backend;
    backend.colorAnswers = {{1, 0x123456}, {0, 0}};
    C_CommonDialog dialog(backend);
    dialog.SetColor(0x0000FF);
    dialog.SetFlags(3);
    dialog.ShowColor();
    QVERIFY(dialog.Color() == 0x123456 && dialog.Action() == 3);
    dialog.SetCancelError(true);
    const auto cancelled = Raised<CommonDialogCancelError>([&] { dialog.ShowColor(); });
    QVERIFY(cancelled && cancelled->number() == -2147220610 && cancelled->description() == "Cancel Pressed");
    QCOMPARE(dialog.Color(), 0x123456);
    const auto& colors = backend.colorRequests;
    QCOMPARE(Ints({colors[0].color, colors[0].flags, colors[1].color}), Ints({0x0000FF, 3, 0x123456}));
    for (const auto& request : colors)
      for (std::int32_t custom : request.customColors) QCOMPARE(custom, 0xFFFFFF);

    backend.helpAnswers = {0};
    backend.extendedError = 5;
    dialog.SetHelpFile(QStringLiteral("/h.html"));
    dialog.SetHelpCommand(3);
    dialog.ShowHelp();  // returns normally although CancelError is set
    QCOMPARE(Ints({dialog.Action(), dialog.APIReturn(), dialog.ExtendedError()}), Ints({6, 0, 5}));
    const auto& help = backend.helpRequests[0];
    QVERIFY(help.helpFile == QStringLiteral("/h.html") && help.command == 3 && help.data == 0);
  }

  void fontAndPrinterFieldsBothWays() {
    FakeCommonDialogBackend backend;
    // Underline 2: only 1 counts as set.
    const FontResult chosen{
        1, 125, {.weight = 700, .italic = 1, .underline = 2, .faceName = {'A', 'b', 0xFF, 0, 'z', 'z'}}};
    backend.fontAnswers = {chosen, {1, 135, {}}, {1, -15, {}}};
    C_CommonDialog dialog(backend);
    dialog.SetFontSize(9);
    dialog.SetFontBold(true);
    dialog.SetFontStrikethru(true);
    dialog.ShowFont();
    QCOMPARE(dialog.FontSize(), 12);  // 12.5 to the even neighbour
    QVERIFY(dialog.FontBold() && dialog.FontItalic() && !dialog.FontUnderline() && !dialog.FontStrikethru());
    QCOMPARE(dialog.FontName(), QStringLiteral("Ab") + QChar(0xFF));
    dialog.ShowFont();  // the choice goes back in
    QVERIFY(dialog.FontSize() == 14 && !dialog.FontBold());
    dialog.ShowFont();
    QCOMPARE(dialog.FontSize(), -2);
    const auto sent = [&](std::size_t i) {
      const FontRequest& r = backend.fontRequests[i];
      const LogFont& f = r.logFont;
      return Ints({r.pointSize, f.weight, f.italic, f.underline, f.strikeOut, f.faceName[0]});
    };
    QCOMPARE(sent(0), Ints({90, 700, 0, 0, 1, 0}));
    QCOMPARE(sent(1), Ints({120, 700, 1, 0, 0, 0}));
    QCOMPARE(sent(2), Ints({140, 0, 0, 0, 0, 0}));

    backend.printerAnswers = {{1, 2, -3, 1, 32767, 4}};
    dialog.SetFromPage(65537);
    dialog.SetToPage(40000);
    dialog.SetMin(-1);
    dialog.SetMax(70000);
    dialog.SetCopies(2);
    dialog.ShowPrinter();
    const auto& p = backend.printerRequests[0].pages;  // each narrowed to 16 bits
    QCOMPARE(Ints({p.fromPage, p.toPage, p.minPage, p.maxPage, p.copies}), Ints({1, -25536, -1, 4464, 2}));
    QCOMPARE(Ints({dialog.Action(), dialog.FromPage(), dialog.ToPage(), dialog.Min(), dialog.Max(), dialog.Copies()}),
             Ints({5, 2, -3, 1, 32767, 4}));
  }

  void fileDialogsAreTheDesktopsUnlessTestsAskForQts() {
    for (const char* widget : {"", "0", "1"}) {
      qputenv("QUILLARY_WIDGET_FILE_DIALOG", widget);
      const auto dialog = BuildFileDialog(FileDialogRequest{}, nullptr);
      QCOMPARE(dialog->testOption(QFileDialog::DontUseNativeDialog), QByteArray(widget) == "1");
    }
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
    }
    QWidget* expected = owner == u"main"_s ? &main : owner == u"dialog"_s ? static_cast<QWidget*>(&modal) : nullptr;
    QCOMPARE(messageBox.Owner(), expected);
    QCOMPARE(backend.DialogParent(0), expected);
    QWidget named;  // a dialog asked for with an owner gets that one
    QCOMPARE(backend.DialogParent(static_cast<qint32>(named.winId())), &named);
  }

  void aBoxWithNoWindowActiveSitsCentredOverTheMainWindow() {
    QWidget main;  // off the screen's middle, where a box without owner would go
    main.setGeometry(20, 30, 400, 260);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QApplication::setActiveWindow(nullptr);  // as for a moment after a file dialog closed
    QCOMPARE(QApplication::activeWindow(), nullptr);
    QtMessageBox messageBox;
    messageBox.SetFallbackOwner(&main);
    QMessageBox box(messageBox.Owner());  // as Show builds it
    QtMessageBox::Prepare(box, QStringLiteral("書き込めません"), MsgButtons::Ok, MsgIcon::Error, kProgramTitle);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const QPoint offset = box.frameGeometry().center() - main.frameGeometry().center();
    QVERIFY2(offset.manhattanLength() <= 4, qPrintable(u"%1,%2"_s.arg(offset.x()).arg(offset.y())));
    box.close();
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
    // The access keys press the buttons, with Alt or alone.
    for (const auto& [key, modifiers, result] : {std::tuple{Qt::Key_N, Qt::NoModifier, MsgResult::No},
                                                 std::tuple{Qt::Key_Y, Qt::AltModifier, MsgResult::Yes}}) {
      QMessageBox keyed;
      QtMessageBox::Prepare(keyed, QStringLiteral("p"), MsgButtons::YesNoCancel, MsgIcon::Information,
                            QStringLiteral("確認"));
      keyed.show();
      QVERIFY(QTest::qWaitForWindowExposed(&keyed));
      QTest::keyClick(&keyed, key, modifiers);
      QTRY_VERIFY(keyed.clickedButton() != nullptr);
      QCOMPARE(QtMessageBox::ResultOf(keyed, MsgButtons::YesNoCancel), result);
    }
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
