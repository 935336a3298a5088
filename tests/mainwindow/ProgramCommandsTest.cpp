// The program's commands wired to the main window: each entry point reaches
// its class with the window's grid, state and services.

#include <QtTest>

#include <QDir>
#include <QLineEdit>
#include <QToolButton>

#include "convert/Conv.h"
#include "mainwindow/CellContentsBox.h"
#include "mainwindow/ProgramCommands.h"
#include "MainWindowHarness.h"

using namespace quillary;
using namespace quillary::testing;

namespace {

// The window with the program's own commands in place of recording ones.
struct ProgramWindow : MainWindowHarness {
  ProgramWindow() { window.SetCommands(std::make_unique<ProgramCommands>(window)); }
  GridControl& fg2() { return *window.fg2; }
};

QString SamplePath() {
  return QDir(qEnvironmentVariable("QUILLARY_SOURCE_DIR")).filePath(QStringLiteral("examples/sample.csv"));
}

}  // namespace

class ProgramCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void openFillsTheGridAndTheWorkArray();
  void newAsksAboutChangesAndKeepsTheClipRecord();
  void openCommitsAPendingEdit();
  void dialogsOpenOverTheWindowAndCloseWithIt();
};

void ProgramCommandsTest::openFillsTheGridAndTheWorkArray() {
  ProgramWindow p;
  p.backend.AcceptPath(SamplePath());
  p.fg2().SetRow(2);
  p.fg2().SetCol(2);
  p.window.Open->trigger();
  QVERIFY(p.messageBox.calls.empty());
  QCOMPARE(p.fg2().Rows(), 4);
  QCOMPARE(p.fg2().Cols(), 4);
  QCOMPARE(p.fg2().TextMatrix(0, 1), QStringLiteral("商品名"));
  QCOMPARE(p.fg2().TextMatrix(3, 0), QStringLiteral("3"));
  QCOMPARE(p.window.sheetArray().Fields(), 3);
  QVERIFY(!p.window.CheckModify());
  // The box shows the current cell of the new sheet.
  QCOMPARE(p.window.Text1->Text(), p.fg2().Text());
  QCOMPARE(p.window.windowTitle(), QStringLiteral("Quillary"));
  // The file dialog belongs to the window.
  QCOMPARE(p.backend.fileRequests.size(), std::size_t{1});
  QCOMPARE(p.backend.fileRequests[0].owner, static_cast<std::int32_t>(p.window.winId()));
}

void ProgramCommandsTest::newAsksAboutChangesAndKeepsTheClipRecord() {
  ProgramWindow p;
  p.fg2().SetTextMatrix(2, 2, QStringLiteral("carried"));
  p.fg2().SetRow(2);
  p.fg2().SetCol(2);
  emit p.fg2().KeyPress(3);  // Ctrl+C in the grid

  p.messageBox.Answer(MsgResult::No);
  p.window.New->trigger();
  QCOMPARE(p.messageBox.calls.size(), std::size_t{1});
  QCOMPARE(p.messageBox.calls[0].title, QStringLiteral("確認"));
  QVERIFY(p.fg2().TextMatrix(2, 2).isEmpty());
  QVERIFY(p.window.Text1->Text().isEmpty());
  QVERIFY(!p.window.CheckModify());

  p.fg2().SetRow(5);
  p.fg2().SetCol(4);
  p.window.Paste->trigger();
  QCOMPARE(p.fg2().TextMatrix(5, 4), QStringLiteral("carried"));

  emit p.fg2().KeyDown(46, 0);
  QVERIFY(p.fg2().TextMatrix(5, 4).isEmpty());
}

void ProgramCommandsTest::openCommitsAPendingEdit() {
  ProgramWindow p;
  QVERIFY(p.ShowActive());
  p.fg2().SetRow(3);
  p.fg2().setFocus();
  QTRY_VERIFY(p.fg2().hasFocus());
  QTest::keyClick(&p.fg2(), Qt::Key_T);
  QTest::keyClicks(p.window.txtEdit, QStringLiteral("yped"));
  QVERIFY(!p.window.txtEdit->isHidden());
  // The commit makes the sheet modified; Cancel on the question keeps it.
  p.messageBox.Answer(MsgResult::Cancel);
  p.window.Open->trigger();
  QVERIFY(p.window.txtEdit->isHidden());
  QCOMPARE(p.fg2().TextMatrix(3, 1), QStringLiteral("typed"));
  QCOMPARE(p.messageBox.calls.size(), std::size_t{1});
  QVERIFY(p.backend.fileRequests.empty());
}

void ProgramCommandsTest::dialogsOpenOverTheWindowAndCloseWithIt() {
  ProgramWindow p;
  p.window.SheetResize->trigger();
  p.window.Resize->trigger();
  QTest::mouseClick(p.window.ToolbarButtons()[6], Qt::LeftButton);
  p.window.FieldEdit->trigger();
  p.window.EditField->trigger();
  p.window.Convert->trigger();
  QCOMPARE(p.window.dialogs, (QStringList{QStringLiteral("シートのリサイズ"), QStringLiteral("シートのリサイズ"),
                                          QStringLiteral("シートのリサイズ"), QStringLiteral("フィールド名の編集"),
                                          QStringLiteral("フィールド名の編集"), QStringLiteral("変換")}));
  // The Convert dialog stays loaded between runs, and goes with the window.
  QCOMPARE(p.window.findChildren<Conv*>().size(), 1);
  p.window.close();
  QCOMPARE(p.window.findChildren<Conv*>().size(), 0);
  QVERIFY(p.messageBox.calls.empty());
}

QTEST_MAIN(ProgramCommandsTest)
#include "ProgramCommandsTest.moc"
