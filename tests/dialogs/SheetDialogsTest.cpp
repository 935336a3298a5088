// The resize dialog and the field-name editor driven as a user would: shown,
// entries typed, grid cells clicked, buttons pressed; the sheet checked after.

#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "dialogs/CautionPicture.h"
#include "dialogs/FieldEditor.h"
#include "dialogs/ResizeOption.h"
#include "fakes/FakeMessageBox.h"
#include "sheet/document/SheetDocument.h"
#include "sheet/grid/GridControl.h"
#include "sheet/grid/Twips.h"
#include "support/SheetOf.h"

using namespace quillary;
using quillary::testing::FakeMessageBox;

namespace {

Sheet With(Sheet sheet, std::initializer_list<std::tuple<int, int, std::u16string>> cells) {
  for (const auto& [row, col, text] : cells) sheet.SetText(row, col, text);
  return sheet;
}

QStringList Texts(std::initializer_list<const QWidget*> widgets) {
  QStringList texts;
  for (const QWidget* widget : widgets) texts << widget->property("text").toString();
  return texts;
}

// Enter and Esc pressed in each of the widgets leave the dialog open; then
// its cancel button or its close box ends it.
bool CancelledAfterEnterAndEsc(QDialog& dialog, std::initializer_list<QWidget*> widgets, QPushButton* cancel,
                               bool closeBox) {
  for (QWidget* widget : widgets) {
    widget->setFocus();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) QTest::keyClick(widget, key);
  }
  if (!dialog.isVisible()) return false;
  closeBox ? void(dialog.close()) : QTest::mouseClick(cancel, Qt::LeftButton);
  return !dialog.isVisible() && dialog.result() == QDialog::Rejected;
}

// The centre of the current row's cell in column col, in viewport pixels,
// from the current cell's rectangle and the column widths.
QPoint CellCentre(const GridControl& grid, int col) {
  int left = grid.CellLeft();
  for (int c = grid.Col(); c < col; ++c) left += grid.ColWidth(c);
  for (int c = col; c < grid.Col(); ++c) left -= grid.ColWidth(c);
  return grid.viewport()->mapFrom(&grid, QPoint(TwipsToPixelsX(left + grid.ColWidth(col) / 2, &grid),
                                                TwipsToPixelsY(grid.CellTop() + grid.CellHeight() / 2, &grid)));
}

void ClickCell(GridControl& grid, int col) {
  QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellCentre(grid, col));
}

// Double-clicks the name in column col (the events a real double-click
// brings) and types text over it as an input method commits it.
void Edit(FieldEditor& dialog, int col, const QString& text) {
  const QPoint centre = CellCentre(*dialog.fg, col);
  QTest::mouseClick(dialog.fg->viewport(), Qt::LeftButton, {}, centre);
  QTest::mouseDClick(dialog.fg->viewport(), Qt::LeftButton, {}, centre);
  QTest::mouseRelease(dialog.fg->viewport(), Qt::LeftButton, {}, centre);
  QVERIFY(dialog.EditOpen() && dialog.Text1->text() == dialog.fg->Text());  // the name to edit
  dialog.Text1->selectAll();
  QTest::keyClick(dialog.Text1, Qt::Key_Delete);
  QInputMethodEvent event;
  event.setCommitString(text);
  QApplication::sendEvent(dialog.Text1, &event);
}
}  // namespace

class SheetDialogsTest : public QObject {
  Q_OBJECT

  QWidget owner_;
  FakeMessageBox messages_;
  std::unique_ptr<GridControl> sheet_;

  // Shown and active, as the user finds it.
  template <typename Dialog>
  std::unique_ptr<Dialog> Open() {
    auto dialog = std::make_unique<Dialog>(*sheet_, messages_, &owner_);
    dialog->show();
    return QTest::qWaitForWindowActive(dialog.get()) ? std::move(dialog) : nullptr;
  }
  // A fresh resize dialog, both entries typed, OK clicked.
  std::unique_ptr<ResizeOption> Resize(const QString& records, const QString& fields) {
    auto dialog = Open<ResizeOption>();
    dialog->Text1->setText(records);
    dialog->Text2->setText(fields);
    QTest::mouseClick(dialog->OK, Qt::LeftButton);
    return dialog;
  }

 private slots:
  void init() {
    messages_ = FakeMessageBox();
    sheet_ = std::make_unique<GridControl>(1, 1, &owner_);
    sheet_->SetSheet(testing::NumberedSheet(10, 5));
  }

  void resizeOpensOnTheCountsAndSelectsEntriesOnFocus() {
    auto dialog = Open<ResizeOption>();
    QVERIFY(dialog);
    QCOMPARE(Texts({dialog->Text1, dialog->Text2}), QStringList({"10", "5"}));
    QCOMPARE(QApplication::focusWidget(), dialog->OK);
    for (QWidget* next : std::initializer_list<QWidget*>{dialog->Command1, dialog->Text1, dialog->Text2, dialog->OK}) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), next);
      if (auto* entry = qobject_cast<QLineEdit*>(next)) QTRY_COMPARE(entry->selectedText(), entry->text());
    }
    // A click would leave a caret; the whole text is selected all the same.
    QTest::mouseClick(dialog->Text2, Qt::LeftButton, {}, QPoint(4, dialog->Text2->height() / 2));
    QTRY_COMPARE(dialog->Text2->selectedText(), QStringLiteral("5"));
  }

  void resizeKeepsWhatFitsAndLabelsOnlyWhatItAdds() {
    sheet_->SetTextMatrix(10, 0, QStringLiteral("十"));
    sheet_->SetTextMatrix(0, 5, QStringLiteral("電話"));
    sheet_->SetTextMatrix(0, 1, QStringLiteral("フィールド 6"));  // an added column is named all the same
    Sheet expected = sheet_->sheet();
    QCOMPARE(Resize("10", "5")->result(), int(QDialog::Accepted));
    QCOMPARE(sheet_->sheet(), expected);
    Resize("12", "7");
    const Sheet before = expected;
    expected.Resize(13, 8);
    QCOMPARE(sheet_->sheet(),
             With(expected, {{11, 0, u"11"}, {12, 0, u"12"}, {0, 6, u"フィールド 6"}, {0, 7, u"フィールド 7"}}));
    // The new size and its labels are one step.
    sheet_->document().Undo();
    QCOMPARE(sheet_->sheet(), before);
    sheet_->document().Redo();
    // Shrunk rows and columns come back empty, with labels and default names.
    Resize("8", "4");
    QVERIFY(sheet_->Rows() == 9 && sheet_->Cols() == 5);
    Resize("10", "5");
    QCOMPARE((QStringList{sheet_->TextMatrix(9, 0), sheet_->TextMatrix(10, 0), sheet_->TextMatrix(0, 5)}),
             QStringList({"9", "10", "フィールド 5"}));
    for (int row = 1; row <= 10; ++row)
      for (int col = 1; col <= 5; ++col) QCOMPARE(sheet_->TextMatrix(row, col).isEmpty(), row > 8 || col > 4);
  }

  void resizeEntriesAreCheckedBeforeAnythingChanges() {
    const QString notACount = QStringLiteral("行数と列数には 1 以上の整数を入力してください。");
    const QString tooMany =
        QStringLiteral("シートが大きすぎます。\n（レコードは 1048576 件、フィールドは 16384 個までです）");
    const struct {
      QString records, fields, refusal;
      int rows = 0, cols = 0;  // the sheet's size when accepted
    } cases[] = {
        {"", "5", notACount},         {"0", "5", notACount},          {"1.5", "5", notACount},
        {"10", "０", notACount},      {"١٢", "5", notACount},         {"4294967301", "1", tooMany},
        {"1048577", "5", tooMany},    {"1", "16385", tooMany},  // one past a limit
        {"１９", "0７", {}, 20, 8},   {" 12 ", "\u30007", {}, 13, 8}, {"1048576", "1", {}, 1048577, 2},
        {"1", "16384", {}, 2, 16385},
    };
    for (const auto& c : cases) {
      init();
      const Sheet before = sheet_->sheet();
      auto dialog = Resize(c.records, c.fields);
      if (c.rows == 0) {
        QCOMPARE(messages_.TakePrompts(), QStringList{c.refusal});
        QCOMPARE(Texts({dialog->Text1, dialog->Text2}), QStringList({c.records, c.fields}));
        QVERIFY(dialog->isVisible() && sheet_->sheet() == before);
        continue;
      }
      QVERIFY2(!dialog->isVisible() && messages_.calls.empty(), qPrintable(c.records));
      QVERIFY(sheet_->Rows() == c.rows && sheet_->Cols() == c.cols);
      // The count that sized the sheet is the last one labelled or named.
      QCOMPARE(sheet_->TextMatrix(c.rows - 1, 0), QString::number(c.rows - 1));
      QCOMPARE(sheet_->TextMatrix(0, c.cols - 1), QStringLiteral("フィールド %1").arg(c.cols - 1));
    }
  }

  void resizeCautionCancelCloseBoxEnterAndEscChangeNothing() {
    const Sheet before = sheet_->sheet();
    for (bool closeBox : {false, true}) {
      auto dialog = Open<ResizeOption>();
      QVERIFY(dialog);
      dialog->Text1->setText(QStringLiteral("3"));
      if (!closeBox) QTest::mouseClick(dialog->Picture1, Qt::LeftButton, {}, QPoint(10, 10));
      QVERIFY(CancelledAfterEnterAndEsc(*dialog, {dialog->OK, dialog->Text1}, dialog->Command1, closeBox));
    }
    QCOMPARE(sheet_->sheet(), before);
    QCOMPARE(messages_.calls.size(), std::size_t{1});
    const FakeMessageBox::Call& caution = messages_.calls[0];
    QCOMPARE(caution.prompt, QStringLiteral("新しいシートのサイズが現在のシートよりも\r\n"
                                            "小さくなる場合は、あふれた部分のデータは\r\n削除されます。"));
    QVERIFY(caution.buttons == MsgButtons::Ok && caution.icon == MsgIcon::Exclamation && caution.title == u"注意");
  }

  void fieldEditorOpensOnTheNamesAndOkAtOnceChangesNothing() {
    sheet_->SetTextMatrix(0, 2, QStringLiteral("住所"));
    const Sheet before = sheet_->sheet();
    auto dialog = Open<FieldEditor>();
    QVERIFY(dialog);
    QVERIFY(dialog->fg->Rows() == 2 && dialog->fg->Cols() == 5);
    for (int col = 0; col < 5; ++col) {
      QCOMPARE(dialog->fg->TextMatrix(0, col), QStringLiteral("フィールド %1").arg(col + 1));
      QCOMPARE(dialog->fg->TextMatrix(1, col), sheet_->TextMatrix(0, col + 1));
    }
    QVERIFY(dialog->fg->Row() == 1 && dialog->fg->Col() == 0 && dialog->focusWidget() == dialog->Command1);
    QTest::mouseClick(dialog->Command1, Qt::LeftButton);
    QVERIFY(dialog->result() == QDialog::Accepted && sheet_->sheet() == before);
  }

  void fieldEditsAreStoredByLeavingScrollingAndOkAsTyped() {
    sheet_->SetCols(9);  // wider than the dialog's grid, so that it scrolls
    sheet_->SetTextMatrix(0, 2, QStringLiteral("住所"));
    const Sheet before = sheet_->sheet();
    auto dialog = Open<FieldEditor>();
    QVERIFY(dialog);
    Edit(*dialog, 1, QStringLiteral("所在地"));
    QTRY_COMPARE(QApplication::focusWidget(), dialog->Text1);
    // The box lies over the cell it edits.
    const QPoint centre = dialog->fg->viewport()->mapFrom(dialog.get(), dialog->Text1->geometry().center());
    QCOMPARE(dialog->fg->columnAt(centre.x()), 1);
    Edit(*dialog, 0, QStringLiteral("住所"));  // names are not checked: one taken, one empty
    ClickCell(*dialog->fg, 2);
    QVERIFY(!dialog->EditOpen() && dialog->Text1->text().isEmpty());
    QCOMPARE(dialog->fg->TextMatrix(1, 0), QStringLiteral("住所"));
    QCOMPARE(sheet_->TextMatrix(0, 1), QStringLiteral("フィールド 1"));  // the sheet waits for OK
    Edit(*dialog, 2, QString());
    QScrollBar* bar = dialog->fg->horizontalScrollBar();
    bar->setValue(bar->maximum());
    QVERIFY(bar->maximum() > 0 && !dialog->EditOpen() && dialog->fg->TextMatrix(1, 2).isEmpty());
    bar->setValue(0);
    Edit(*dialog, 3, QStringLiteral("フィールド 1"));  // still open at OK
    QTest::mouseClick(dialog->Command1, Qt::LeftButton);
    QCOMPARE(sheet_->sheet(), With(before, {{0, 1, u"住所"}, {0, 2, u"所在地"}, {0, 3, u""}, {0, 4, u"フィールド 1"}}));
    // All the names are one step.
    sheet_->document().Undo();
    QCOMPARE(sheet_->sheet(), before);
    sheet_->document().Redo();
    auto again = Open<FieldEditor>();  // captions give the position, whatever the name
    QVERIFY(again && again->fg->TextMatrix(0, 3) == QStringLiteral("フィールド 4"));
  }

  // Without a mouse: F2 and Enter open the current name as it is, typing
  // opens it with what was typed; OK stores it.
  void fieldNamesAreEditedFromTheKeyboard_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("name");
    QTest::newRow("F2") << int(Qt::Key_F2) << QStringLiteral("フィールド 2x");
    QTest::newRow("Enter") << int(Qt::Key_Return) << QStringLiteral("フィールド 2x");
    QTest::newRow("a typed character") << int(Qt::Key_A) << QStringLiteral("ax");
  }

  void fieldNamesAreEditedFromTheKeyboard() {
    QFETCH(int, key);
    QFETCH(QString, name);
    auto dialog = Open<FieldEditor>();
    QVERIFY(dialog);
    dialog->fg->setFocus();
    QTest::keyClick(dialog->fg, Qt::Key_Right);
    QTest::keyClick(dialog->fg, Qt::Key(key));
    QVERIFY(dialog->EditOpen());
    QTest::keyClick(dialog->Text1, Qt::Key_End);
    QTest::keyClicks(dialog->Text1, QStringLiteral("x"));
    QTest::mouseClick(dialog->Command1, Qt::LeftButton);
    QCOMPARE(sheet_->TextMatrix(0, 2), name);
  }

  void fieldEditorCancelCloseBoxEnterAndEscDropEveryEdit() {
    const Sheet before = sheet_->sheet();
    for (bool closeBox : {false, true}) {
      auto dialog = Open<FieldEditor>();
      QVERIFY(dialog);
      Edit(*dialog, 0, QStringLiteral("名前"));
      ClickCell(*dialog->fg, 1);  // stored in the dialog's grid
      Edit(*dialog, 2, QStringLiteral("TEL"));
      QVERIFY(CancelledAfterEnterAndEsc(*dialog, {dialog->Text1}, dialog->Command2, closeBox));
      QCOMPARE(sheet_->sheet(), before);
    }
    // Without field columns the editor opens empty and OK writes nothing.
    sheet_->SetCols(1);
    const Sheet narrow = sheet_->sheet();
    auto empty = Open<FieldEditor>();
    QVERIFY(empty && empty->fg->Cols() == 0);
    empty->fg_DblClick();
    QVERIFY(!empty->EditOpen());
    QTest::mouseClick(empty->Command1, Qt::LeftButton);
    QCOMPARE(sheet_->sheet(), narrow);
  }
};

QTEST_MAIN(SheetDialogsTest)
#include "SheetDialogsTest.moc"
