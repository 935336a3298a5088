// What the main window does with the characters, keys and mouse buttons
// that reach its grid, and the window's own R key.

#include <QtTest>

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>

#include "mainwindow/CellContentsBox.h"
#include "MainWindowHarness.h"
#include "sheet/GridControl.h"
#include "sheet/Twips.h"

using namespace quillary;
using namespace quillary::testing;

namespace {

void Select(GridControl& grid, int row, int col, int rowSel, int colSel) {
  grid.SetRow(row);
  grid.SetCol(col);
  grid.SetRowSel(rowSel);
  grid.SetColSel(colSel);
}

struct Selection {
  int row, col, rowSel, colSel;
  bool operator==(const Selection&) const = default;
};

Selection SelectionOf(const GridControl& grid) { return {grid.Row(), grid.Col(), grid.RowSel(), grid.ColSel()}; }

}  // namespace

class GridInputTest : public QObject {
  Q_OBJECT

 private slots:
  void clipboardCharactersRunTheRangeCommands();
  void clipboardKeysRunEachCommandOnce();
  void deleteEmptiesTheRangeAndTheBox();
  void rightClickAreasAreStrict();
  void rightClickLeavesTheSelectionAlone();
  void theRKeyStartsConvertOnlyWhenNoControlTakesIt();
  void textBoxesKeepTheirOwnEditingKeys();
};

void GridInputTest::clipboardCharactersRunTheRangeCommands() {
  MainWindowHarness h;
  TestMain& w = h.window;
  // Selected from the bottom-right corner: the values go as they are.
  Select(*w.fg2, 4, 3, 2, 1);
  const std::vector<std::pair<int, QString>> codes = {
      {3, QStringLiteral("CopyRange 1 2 3 4")},
      {24, QStringLiteral("CutRange 1 2 3 4")},
      {22, QStringLiteral("PasteRange")},
  };
  for (const auto& [code, command] : codes) {
    h.log.clear();
    emit w.fg2->KeyPress(code);
    QCOMPARE(h.log, QStringList{command});
    QVERIFY(w.txtEdit->isHidden());
  }
  // Ctrl+R neither edits nor converts.
  h.log.clear();
  emit w.fg2->KeyPress(18);
  QVERIFY(w.txtEdit->isHidden());
  QVERIFY(h.log.isEmpty());
}

void GridInputTest::clipboardKeysRunEachCommandOnce() {
  MainWindowHarness h;
  TestMain& w = h.window;
  QVERIFY(h.ShowActive());
  w.fg2->setFocus();
  QTRY_VERIFY(w.fg2->hasFocus());
  Select(*w.fg2, 2, 2, 3, 4);
  const QString selection = h.SelectionArgs();
  const std::vector<std::pair<Qt::Key, QString>> keys = {
      {Qt::Key_C, QStringLiteral("CopyRange ") + selection},
      {Qt::Key_X, QStringLiteral("CutRange ") + selection},
      {Qt::Key_V, QStringLiteral("PasteRange")},
      {Qt::Key_P, QStringLiteral("PasteRange")},
  };
  for (const auto& [key, command] : keys) {
    h.log.clear();
    QTest::keyClick(w.fg2, key, Qt::ControlModifier);
    QCOMPARE(h.log, QStringList{command});
    QVERIFY(w.txtEdit->isHidden());
  }
  h.log.clear();
  QTest::keyClick(w.fg2, Qt::Key_R, Qt::ControlModifier);
  QVERIFY(w.txtEdit->isHidden());
  QVERIFY(h.log.isEmpty());
}

void GridInputTest::deleteEmptiesTheRangeAndTheBox() {
  MainWindowHarness h;
  TestMain& w = h.window;
  w.fg2->SetTextMatrix(2, 2, QStringLiteral("a|b"));
  w.fg2->SetRow(2);
  w.fg2->SetCol(2);
  QCOMPARE(w.Text1->Text(), QStringLiteral("a\r\nb"));
  w.fg2->SetRowSel(5);
  w.fg2->SetColSel(4);

  for (int shift : {0, 1, 2, 4}) {
    h.log.clear();
    emit w.fg2->KeyDown(46, shift);
    QCOMPARE(h.log, QStringList{QStringLiteral("DeleteRange 4 5 2 2")});
    QVERIFY(w.Text1->Text().isEmpty());
    QVERIFY(w.txtEdit->text().isEmpty());
    w.SetText1Text(QStringLiteral("again"));
  }

  // Other keys are the grid's own.
  h.log.clear();
  emit w.fg2->KeyDown(8, 0);
  emit w.fg2->KeyDown(45, 0);
  QVERIFY(h.log.isEmpty());

  QVERIFY(h.ShowActive());
  w.fg2->setFocus();
  QTRY_VERIFY(w.fg2->hasFocus());
  QTest::keyClick(w.fg2, Qt::Key_Delete);
  QCOMPARE(h.log, QStringList{QStringLiteral("DeleteRange ") + h.SelectionArgs()});
  QVERIFY(w.Text1->Text().isEmpty());
  QVERIFY(w.txtEdit->isHidden());
}

void GridInputTest::rightClickAreasAreStrict() {
  MainWindowHarness h;
  TestMain& w = h.window;
  const int cw = w.fg2->ColWidth(0);
  const int rh = w.fg2->RowHeight(0);
  QVERIFY(cw > 30 && rh > 30);

  struct Case {
    int button, x, y;
    QMenu* menu;
  };
  const std::vector<Case> cases = {
      {2, cw + 1, rh - 1, w.ContextField},  // a field name
      {2, cw + 1, 0, w.ContextField},
      {2, cw + 3000, rh - 1, w.ContextField},
      {2, cw + 1, rh + 1, w.Edit},  // a data cell
      {2, cw + 4000, rh + 2000, w.Edit},
      {2, cw, rh - 1, nullptr},  // exactly on the boundary lines
      {2, cw + 1, rh, nullptr},
      {2, cw, rh + 1, nullptr},
      {2, cw - 1, rh + 1, nullptr},  // the row numbers and the corner
      {2, cw - 1, rh - 1, nullptr},
      {1, cw + 1, rh + 1, nullptr},  // other buttons
      {4, cw + 1, rh - 1, nullptr},
  };
  for (const Case& c : cases) {
    w.popups.clear();
    emit w.fg2->MouseDown(c.button, 0, c.x, c.y);
    if (!c.menu) {
      QVERIFY2(w.popups.empty(), qPrintable(QStringLiteral("%1,%2").arg(c.x).arg(c.y)));
      continue;
    }
    QCOMPARE(w.popups.size(), std::size_t{1});
    QCOMPARE(w.popups[0].menu, c.menu);
    // At the pointer.
    const QPoint point(TwipsToPixelsX(c.x, w.fg2), TwipsToPixelsY(c.y, w.fg2));
    QCOMPARE(w.popups[0].at, w.fg2->mapToGlobal(point));
  }
  QCOMPARE(w.Edit->actions().size(), 3);
  QCOMPARE(w.ContextField->actions().size(), 2);
}

void GridInputTest::rightClickLeavesTheSelectionAlone() {
  MainWindowHarness h;
  TestMain& w = h.window;
  QVERIFY(h.ShowActive());
  Select(*w.fg2, 2, 2, 3, 3);
  const Selection before = SelectionOf(*w.fg2);

  // A data cell outside the selection: the row of 8, column 4.
  const int x = w.fg2->ColWidth(0) + 3 * 2000 + 500;
  const int y = w.fg2->RowHeight(0) + 7 * 250 + 100;
  const QPoint onGrid(TwipsToPixelsX(x, w.fg2), TwipsToPixelsY(y, w.fg2));
  const QPoint onViewport = w.fg2->viewport()->mapFrom(w.fg2, onGrid);
  QTest::mouseClick(w.fg2->viewport(), Qt::RightButton, {}, onViewport);
  QCOMPARE(w.popups.size(), std::size_t{1});
  QCOMPARE(w.popups[0].menu, w.Edit);
  QVERIFY(SelectionOf(*w.fg2) == before);

  // Copy from that pop-up copies the selection, not the clicked cell.
  w.Copy->trigger();
  QCOMPARE(h.log, QStringList{QStringLiteral("CopyRange 3 3 2 2")});
}

void GridInputTest::theRKeyStartsConvertOnlyWhenNoControlTakesIt() {
  MainWindowHarness h;
  TestMain& w = h.window;
  QVERIFY(h.ShowActive());
  const auto typeR = [](QWidget* widget) {
    QTest::keyClick(widget, Qt::Key_R);
    QTest::keyClicks(widget, QStringLiteral("R"));
  };

  w.fg2->setFocus();
  QTRY_VERIFY(w.fg2->hasFocus());
  QTest::keyClick(w.fg2, Qt::Key_R);
  // Typed into a cell: it opens the editor, and R reaches the editor.
  QVERIFY(!w.txtEdit->isHidden());
  QCOMPARE(w.txtEdit->text(), QStringLiteral("r"));
  QTRY_VERIFY(w.txtEdit->hasFocus());
  typeR(w.txtEdit);
  QCOMPARE(w.txtEdit->text(), QStringLiteral("rrR"));
  QTest::keyClick(w.txtEdit, Qt::Key_R, Qt::ControlModifier);

  w.Text1->setFocus();
  QTRY_VERIFY(w.Text1->hasFocus());
  typeR(w.Text1);
  QTest::keyClick(w.Text1, Qt::Key_R, Qt::ControlModifier);
  QVERIFY(w.Text1->Text().endsWith(QStringLiteral("rR")));
  QVERIFY(!h.log.contains(QStringLiteral("ConvertSheet")));

  // Alt+R is the menu bar's access key for Convert, from any control.
  QTest::keyClick(w.txtEdit, Qt::Key_R, Qt::AltModifier);
  QCOMPARE(h.log, QStringList{QStringLiteral("ConvertSheet")});

  // With no control holding the focus the window takes the key itself,
  // whatever Shift, Ctrl and Alt say.
  QApplication::focusWidget()->clearFocus();
  QVERIFY(!QApplication::focusWidget());
  h.log.clear();
  QTest::keyClick(&w, Qt::Key_R);
  QTest::keyClick(&w, Qt::Key_R, Qt::ShiftModifier);
  QTest::keyClick(&w, Qt::Key_A);
  QCOMPARE(h.log, QStringList(2, QStringLiteral("ConvertSheet")));
  h.log.clear();
  w.Form_KeyDown(82, 7);
  QCOMPARE(h.log, QStringList{QStringLiteral("ConvertSheet")});
}

void GridInputTest::textBoxesKeepTheirOwnEditingKeys() {
  MainWindowHarness h;
  TestMain& w = h.window;
  QVERIFY(h.ShowActive());

  w.Text1->setFocus();
  QTRY_VERIFY(w.Text1->hasFocus());
  QTest::keyClicks(w.Text1, QStringLiteral("abc"));
  w.Text1->selectAll();
  QTest::keyClick(w.Text1, Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("abc"));

  w.txtEdit->setFocus();
  QTRY_VERIFY(w.txtEdit->hasFocus());
  w.txtEdit->selectAll();
  QTest::keyClick(w.txtEdit, Qt::Key_X, Qt::ControlModifier);
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("abc"));
  QVERIFY(w.txtEdit->text().isEmpty());
  QTest::keyClick(w.txtEdit, Qt::Key_V, Qt::ControlModifier);
  QCOMPARE(w.txtEdit->text(), QStringLiteral("abc"));

  // The range commands stayed out of it.
  QVERIFY(h.log.isEmpty());
}

QTEST_MAIN(GridInputTest)
#include "GridInputTest.moc"
