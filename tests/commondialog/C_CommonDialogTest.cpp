#include <QTest>

#include "commondialog/C_CommonDialog.h"
#include "fakes/FakeCommonDialogBackend.h"

using quillary::C_CommonDialog;
using quillary::CommonDialogCancelError;
using quillary::FileNameTooLongError;
using quillary::testing::FakeCommonDialogBackend;

namespace {

QString Nuls(const char16_t* text) {  // '0' stands for NUL
  return QString::fromUtf16(text).replace(u'0', QChar(u'\0'));
}

QString Blanks(int capacity) { return QString(capacity - 1, u' ') + QChar(u'\0'); }

template <typename Call>
std::int32_t CancelNumber(Call call, QString* description = nullptr) {
  try {
    call();
  } catch (const CommonDialogCancelError& error) {
    if (description != nullptr) *description = error.description();
    return error.number();
  }
  return 0;
}

}  // namespace

class C_CommonDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void fileRequestCarriesProperties() {
    FakeCommonDialogBackend backend;
    C_CommonDialog dialog(backend);
    dialog.SetFilter(QStringLiteral("a|b|c|d"));
    dialog.SetHwndOwner(77);
    dialog.SetFilterIndex(2);
    dialog.SetInitDir(QStringLiteral("/data"));
    dialog.SetDialogTitle(QStringLiteral("T"));
    dialog.SetFlags(0x1002);
    dialog.SetDefaultExt(QStringLiteral("csv"));
    dialog.ShowSave();
    dialog.SetFilter(QString());
    dialog.ShowOpen();

    QCOMPARE(backend.fileRequests.size(), 2u);
    const auto& save = backend.fileRequests[0];
    QVERIFY(save.mode == quillary::FileDialogMode::Save);
    QCOMPARE(save.filter, Nuls(u"a0b0c0d00"));
    QCOMPARE(save.owner, 77);
    QCOMPARE(save.filterIndex, 2);
    QCOMPARE(save.initialDir, QStringLiteral("/data"));
    QCOMPARE(save.title, QStringLiteral("T"));
    QCOMPARE(save.flags, 0x1002);
    QCOMPARE(save.defaultExt, QStringLiteral("csv"));
    QVERIFY(backend.fileRequests[1].mode == quillary::FileDialogMode::Open);
    QVERIFY(backend.fileRequests[1].filter.isEmpty());
  }

  void capacityDefaultsTo255() {
    FakeCommonDialogBackend backend;
    C_CommonDialog dialog(backend);
    for (std::int32_t size : {0, -5, 1000}) {
      dialog.SetMaxFileSize(size);
      dialog.ShowOpen();
    }
    const int expected[] = {255, 255, 1000};
    for (int i = 0; i < 3; ++i) {
      QCOMPARE(backend.fileRequests[i].capacity, expected[i]);
      QCOMPARE(backend.fileRequests[i].fileBuffer, Blanks(expected[i]));
    }
  }

  void acceptedThenSecondDialogStartsEmpty() {
    FakeCommonDialogBackend backend;
    backend.AcceptPath(QStringLiteral("/data/first.csv")).AcceptPath(QStringLiteral("/x/second.txt"));
    C_CommonDialog dialog(backend);
    dialog.ShowOpen();
    QCOMPARE(dialog.FileName(), QStringLiteral("/data/first.csv"));
    QCOMPARE(dialog.FileTitle(), QStringLiteral("first.csv"));
    QCOMPARE(dialog.APIReturn(), 1);
    dialog.ShowSave();
    QCOMPARE(backend.fileRequests[1].fileBuffer, Blanks(255));
    QCOMPARE(dialog.FileName(), QStringLiteral("/x/second.txt"));
    QCOMPARE(dialog.Action(), 0);  // the file dialogs leave it alone
  }

  void cancelKeepsFileName() {
    FakeCommonDialogBackend backend;
    backend.AcceptPath(QStringLiteral("/a.csv")).Cancel().Cancel();
    C_CommonDialog dialog(backend);
    dialog.ShowOpen();

    dialog.SetCancelError(true);
    QCOMPARE(CancelNumber([&] { dialog.ShowSave(); }), 2001);
    QCOMPARE(dialog.APIReturn(), 0);
    QCOMPARE(dialog.FileName(), QStringLiteral("/a.csv"));

    dialog.SetCancelError(false);
    dialog.ShowOpen();  // returns normally
    QCOMPARE(dialog.APIReturn(), 0);
    QCOMPARE(dialog.ExtendedError(), 0);
    QCOMPARE(dialog.FileName(), QStringLiteral("/a.csv"));
    QCOMPARE(dialog.FileTitle(), QStringLiteral("a.csv"));
    QCOMPARE(backend.extendedErrorQueries, 0);
  }

  void otherResultSetsExtendedErrorAndErrorsEndQuietly() {
    FakeCommonDialogBackend backend;
    backend.fileAnswers.push_back({7, QStringLiteral("/ignored"), QString()});
    backend.extendedError = 0x3002;
    C_CommonDialog dialog(backend);
    dialog.SetCancelError(true);
    dialog.ShowOpen();
    QCOMPARE(dialog.APIReturn(), 7);
    QCOMPARE(dialog.ExtendedError(), 0x3002);
    QVERIFY(dialog.FileName().isEmpty());

    backend.failNextCall = true;
    dialog.ShowOpen();  // no exception: ends quietly, results reset
    QCOMPARE(dialog.APIReturn(), 0);
    QCOMPARE(dialog.ExtendedError(), 0);

    dialog.SetFontSize(300'000'000);  // tenths do not fit: quiet end before the dialog
    dialog.ShowFont();
    QCOMPARE(backend.fontRequests.size(), 0u);
    QCOMPARE(dialog.Action(), 4);
  }

  void tooLongPathIsRefusedWhateverCancelError() {
    for (bool cancelError : {false, true}) {
      FakeCommonDialogBackend backend;
      const QString fits = QStringLiteral("/") + QString(8, u'a');   // 9 characters
      const QString tooLong = fits + u'b';
      backend.AcceptPath(fits).AcceptPath(tooLong);
      C_CommonDialog dialog(backend);
      dialog.SetCancelError(cancelError);
      dialog.SetMaxFileSize(10);
      dialog.ShowOpen();
      QCOMPARE(dialog.FileName(), fits);
      try {
        dialog.ShowOpen();
        QFAIL("no FileNameTooLongError");
      } catch (const FileNameTooLongError& error) {
        QCOMPARE(error.path(), tooLong);
        QCOMPARE(error.capacity(), 10);
      }
      QCOMPARE(dialog.APIReturn(), 0);
      QCOMPARE(dialog.ExtendedError(), 0x3003);
      QCOMPARE(dialog.FileName(), fits);
      QCOMPARE(dialog.FileTitle(), QString(8, u'a'));
    }
  }

  void colorOffersWhiteCustomColoursAndItsOwnCancel() {
    FakeCommonDialogBackend backend;
    backend.colorAnswers = {{1, 0x123456}, {0, 0}};
    C_CommonDialog dialog(backend);
    dialog.SetColor(0x0000FF);
    dialog.SetFlags(3);
    dialog.ShowColor();
    QCOMPARE(dialog.Color(), 0x123456);
    QCOMPARE(dialog.Action(), 3);
    dialog.SetCancelError(true);
    QString description;
    QCOMPARE(CancelNumber([&] { dialog.ShowColor(); }, &description), -2147220610);
    QCOMPARE(description, QStringLiteral("Cancel Pressed"));
    QCOMPARE(dialog.Color(), 0x123456);

    QCOMPARE(backend.colorRequests.size(), 2u);
    QCOMPARE(backend.colorRequests[0].color, 0x0000FF);
    QCOMPARE(backend.colorRequests[1].color, 0x123456);
    QCOMPARE(backend.colorRequests[0].flags, 3);
    for (const auto& request : backend.colorRequests) {
      for (std::int32_t custom : request.customColors) QCOMPARE(custom, 0xFFFFFF);
    }
  }

  void fontFieldsBothWays() {
    FakeCommonDialogBackend backend;
    quillary::FontResult chosen{1, 125, {}};
    chosen.logFont.weight = 700;
    chosen.logFont.italic = 1;
    chosen.logFont.underline = 2;  // only 1 counts as set
    const char face[] = "Ab\xFF\0zz";
    std::copy(std::begin(face), std::end(face), chosen.logFont.faceName.begin());
    backend.fontAnswers = {chosen, {1, 135, {}}, {1, -15, {}}};

    C_CommonDialog dialog(backend);
    dialog.SetFontSize(9);
    dialog.SetFontBold(true);
    dialog.SetFontStrikethru(true);
    dialog.ShowFont();
    const auto& request = backend.fontRequests[0];
    QCOMPARE(request.pointSize, 90);
    QCOMPARE(request.logFont.weight, 700);
    QCOMPARE(int(request.logFont.italic), 0);
    QCOMPARE(int(request.logFont.strikeOut), 1);
    QCOMPARE(int(request.logFont.faceName[0]), 0);
    QCOMPARE(dialog.FontSize(), 12);  // 12.5 to the even neighbour
    QVERIFY(dialog.FontBold() && dialog.FontItalic());
    QVERIFY(!dialog.FontUnderline() && !dialog.FontStrikethru());
    QCOMPARE(dialog.FontName(), QStringLiteral("Ab") + QChar(0xFF));

    dialog.ShowFont();  // the choice goes back in
    QCOMPARE(backend.fontRequests[1].pointSize, 120);
    QCOMPARE(backend.fontRequests[1].logFont.weight, 700);
    QCOMPARE(int(backend.fontRequests[1].logFont.italic), 1);
    QCOMPARE(dialog.FontSize(), 14);
    QVERIFY(!dialog.FontBold());
    dialog.ShowFont();
    QCOMPARE(backend.fontRequests[2].logFont.weight, 0);
    QCOMPARE(dialog.FontSize(), -2);
  }

  void printerFieldsNarrowedTo16Bits() {
    FakeCommonDialogBackend backend;
    backend.printerAnswers = {{1, 2, -3, 1, 32767, 4}};
    C_CommonDialog dialog(backend);
    dialog.SetFromPage(65537);
    dialog.SetToPage(40000);
    dialog.SetMin(-1);
    dialog.SetMax(70000);
    dialog.SetCopies(2);
    dialog.ShowPrinter();
    const auto& request = backend.printerRequests[0];
    QCOMPARE(request.fromPage, 1);
    QCOMPARE(request.toPage, -25536);
    QCOMPARE(request.minPage, -1);
    QCOMPARE(request.maxPage, 4464);
    QCOMPARE(request.copies, 2);
    QCOMPARE(dialog.Action(), 5);
    QCOMPARE(dialog.FromPage(), 2);
    QCOMPARE(dialog.ToPage(), -3);
    QCOMPARE(dialog.Max(), 32767);
    QCOMPARE(dialog.Copies(), 4);
  }

  void helpAlwaysAsksExtendedError() {
    FakeCommonDialogBackend backend;
    backend.helpAnswers = {0};
    backend.extendedError = 5;
    C_CommonDialog dialog(backend);
    dialog.SetHelpFile(QStringLiteral("/h.html"));
    dialog.SetHelpCommand(3);
    dialog.SetCancelError(true);
    dialog.SetFlags(9);
    dialog.ShowHelp();  // no cancel handling
    QCOMPARE(dialog.Action(), 6);
    QCOMPARE(dialog.APIReturn(), 0);
    QCOMPARE(dialog.ExtendedError(), 5);
    QCOMPARE(backend.helpRequests[0].helpFile, QStringLiteral("/h.html"));
    QCOMPARE(backend.helpRequests[0].command, 3);
    QCOMPARE(backend.helpRequests[0].data, 0);
  }
};

QTEST_GUILESS_MAIN(C_CommonDialogTest)
#include "C_CommonDialogTest.moc"
