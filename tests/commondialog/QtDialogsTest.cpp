// The Qt side of the dialogs, checked on dialogs that are built but never shown.

#include <QComboBox>
#include <QFileDialog>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTest>

#include "commondialog/QtCommonDialogBackend.h"
#include "commondialog/QtFileDialog.h"
#include "mainwindow/MessageBox.h"
#include "support/TempDir.h"

using namespace quillary;

namespace {

const QString kCsvFilter = QStringLiteral(
    "カンマ区切り(CSV)ファイル (*.csv)|*.csv|すべてのファイル(*.*)|*.*");

QString AsNulList(QString filter) {
  return filter.replace(u'|', QChar(u'\0')) + QChar(u'\0') + QChar(u'\0');
}

QStringList ComboTexts(const QFileDialog& dialog) {
  QStringList texts;
  const auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
  for (int i = 0; combo != nullptr && i < combo->count(); ++i) texts << combo->itemText(i);
  return texts;
}

QStringList ListedNames(const QFileDialog& dialog) {
  const auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
  QStringList names;
  if (view == nullptr) return names;
  for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
    names << view->model()->index(row, 0, view->rootIndex()).data().toString();
  }
  names.sort();
  return names;
}

}  // namespace

class QtDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void fileTypesShownAsWrittenAndFilterByPattern() {
    quillary::testing::TempDir dir;
    for (const char* name : {"a.csv", "b.txt", "noext"}) dir.Write(name, "x");

    FileDialogRequest request;
    request.filter = AsNulList(kCsvFilter);
    request.initialDir = QString::fromStdString(dir.path().string());
    auto dialog = BuildFileDialog(request, nullptr);
    QCOMPARE(ComboTexts(*dialog),
             (QStringList{QStringLiteral("カンマ区切り(CSV)ファイル (*.csv)"),
                          QStringLiteral("すべてのファイル(*.*)")}));
    QTRY_COMPARE(ListedNames(*dialog), QStringList{QStringLiteral("a.csv")});

    request.filterIndex = 2;
    dialog = BuildFileDialog(request, nullptr);
    QTRY_COMPARE(ListedNames(*dialog),
                 (QStringList{QStringLiteral("a.csv"), QStringLiteral("b.txt"),
                              QStringLiteral("noext")}));
  }

  void fileDialogModesTitleAndExtension() {
    FileDialogRequest request;
    request.mode = FileDialogMode::Save;
    request.defaultExt = QStringLiteral("csv");
    auto save = BuildFileDialog(request, nullptr);
    QCOMPARE(save->acceptMode(), QFileDialog::AcceptSave);
    QVERIFY(save->testOption(QFileDialog::DontConfirmOverwrite));
    QCOMPARE(save->defaultSuffix(), QStringLiteral("csv"));
    QVERIFY(!save->windowTitle().isEmpty());

    request.mode = FileDialogMode::Open;
    request.title = QStringLiteral("テンプレート");
    auto open = BuildFileDialog(request, nullptr);
    QCOMPARE(open->acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(open->fileMode(), QFileDialog::AnyFile);  // a new name is accepted
    QCOMPARE(open->windowTitle(), QStringLiteral("テンプレート"));
  }

  void ownerFoundByWindowHandle() {
    QWidget window;
    const auto handle = static_cast<qint32>(window.winId());
    QCOMPARE(QtCommonDialogBackend::OwnerWidget(handle), &window);
    QCOMPARE(QtCommonDialogBackend::OwnerWidget(0), nullptr);
  }

  void messageBoxButtonsIconsAndEscape() {
    QMessageBox box;
    QtMessageBox::Prepare(box, QStringLiteral("一行目\r\n<b>二行目</b>"), MsgButtons::YesNoCancel,
                          MsgIcon::Information, QStringLiteral("確認"));
    QCOMPARE(box.windowTitle(), QStringLiteral("確認"));
    QCOMPARE(box.icon(), QMessageBox::Information);
    QCOMPARE(box.text(), QStringLiteral("一行目\n<b>二行目</b>"));
    QCOMPARE(box.textFormat(), Qt::PlainText);
    const auto buttons = box.buttons();
    QCOMPARE(buttons.size(), 3);
    QCOMPARE(box.defaultButton()->text(), QStringLiteral("はい"));
    QCOMPARE(box.escapeButton()->text(), QStringLiteral("キャンセル"));
    QCOMPARE(QtMessageBox::ResultOf(box, MsgButtons::YesNoCancel), MsgResult::Cancel);
    for (QAbstractButton* button : buttons) {
      if (button->text() == QStringLiteral("いいえ")) button->click();
    }
    QCOMPARE(QtMessageBox::ResultOf(box, MsgButtons::YesNoCancel), MsgResult::No);

    QMessageBox question;
    QtMessageBox::Prepare(question, QString(), MsgButtons::YesNo, MsgIcon::Error, kProgramTitle);
    QCOMPARE(question.icon(), QMessageBox::Critical);
    QCOMPARE(question.escapeButton()->text(), QStringLiteral("いいえ"));
    QMessageBox caution;
    QtMessageBox::Prepare(caution, QString(), MsgButtons::Ok, MsgIcon::Exclamation, QString());
    QCOMPARE(caution.icon(), QMessageBox::Warning);
    QCOMPARE(caution.defaultButton()->text(), QStringLiteral("OK"));
  }
};

QTEST_MAIN(QtDialogsTest)
#include "QtDialogsTest.moc"
