// The preview's page view: what it loads and what it refuses without ever
// opening it, the markup it hands the rich-text view, and a page built to
// hold that view for minutes, laid out and painted within bounds.

#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QScrollBar>
#include <QTextBlock>

#include "convert/preview/PreviewPage.h"
#include "convert/preview/PreviewPageBounds.h"
#include "convert/preview/PreviewPageMarkup.h"
#include "support/LayoutBombs.h"
#include "support/TempDir.h"

using namespace quillary;
using namespace quillary::testing;
using namespace Qt::StringLiterals;
using Refusal = PreviewResources::Refusal;

namespace {

void SavePicture(const std::filesystem::path& file, int width, int height) {
  QImage picture(width, height, QImage::Format_RGB32);
  picture.fill(Qt::red);
  QVERIFY(picture.save(QString::fromStdString(file.string()), "PNG"));
}

QSize PictureSize(const PreviewPage& page, const QString& name) {
  const QVariant picture = page.document()->resource(QTextDocument::ImageResource, QUrl(name));
  return picture.typeId() == QMetaType::QPixmap ? picture.value<QPixmap>().size() : QSize();
}

}  // namespace

class PreviewPageTest : public QObject {
  Q_OBJECT

 private slots:
  void loadsOnlyRegularFilesInTheTemplatesFolder() {
    TempDir dir;
    const auto site = dir / "site";
    std::filesystem::create_directories(site / "pics");
    SavePicture(site / "beside.png", 4, 3);
    SavePicture(site / "pics" / "below.png", 2, 2);
    SavePicture(dir / "outside.png", 5, 5);
    SavePicture(site / "wide.png", 10'001, 1);
    dir.Write("site/broken.png", "not a picture");
    dir.Write("site/style.css", "p.red { color: #ff0000 }");
    std::filesystem::create_symlink("../outside.png", site / "out.png");
    std::filesystem::create_symlink("/dev/zero", site / "zero.png");
    // Planted under a picture's name: opening it to read would wait for a
    // writer for ever.
    QCOMPARE(::mkfifo((site / "pipe.png").c_str(), 0600), 0);
    QByteArray tiny;
    {
      QBuffer buffer(&tiny);
      buffer.open(QIODevice::WriteOnly);
      QImage(3, 1, QImage::Format_RGB32).save(&buffer, "PNG");
    }
    const QString html =
        u"<link rel=\"stylesheet\" href=\"style.css\"><p class=\"red\">red</p>"
        u"<img src=\"beside.png\"><img src=\"pics/below.png\"><img src=\"data:image/png;base64,"_s +
        QString::fromLatin1(tiny.toBase64()) +
        u"\"><img src=\"pipe.png\"><img src=\"/dev/zero\"><img src=\"zero.png\">"
        u"<img src=\"../outside.png\"><img src=\"out.png\"><img src=\"file://"_s +
        QString::fromStdString((dir / "outside.png").string()) +
        u"\"><img src=\"http://example.com/a.png\"><img src=\"//example.com/b.png\">"
        u"<img src=\"wide.png\"><img src=\"missing.png\"><img src=\"broken.png\">"_s;
    PreviewPage page;
    page.resize(500, 400);
    page.ShowPage(html, QString::fromStdString(site.string()));
    page.grab();
    const PreviewPage::Report& report = page.report();
    QCOMPARE(report.Refused(Refusal::Outside), 5);
    QCOMPARE(report.Refused(Refusal::Network), 2);
    QCOMPARE(report.Refused(Refusal::NotRegular), 1);
    QCOMPARE(report.Refused(Refusal::TooLarge), 1);
    QCOMPARE(report.Refused(Refusal::Unreadable), 2);
    QCOMPARE(PictureSize(page, u"beside.png"_s), QSize(4, 3));
    QCOMPARE(PictureSize(page, u"pics/below.png"_s), QSize(2, 2));
    QCOMPARE(PictureSize(page, u"data:image/png;base64,"_s + QString::fromLatin1(tiny.toBase64())), QSize(3, 1));
    QCOMPARE(PictureSize(page, u"../outside.png"_s), QSize());
    // The style sheet beside the template applies.
    const QTextFragment red = page.document()->begin().begin().fragment();
    QCOMPARE(red.text(), u"red"_s);
    QCOMPARE(red.charFormat().foreground().color(), QColor(Qt::red));
    QVERIFY(!report.simplified && !report.capped && !report.asText);
  }

  void theMarkupIsWrittenOutExplicitlyClosed_data() {
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("bounded");
    QTest::addColumn<bool>("simplified");
    QTest::newRow("implied ends of cells, rows and items")
        << u"<table><td>a<td>b<tr><th>c</table><ul><li>d<li>e</ul>"_s
        << u"<table><tr><td>a</td><td>b</td></tr><tr><th>c</th></tr></table><ul><li>d</li><li>e</li></ul>"_s << false;
    QTest::newRow("a paragraph ended by a block, stray ends ignored")
        << u"<p>a<div>b</span></div></p>"_s << u"<p>a</p><div>b</div>"_s << false;
    QTest::newRow("comments, scripts and the document type dropped")
        << u"<!DOCTYPE html><!-- name --><script>if (a<b) x()</script><b>c</b>"_s << u"<b>c</b>"_s << false;
    QTest::newRow("a style sheet linked as browsers take it, other links not")
        << u"<link rel=StyleSheet href=a.css><link rel=\"alternate stylesheet\" type=text/css href=b.css>"_s
        << u"<link rel=\"StyleSheet\" href=\"a.css\" type=\"text/css\"/><link rel=\"alternate stylesheet\" "
           u"href=\"b.css\"/>"_s
        << false;
    QTest::newRow("attributes decoded, quoted and escaped")
        << u"<IMG SRC=a&amp;b.png ALT='&quot;&#x41;&bogus;' src=second>"_s
        << u"<img src=\"a&amp;b.png\" alt=\"&quot;A&amp;bogus;\"/>"_s << false;
    QTest::newRow("a \"<\" of the text, and a style sheet kept")
        << u"1 < 2<style>p { color: red }</style>"_s << u"1 &lt; 2<style>p { color: red }</style>"_s << false;
    QTest::newRow("spans cut back to the table as browsers cut them")
        << u"<table><tr><td rowspan=0>a<td colspan=99999 rowspan=5>b<tr><td>c</table>"_s
        << u"<table><tr><td rowspan=\"2\">a</td><td colspan=\"1000\" rowspan=\"2\">b</td></tr>"
           u"<tr><td>c</td></tr></table>"_s
        << false;
    QTest::newRow("a table too deep laid flat") << NestedTables(7, u"x"_s) << NestedTables(6, u"x <br/>"_s) << true;
    QTest::newRow("tags too deep dropped, their text kept")
        << Nested(u"<i>"_s, u"</i>"_s, 70) << Nested(u"<i>"_s, u"</i>"_s, 64) << true;
  }

  void theMarkupIsWrittenOutExplicitlyClosed() {
    QFETCH(QString, html);
    QFETCH(QString, bounded);
    QFETCH(bool, simplified);
    const PageMarkup markup = BoundPageMarkup(html);
    QCOMPARE(markup.html, bounded);
    QCOMPARE(markup.simplified, simplified);
  }

  // Every page built to hold the view, in one, with a linked style sheet
  // of values past any screen: laid flat, capped, within bounds.
  void aPageBuiltToHoldTheViewIsLaidOutWithinBounds() {
    TempDir dir;
    dir.Write("huge.css", "td { padding: 100000000px } p { margin: 5000000px; font-size: 99999pt }");
    PreviewPage page;
    page.resize(540, 480);
    page.show();
    page.ShowPage(u"<link rel=stylesheet href=huge.css>"_s + LayoutBombs().back().html,
                  QString::fromStdString(dir.path().string()));
    page.grab();
    page.verticalScrollBar()->setValue(page.verticalScrollBar()->maximum());
    page.grab();
    const QSizeF size = page.document()->documentLayout()->documentSize();
    QVERIFY2(size.height() <= kPageExtentBudget && size.width() <= kPageExtentBudget,
             qPrintable(u"%1 × %2"_s.arg(size.width()).arg(size.height())));
    QVERIFY(page.report().simplified);
    QVERIFY(page.report().capped);
    QVERIFY(!page.report().asText);
  }
};

QTEST_MAIN(PreviewPageTest)
#include "PreviewPageTest.moc"
