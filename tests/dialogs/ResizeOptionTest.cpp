// The resize dialog driven as a user would: shown, entries typed, buttons
// clicked; the sheet checked cell by cell afterwards.

#include <memory>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "dialogs/CautionPicture.h"
#include "dialogs/ResizeOption.h"
#include "fakes/FakeMessageBox.h"
#include "SheetFixture.h"

using namespace quillary;
using quillary::testing::FakeMessageBox;

class ResizeOptionTest : public QObject {
  Q_OBJECT

  QWidget owner_;
  FakeMessageBox messages_;
  std::unique_ptr<GridControl> sheet_;

  std::unique_ptr<ResizeOption> Open() {
    auto dialog = std::make_unique<ResizeOption>(*sheet_, messages_, &owner_);
    dialog->show();
    return dialog;
  }

  // A fresh dialog, both entries typed, OK clicked.
  std::unique_ptr<ResizeOption> Resize(const QString& records, const QString& fields) {
    auto dialog = Open();
    dialog->Text1->setText(records);
    dialog->Text2->setText(fields);
    QTest::mouseClick(dialog->OK, Qt::LeftButton);
    return dialog;
  }

 private slots:
  void init() {
    messages_ = FakeMessageBox();
    sheet_ = std::make_unique<GridControl>(1, 1, &owner_);
    sheet_->SetSheet(quillary::testing::FilledSheet(10, 5));
  }

  void opensFixedCentredOnTheSheetsCounts() {
    owner_.setGeometry(200, 150, 900, 700);
    owner_.show();
    auto dialog = Open();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("シートのリサイズ"));
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    QVERIFY(!(dialog->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY((dialog->geometry().center() - owner_.geometry().center()).manhattanLength() <= 4);
    QCOMPARE(dialog->Command1->text(), QStringLiteral("キャンセル"));
    QCOMPARE(dialog->Picture1->toolTip(), QStringLiteral("Click!!"));
    QVERIFY(dialog->Picture1->HasImage());
    QCOMPARE(dialog->Text1->text(), QStringLiteral("10"));
    QCOMPARE(dialog->Text2->text(), QStringLiteral("5"));
    QCOMPARE(QApplication::focusWidget(), dialog->OK);
    for (QWidget* next : {static_cast<QWidget*>(dialog->Command1), static_cast<QWidget*>(dialog->Text1),
                          static_cast<QWidget*>(dialog->Text2), static_cast<QWidget*>(dialog->OK)}) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), next);
    }
    owner_.hide();
  }

  void unchangedNumbersLeaveTheSheetAsItWas() {
    sheet_->SetTextMatrix(0, 2, QStringLiteral("価格"));
    const Sheet before = sheet_->sheet();
    auto dialog = Resize(QStringLiteral("10"), QStringLiteral("5"));
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(sheet_->sheet(), before);
  }

  void growingLabelsOnlyTheAddedRowsAndColumns() {
    sheet_->SetTextMatrix(3, 0, QStringLiteral("三"));
    // A column added is named by its position even when that name is taken.
    sheet_->SetTextMatrix(0, 1, QStringLiteral("フィールド 6"));
    Sheet expected = sheet_->sheet();
    Resize(QStringLiteral("12"), QStringLiteral("7"));
    expected.Resize(13, 8);
    expected.SetText(11, 0, u"11");
    expected.SetText(12, 0, u"12");
    expected.SetText(0, 6, u"フィールド 6");
    expected.SetText(0, 7, u"フィールド 7");
    QCOMPARE(sheet_->sheet(), expected);
  }

  void shrunkRowsAndColumnsComeBackEmptyWithDefaults() {
    sheet_->SetTextMatrix(0, 5, QStringLiteral("電話"));
    Resize(QStringLiteral("8"), QStringLiteral("4"));
    QCOMPARE(sheet_->Rows(), 9);
    QCOMPARE(sheet_->Cols(), 5);
    Resize(QStringLiteral("10"), QStringLiteral("5"));
    QCOMPARE(sheet_->TextMatrix(9, 0), QStringLiteral("9"));
    QCOMPARE(sheet_->TextMatrix(10, 0), QStringLiteral("10"));
    QCOMPARE(sheet_->TextMatrix(0, 5), QStringLiteral("フィールド 5"));
    for (int row = 1; row <= 10; ++row)
      for (int col = 1; col <= 5; ++col)
        QCOMPARE(sheet_->TextMatrix(row, col).isEmpty(), row > 8 || col > 4);
  }

  void refusedEntries_data() {
    const QString notACount = QStringLiteral("行数と列数には 1 以上の整数を入力してください。");
    const QString tooMany = QStringLiteral("シートが大きすぎます。\n（セルの数は 32768 までです）");
    QTest::addColumn<QString>("records");
    QTest::addColumn<QString>("fields");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << "" << "5" << notACount;
    QTest::newRow("letters") << "abc" << "5" << notACount;
    QTest::newRow("negative") << "-1" << "5" << notACount;
    QTest::newRow("fraction") << "1.5" << "5" << notACount;
    QTest::newRow("zero") << "10" << "０" << notACount;
    QTest::newRow("other digits") << "١٢" << "5" << notACount;
    QTest::newRow("32767") << "32767" << "5" << tooMany;
    QTest::newRow("huge") << "99999999999999999999" << "1" << tooMany;
    QTest::newRow("one cell over") << "4096" << "7" << tooMany;
  }

  void refusedEntries() {
    QFETCH(QString, records);
    QFETCH(QString, fields);
    QFETCH(QString, message);
    const Sheet before = sheet_->sheet();
    auto dialog = Resize(records, fields);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->Text1->text(), records);
    QCOMPARE(dialog->Text2->text(), fields);
    QCOMPARE(sheet_->sheet(), before);
    QCOMPARE(messages_.calls.size(), std::size_t{1});
    const FakeMessageBox::Call& call = messages_.calls[0];
    QCOMPARE(call.prompt, message);
    QVERIFY(call.buttons == MsgButtons::Ok && call.icon == MsgIcon::Error);
    QCOMPARE(call.title, QStringLiteral("Quillary"));
  }

  void acceptedEntries_data() {
    QTest::addColumn<QString>("records");
    QTest::addColumn<QString>("fields");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::newRow("full-width") << "１２" << "0７" << 13 << 8;
    QTest::newRow("blanks around") << " 12 " << "\u30007" << 13 << 8;
    QTest::newRow("the cell limit") << "4095" << "7" << 4096 << 8;
    QTest::newRow("most fields") << "1" << "16383" << 2 << 16384;
  }

  void acceptedEntries() {
    QFETCH(QString, records);
    QFETCH(QString, fields);
    QFETCH(int, rows);
    QFETCH(int, cols);
    auto dialog = Resize(records, fields);
    QVERIFY(!dialog->isVisible() && messages_.calls.empty());
    QCOMPARE(sheet_->Rows(), rows);
    QCOMPARE(sheet_->Cols(), cols);
    // The count that sized the sheet is the last one labelled or named.
    QCOMPARE(sheet_->TextMatrix(rows - 1, 0), QString::number(rows - 1));
    QCOMPARE(sheet_->TextMatrix(0, cols - 1), QStringLiteral("フィールド %1").arg(cols - 1));
  }

  void cautionPictureWarnsAndChangesNothing() {
    const Sheet before = sheet_->sheet();
    auto dialog = Open();
    QTest::mouseClick(dialog->Picture1, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(messages_.calls.size(), std::size_t{1});
    const FakeMessageBox::Call& call = messages_.calls[0];
    QCOMPARE(call.prompt, QStringLiteral("新しいシートのサイズが現在のシートよりも\r\n"
                                         "小さくなる場合は、あふれた部分のデータは\r\n"
                                         "削除されます。"));
    QVERIFY(call.buttons == MsgButtons::Ok && call.icon == MsgIcon::Exclamation);
    QCOMPARE(call.title, QStringLiteral("注意"));
    QVERIFY(dialog->isVisible());
    QCOMPARE(sheet_->sheet(), before);
  }

  void cancelCloseBoxEnterAndEscChangeNothing() {
    const Sheet before = sheet_->sheet();
    auto keyed = Open();
    QVERIFY(QTest::qWaitForWindowActive(keyed.get()));
    keyed->Text1->setText(QStringLiteral("3"));
    for (QWidget* focus : {static_cast<QWidget*>(keyed->OK), static_cast<QWidget*>(keyed->Text1)}) {
      focus->setFocus();
      for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) QTest::keyClick(focus, key);
      QVERIFY(keyed->isVisible());
    }
    QTest::mouseClick(keyed->Command1, Qt::LeftButton);
    QCOMPARE(keyed->result(), int(QDialog::Rejected));

    auto closed = Open();
    closed->Text1->setText(QStringLiteral("3"));
    QVERIFY(closed->close());
    QCOMPARE(sheet_->sheet(), before);
    QVERIFY(messages_.calls.empty());
  }

  void resizingCountsAsAModification() {
    SheetImage saved;
    saved.Take(sheet_->sheet());
    Resize(QStringLiteral("10"), QStringLiteral("5"));
    QVERIFY(!saved.Differs(sheet_->sheet()));
    Resize(QStringLiteral("11"), QStringLiteral("5"));
    QVERIFY(saved.Differs(sheet_->sheet()));
  }

  void entriesSelectAllOnFocus() {
    auto dialog = Open();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    dialog->Command1->setFocus();
    QTest::keyClick(dialog->Command1, Qt::Key_Tab);
    QTRY_COMPARE(dialog->Text1->selectedText(), QStringLiteral("10"));
    // A click would leave a caret; the whole text is selected all the same.
    QTest::mouseClick(dialog->Text2, Qt::LeftButton, {}, QPoint(4, dialog->Text2->height() / 2));
    QTRY_COMPARE(dialog->Text2->selectedText(), QStringLiteral("5"));
    QTest::keyClicks(dialog->Text2, QStringLiteral("7"));
    QCOMPARE(dialog->Text2->text(), QStringLiteral("7"));
  }
};

int RunResizeOptionTests(int argc, char** argv) {
  ResizeOptionTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "ResizeOptionTest.moc"
