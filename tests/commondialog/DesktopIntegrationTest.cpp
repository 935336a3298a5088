// Qt's own texts in the locale's language, and where the program finds its
// user guide. Own process: the translation installed here is application-wide.

#include <QAction>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <memory>

#include "commondialog/QtTranslation.h"
#include "commondialog/UserGuide.h"
#include "support/TempDir.h"

using namespace quillary;
using namespace Qt::StringLiterals;

namespace {

QString CancelText() {
  QDialogButtonBox box(QDialogButtonBox::Cancel);
  return box.button(QDialogButtonBox::Cancel)->text();
}

// The first entry of a text box's own right-click menu, without its shortcut.
QString UndoText() {
  QLineEdit edit;
  const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
  return menu->actions().front()->text().section(u'\t', 0, 0);
}

QString InstalledGuide(const QString& prefix) { return prefix + QStringLiteral("/share/doc/quillary/guide.html"); }

}  // namespace

class DesktopIntegrationTest : public QObject {
  Q_OBJECT

 private slots:
  void qtTextsFollowTheLocale_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("cancel");
    QTest::addColumn<QString>("undo");
    // In this order: each row replaces the translation of the one before.
    QTest::newRow("Japanese desktop") << u"ja_JP"_s << true << u"キャンセル"_s << u"元に戻す(&U)"_s;
    QTest::newRow("then English: the Japanese texts go") << u"en_US"_s << false << u"Cancel"_s << u"&Undo"_s;
    QTest::newRow("Japanese again") << u"ja_JP"_s << true << u"キャンセル"_s << u"元に戻す(&U)"_s;
    QTest::newRow("Esperanto, which Qt has no texts for") << u"eo"_s << false << u"Cancel"_s << u"&Undo"_s;
  }

  void qtTextsFollowTheLocale() {
    QFETCH(QString, locale);
    QFETCH(bool, installed);
    QFETCH(QString, cancel);
    QFETCH(QString, undo);
    QCOMPARE(InstallQtTranslation(*QCoreApplication::instance(), QLocale(locale)), installed);
    QCOMPARE(CancelText(), cancel);
    QCOMPARE(UndoText(), undo);
  }

  void theGuideIsFoundInstalledElseInTheBuild_data() {
    QTest::addColumn<bool>("installed");
    QTest::newRow("installed beside the program") << true;
    QTest::newRow("run from the build tree") << false;
  }

  void theGuideIsFoundInstalledElseInTheBuild() {
    QFETCH(bool, installed);
    quillary::testing::TempDir prefix;
    const QString root = QString::fromStdString(prefix.path().string());
    QVERIFY(QDir(root).mkpath(QStringLiteral("bin")) && QDir(root).mkpath(QStringLiteral("share/doc/quillary")));
    if (installed) {
      QFile guide(InstalledGuide(root));
      QVERIFY(guide.open(QIODevice::WriteOnly));
    }
    const QString found = UserGuidePathFrom(root + QStringLiteral("/bin"));
    if (installed) {
      QCOMPARE(found, InstalledGuide(root));
      return;
    }
    // The build's own guide (its content: the install test's).
    QVERIFY2(found.endsWith(QStringLiteral("/share/doc/quillary/guide.html")), qPrintable(found));
    QVERIFY2(QFile::exists(found), qPrintable(found));
    QCOMPARE(UserGuidePath(), found);  // the tests are not installed
  }
};

QTEST_MAIN(DesktopIntegrationTest)
#include "DesktopIntegrationTest.moc"
