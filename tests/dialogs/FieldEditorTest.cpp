// The field-name editor driven through its grid with the mouse: double-click
// to edit, click another name, scroll, OK and Cancel.

#include <cstdlib>
#include <memory>

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "convert/FindRep.h"
#include "dialogs/FieldEditor.h"
#include "fakes/FakeMessageBox.h"
#include "sheet/SheetArray.h"
#include "SheetFixture.h"

using namespace quillary;
using namespace quillary::testing;

class FieldEditorTest : public QObject {
  Q_OBJECT

  QWidget owner_;
  FakeMessageBox messages_;
  std::unique_ptr<GridControl> sheet_;

  std::unique_ptr<FieldEditor> Open() {
    auto dialog = std::make_unique<FieldEditor>(*sheet_, messages_, &owner_);
    dialog->show();
    if (!QTest::qWaitForWindowExposed(dialog.get())) return nullptr;
    return dialog;
  }

  // Double-clicks the name in column col and types text over it.
  static void Edit(FieldEditor& dialog, int col, const QString& text) {
    DoubleClickCell(*dialog.fg, col);
    QVERIFY(dialog.EditOpen());
    dialog.Text1->selectAll();
    QTest::keyClick(dialog.Text1, Qt::Key_Delete);
    CommitText(dialog.Text1, text);
  }

 private slots:
  void init() {
    messages_ = FakeMessageBox();
    sheet_ = std::make_unique<GridControl>(1, 1, &owner_);
    sheet_->SetSheet(FilledSheet(10, 5, {u"氏名", u"住所", u"電話", u"メール", u"備考"}));
  }

  void opensOnTheNamesAndOkAtOnceChangesNothing() {
    const Sheet before = sheet_->sheet();
    auto dialog = Open();
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("フィールド名の編集"));
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    QCOMPARE(dialog->fg->Rows(), 2);
    QCOMPARE(dialog->fg->Cols(), 5);
    const int onePixel = PixelsToTwipsX(1, dialog->fg);  // lengths pass through pixels
    for (int col = 0; col < 5; ++col) {
      QCOMPARE(dialog->fg->TextMatrix(0, col), QStringLiteral("フィールド %1").arg(col + 1));
      QCOMPARE(dialog->fg->TextMatrix(1, col), sheet_->TextMatrix(0, col + 1));
      QVERIFY(std::abs(dialog->fg->ColWidth(col) - 2000) < onePixel);
    }
    QVERIFY(std::abs(dialog->fg->RowHeight(1) - 300) < onePixel);
    QVERIFY(dialog->fg->Row() == 1 && dialog->fg->Col() == 0);
    QCOMPARE(dialog->focusWidget(), dialog->Command1);
    QTest::mouseClick(dialog->Command1, Qt::LeftButton);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(sheet_->sheet(), before);
  }

  void clickingAnotherNameKeepsWhatWasTyped() {
    auto dialog = Open();
    QVERIFY(dialog);
    DoubleClickCell(*dialog->fg, 1);
    QCOMPARE(dialog->Text1->text(), QStringLiteral("住所"));
    QTRY_COMPARE(QApplication::focusWidget(), dialog->Text1);
    // The box lies over the cell it edits.
    const QPoint centre = dialog->fg->viewport()->mapFrom(dialog.get(), dialog->Text1->geometry().center());
    QCOMPARE(dialog->fg->columnAt(centre.x()), 1);

    Edit(*dialog, 0, QStringLiteral("名前"));
    ClickCell(*dialog->fg, 2);
    QVERIFY(!dialog->EditOpen() && dialog->Text1->text().isEmpty());
    QCOMPARE(dialog->fg->TextMatrix(1, 0), QStringLiteral("名前"));
    QCOMPARE(sheet_->TextMatrix(0, 1), QStringLiteral("氏名"));
    QTest::mouseClick(dialog->Command1, Qt::LeftButton);
    QCOMPARE(sheet_->TextMatrix(0, 1), QStringLiteral("名前"));
  }

  void okStoresAnEditStillOpen() {
    Sheet expected = sheet_->sheet();
    expected.SetText(0, 4, u"E-mail");
    auto dialog = Open();
    QVERIFY(dialog);
    Edit(*dialog, 3, QStringLiteral("E-mail"));
    QTest::mouseClick(dialog->Command1, Qt::LeftButton);
    QCOMPARE(sheet_->sheet(), expected);
  }

  void cancelCloseBoxEnterAndEscDropEveryEdit() {
    const Sheet before = sheet_->sheet();
    auto cancelled = Open();
    QVERIFY(cancelled);
    Edit(*cancelled, 0, QStringLiteral("名前"));
    ClickCell(*cancelled->fg, 1);  // stored in the dialog's grid
    Edit(*cancelled, 2, QStringLiteral("TEL"));
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) QTest::keyClick(cancelled->Text1, key);
    QVERIFY(cancelled->isVisible());
    QTest::mouseClick(cancelled->Command2, Qt::LeftButton);
    QCOMPARE(cancelled->result(), int(QDialog::Rejected));
    QCOMPARE(sheet_->sheet(), before);

    auto closed = Open();
    QVERIFY(closed);
    QCOMPARE(closed->fg->TextMatrix(1, 0), QStringLiteral("氏名"));  // a fresh start
    Edit(*closed, 1, QStringLiteral("所在地"));
    ClickCell(*closed->fg, 0);
    QVERIFY(closed->close());
    QCOMPARE(sheet_->sheet(), before);
  }

  void scrollingStoresAndHidesTheBox() {
    sheet_->SetCols(9);
    auto dialog = Open();
    QVERIFY(dialog);
    Edit(*dialog, 0, QStringLiteral("名前"));
    QScrollBar* bar = dialog->fg->horizontalScrollBar();
    QVERIFY(bar->maximum() > 0);
    bar->setValue(bar->maximum());
    QVERIFY(!dialog->EditOpen());
    QCOMPARE(dialog->fg->TextMatrix(1, 0), QStringLiteral("名前"));
  }

  void duplicateAndEmptyNamesAreWrittenAsTypedUnderTheirPosition() {
    auto dialog = Open();
    QVERIFY(dialog);
    Edit(*dialog, 0, QStringLiteral("住所"));
    ClickCell(*dialog->fg, 1);
    Edit(*dialog, 2, QString());
    ClickCell(*dialog->fg, 3);
    Edit(*dialog, 3, QStringLiteral("フィールド 1"));
    QTest::mouseClick(dialog->Command1, Qt::LeftButton);
    QCOMPARE(sheet_->TextMatrix(0, 1), QStringLiteral("住所"));
    QCOMPARE(sheet_->TextMatrix(0, 2), QStringLiteral("住所"));
    QCOMPARE(sheet_->TextMatrix(0, 3), QString());
    QCOMPARE(sheet_->TextMatrix(0, 4), QStringLiteral("フィールド 1"));

    auto again = Open();
    QVERIFY(again);
    QCOMPARE(again->fg->TextMatrix(0, 0), QStringLiteral("フィールド 1"));
    QCOMPARE(again->fg->TextMatrix(0, 3), QStringLiteral("フィールド 4"));
  }

  void aSheetWithoutFieldsOpensEmptyAndOkWritesNothing() {
    sheet_->SetCols(1);
    const Sheet before = sheet_->sheet();
    auto dialog = Open();
    QVERIFY(dialog);
    QCOMPARE(dialog->fg->Cols(), 0);
    dialog->fg_DblClick();
    QVERIFY(!dialog->EditOpen());
    QTest::mouseClick(dialog->Command1, Qt::LeftButton);
    QCOMPARE(sheet_->sheet(), before);
  }

  void aRenamedFieldIsFoundByATemplateAfterSave() {
    SheetImage saved;
    saved.Take(sheet_->sheet());
    auto dialog = Open();
    QVERIFY(dialog);
    Edit(*dialog, 1, QStringLiteral("所在地"));
    QTest::mouseClick(dialog->Command1, Qt::LeftButton);
    QVERIFY(saved.Differs(sheet_->sheet()));
    // Save copies the grid into the work array the template engine reads.
    const SheetArray array = SheetArray::FromSheet(sheet_->sheet());
    const std::u16string output =
        ExpandTemplate(u"<p><!-- 所在地 --></p><p><!-- 住所 --></p>", array, sheet_->Cols() - 1);
    QCOMPARE(QString::fromStdU16String(output), QStringLiteral("<p>1,2</p><p><!-- 住所 --></p>"));
  }
};

int RunFieldEditorTests(int argc, char** argv) {
  FieldEditorTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "FieldEditorTest.moc"
