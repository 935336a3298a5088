// The Convert dialog and Convert_Click, with the file dialog and the message
// box answered by script and the user's actions on the shown dialog scripted.

#include <QtTest>

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include <cstdlib>

#include "convert/Conv.h"
#include "convert/ConvertCommand.h"
#include "sheet/Twips.h"
#include "sheet/commands/CommandWindow.h"
#include "support/TempDir.h"

using namespace quillary;
using namespace quillary::testing;

namespace {

using User = std::function<void(Conv&)>;

User TypeNames(const QString& templateName, const QString& outputName, bool pressOK = true) {
  return [=](Conv& conv) {
    conv.Text1->setText(templateName);
    conv.Text2->setText(outputName);
    if (pressOK) conv.OKButton_Click();
  };
}

QStringList Prompts(const FakeMessageBox& box) {
  QStringList prompts;
  for (const auto& call : box.calls) prompts << call.prompt;
  return prompts;
}

bool IsRefusal(const FakeMessageBox::Call& call) {
  return call.buttons == MsgButtons::Ok && call.icon == MsgIcon::Error && call.title == QStringLiteral("Quillary");
}

// The main window's side of Convert; `user` acts on the shown dialog.
struct ConvertWindow : CommandWindow {
  User user;
  QList<QStringList> namesAtOpening;
  ConvertCommand convert{{nullptr, fg2, sheetArray, backend, messageBox}, [this](Conv& conv) {
                           namesAtOpening << QStringList{conv.TemplateName(), conv.OutputName()};
                           conv.show();
                           if (user) user(conv);
                         }};
  Conv& Dialog() {
    if (!convert.dialog()) convert.Convert_Click();
    return *convert.dialog();
  }
};

std::filesystem::path Examples() {
  const char* dir = std::getenv("QUILLARY_SOURCE_DIR");
  return std::filesystem::path(dir ? dir : QUILLARY_SOURCE_DIR_FALLBACK) / "examples";
}

}  // namespace

class ConvertTest : public QObject {
  Q_OBJECT

 private slots:
  void controlsCaptionsAndPlaces();
  void browseButtons();
  void okChecksInOrder();
  void namesAreEmptyAtEveryOpening();
  void convertsTheSheetAsLastSaved();
  void failuresAreReported();
  void bundledExampleThroughTheModalDialog();
};

void ConvertTest::controlsCaptionsAndPlaces() {
  ConvertWindow window;
  Conv& conv = window.Dialog();
  QCOMPARE(conv.windowTitle(), QStringLiteral("変換"));
  const struct {
    QWidget *widget, *parent;
    int left, top, width, height;
    const char16_t* caption;
  } controls[] = {
      {conv.Frame1, &conv, 120, 240, 5595, 675, u"定型ファイル"}, {conv.Text1, conv.Frame1, 120, 240, 4935, 315, u""},
      {conv.Command1, conv.Frame1, 5160, 240, 315, 315, u"..."},  {conv.Frame2, &conv, 120, 1140, 5595, 675, u"出力ファイル"},
      {conv.Text2, conv.Frame2, 120, 240, 4935, 315, u""},        {conv.Command2, conv.Frame2, 5160, 240, 315, 315, u"..."},
      {conv.OKButton, &conv, 3000, 2040, 1215, 375, u"変換"},     {conv.CancelButton, &conv, 4380, 2040, 1215, 375, u"ｷｬﾝｾﾙ"},
  };
  for (const auto& c : controls) {
    QCOMPARE(c.widget->parentWidget(), c.parent);
    QCOMPARE(c.widget->geometry(), QRect(TwipsToPixelsX(c.left, &conv), TwipsToPixelsY(c.top, &conv),
                                         TwipsToPixelsX(c.width, &conv), TwipsToPixelsY(c.height, &conv)));
    QCOMPARE(c.widget->property(qobject_cast<QGroupBox*>(c.widget) ? "title" : "text").toString(),
             QString::fromUtf16(c.caption));
  }
  // Tab goes OK, Cancel, template name, its "...", output name, its "...".
  const QList<QWidget*> order{conv.OKButton, conv.CancelButton, conv.Text1, conv.Command1, conv.Text2, conv.Command2};
  for (int i = 0; i < order.size(); ++i) {
    QWidget* next = order[i]->nextInFocusChain();
    while (!(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
    QCOMPARE(next, order[(i + 1) % order.size()]);
  }
  QCOMPARE(conv.minimumSize(), conv.maximumSize());
  QVERIFY(!(conv.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
}

void ConvertTest::browseButtons() {
  TempDir dir;
  const QString templ = Q(dir.Write("template.html", "x"));
  ConvertWindow window;
  Conv& conv = window.Dialog();
  // A template that does not exist and a cancel leave the first choice.
  window.backend.AcceptPath(templ).AcceptPath(Q(dir / "missing.html")).Cancel();
  for (int i = 0; i < 3; ++i) conv.Command1_Click();
  QCOMPARE(conv.Text1->text(), templ);
  // The output may be a new file; a name too long for the dialog is refused.
  window.backend.AcceptPath(Q(dir / "new.html")).Cancel().AcceptPath(QString(300, u'n'));
  for (int i = 0; i < 3; ++i) conv.Command2_Click();
  QCOMPARE(conv.Text2->text(), Q(dir / "new.html"));
  QCOMPARE(Prompts(window.messageBox), QStringList{QStringLiteral("ファイル名が長すぎます。")});
  const auto& requests = window.backend.fileRequests;
  QCOMPARE(requests.size(), std::size_t{6});
  for (std::size_t i = 0; i < requests.size(); ++i) {
    QCOMPARE(requests[i].mode, i < 3 ? FileDialogMode::Open : FileDialogMode::Save);
    QCOMPARE(requests[i].filter, QStringLiteral("すべてのファイル(*.*)\0*.*\0\0"));
    QVERIFY(requests[i].owner == 0 && requests[i].fileBuffer.trimmed().remove(QChar(u'\0')).isEmpty());
  }
}

void ConvertTest::okChecksInOrder() {
  TempDir dir;
  const QString templ = Q(dir.Write("template.html", "x"));
  const QString out = Q(dir / "out.html");
  const struct {
    QString templateName, outputName, message;
  } refusals[] = {
      {QString(), QString(), QStringLiteral("定型ファイル名を入力してください")},
      {QString(), out, QStringLiteral("定型ファイル名を入力してください")},
      {Q(dir / "missing.html"), QString(), QStringLiteral("定型ファイルが存在しません")},
      {Q(dir.path()), out, QStringLiteral("定型ファイルが存在しません")},
      {templ + QStringLiteral(" "), out, QStringLiteral("定型ファイルが存在しません")},  // never trimmed
      {templ, QString(), QStringLiteral("出力ファイル名を入力してください")},
  };
  for (const auto& r : refusals) {
    ConvertWindow window;
    Conv& conv = window.Dialog();
    conv.show();
    TypeNames(r.templateName, r.outputName)(conv);
    QCOMPARE(Prompts(window.messageBox), QStringList{r.message});
    QVERIFY(IsRefusal(window.messageBox.calls[0]) && conv.isVisible());
    QVERIFY(conv.TemplateName() == r.templateName && conv.OutputName() == r.outputName);
  }
  // An existing output, here the template itself, needs Yes (the default);
  // No keeps the dialog open with both names.
  ConvertWindow window;
  Conv& conv = window.Dialog();
  conv.show();
  window.messageBox.Answer(MsgResult::No).Answer(MsgResult::Yes);
  TypeNames(templ, templ)(conv);
  QVERIFY(conv.isVisible() && conv.TemplateName() == templ && conv.OutputName() == templ);
  conv.OKButton_Click();
  QVERIFY(!conv.isVisible() && conv.result() == QDialog::Accepted);
  const QString question = QStringLiteral("出力ファイルはすでに存在します\n置き換えますか？");
  QCOMPARE(Prompts(window.messageBox), QStringList({question, question}));
  const auto& call = window.messageBox.calls[0];
  QVERIFY(call.buttons == MsgButtons::YesNo && call.icon == MsgIcon::Information && call.title == QStringLiteral("確認"));
}

void ConvertTest::namesAreEmptyAtEveryOpening() {
  TempDir dir;
  const QString templ = Q(dir.Write("t.txt", "plain"));
  const QString never = Q(dir / "never.txt");
  ConvertWindow window;
  const User runs[] = {
      TypeNames(templ, Q(dir / "out.txt")),
      [&](Conv& conv) { TypeNames(templ, never, false)(conv); conv.CancelButton->click(); },
      [&](Conv& conv) { TypeNames(templ, never, false)(conv); conv.close(); },
      TypeNames(templ, QString(), false),  // one name only: nothing happens
      {},
  };
  for (const User& run : runs) {
    Conv* before = window.convert.dialog();
    window.user = run;
    window.convert.Convert_Click();
    QVERIFY(!before || window.convert.dialog() == before);  // kept loaded between runs
  }
  QCOMPARE(window.namesAtOpening, QList<QStringList>(std::size(runs), QStringList{QString(), QString()}));
  QCOMPARE(ReadBytes(dir / "out.txt"), std::string("plain"));
  QVERIFY(!std::filesystem::exists(never.toStdString()) && window.messageBox.calls.empty());
  window.convert.CloseDialog();
  QVERIFY(!window.convert.dialog());
}

void ConvertTest::convertsTheSheetAsLastSaved() {
  TempDir dir;
  ConvertWindow window;
  window.Load(MakeSheet(3, 3, {u"name", u"value", u"r1", u"v1", u"r2", u"v2"}));
  window.backend.AcceptPath(Q(dir / "saved.csv"));
  window.commands.Save_Click();
  // Edits since the Save, a renamed field and a wider grid do not count.
  window.fg2.SetTextMatrix(1, 1, QStringLiteral("edited"));
  window.fg2.SetTextMatrix(0, 2, QStringLiteral("renamed"));
  window.fg2.SetCols(6);
  const auto templ = dir.Write("t.txt", "A<!-- name -->B<!-- value -->C<!-- name -->D<!-- renamed -->");
  window.user = TypeNames(Q(templ), Q(dir / "out.txt"));
  window.convert.Convert_Click();
  QVERIFY(window.messageBox.calls.empty() && window.commands.CheckModify());
  QCOMPARE(ReadBytes(dir / "out.txt"), std::string("Ar1Bv1Cr2D<!-- renamed -->"));
}

void ConvertTest::failuresAreReported() {
  TempDir dir;
  const auto templ = dir / "t.txt";
  const struct {
    std::u16string cell;
    std::filesystem::path output;
    QString message;
  } cases[] = {
      {u"ok", dir / "out1.txt", QStringLiteral("定型ファイルを読み込めませんでした。")},
      {u"ok", dir / "missing" / "out2.txt", QStringLiteral("ファイルに書き込めませんでした。\n") + Q(dir / "missing" / "out2.txt")},
      {u"雪だるま☃", dir / "out3.txt", QStringLiteral("保存できない文字が含まれています。\n「☃」（U+2603）")},
  };
  for (const auto& c : cases) {
    dir.Write("t.txt", "<!-- f -->");
    ConvertWindow window;
    window.sheetArray = SheetArray::FromSheet(MakeSheet(2, 2, {u"f", c.cell}));
    window.user = [&](Conv& conv) {
      TypeNames(Q(templ), Q(c.output))(conv);
      // The template goes away after the dialog found it.
      if (&c == &cases[0]) std::filesystem::remove(templ);
    };
    window.convert.Convert_Click();
    QCOMPARE(Prompts(window.messageBox), QStringList{c.message});
    QVERIFY(IsRefusal(window.messageBox.calls[0]) && !std::filesystem::exists(c.output));
  }
}

void ConvertTest::bundledExampleThroughTheModalDialog() {
  TempDir dir;
  CommandWindow window;
  window.backend.AcceptPath(Q(Examples() / "sample.csv"));
  window.commands.Open_Click();
  ConvertCommand convert({nullptr, window.fg2, window.sheetArray, window.backend, window.messageBox});
  QTimer::singleShot(0, [&] {
    QCOMPARE(QApplication::activeModalWidget(), convert.dialog());
    TypeNames(Q(Examples() / "template.html"), Q(dir / "out.html"))(*convert.dialog());
    if (convert.dialog()->isVisible()) convert.dialog()->reject();  // OK failed: end it anyway
  });
  convert.Convert_Click();
  QVERIFY(window.messageBox.calls.empty());
  QCOMPARE(ReadBytes(dir / "out.html"), ReadBytes(Examples() / "expected.html"));
}

QTEST_MAIN(ConvertTest)
#include "ConvertTest.moc"
