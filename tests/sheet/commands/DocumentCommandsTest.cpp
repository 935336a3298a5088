// New, Open and Save through the command object, with the file dialog and
// the message box answered by script.

#include <QtTest>

#include <QApplication>

#include "commondialog/ErrorGuard.h"
#include "platform/CodePage.h"
#include "platform/MemoryBudget.h"
#include "platform/TextEncoding.h"
#include "sheet/CsvDocument.h"
#include "sheet/commands/CommandWindow.h"
#include "support/TempDir.h"

using namespace quillary;
using namespace quillary::testing;

namespace {

const QString kQuestion = QStringLiteral("この文章は変更されています\n保存しますか？");
const QString kTooLong = QStringLiteral("ファイル名が長すぎます。");
const QString kUnencodable = QStringLiteral("保存できない文字が含まれています。\n");
const QString kUtf8Hint = QStringLiteral("\n「ファイル」メニューの「文字コード」で UTF-8 を選ぶと保存できます。");

// Elements never assigned read as empty texts.
bool HoldsSheet(const SheetArray& array, const Sheet& sheet) {
  bool same = array.Fields() == sheet.Cols() - 1 && array.Rows() == sheet.Rows();
  for (int f = 0; same && f < array.Fields(); ++f)
    for (int r = 0; same && r < array.Rows(); ++r) same = array.Text(f, r) == sheet.Text(r, f + 1);
  return same;
}

// The grid, the array and the modified state, which a failed command keeps.
struct Snapshot {
  explicit Snapshot(const CommandWindow& w) : sheet(w.fg2.sheet()), array(w.sheetArray()), modified(w.CheckModify()) {}
  bool Same(const CommandWindow& w) const {
    return w.fg2.sheet() == sheet && w.sheetArray() == array && w.CheckModify() == modified;
  }
  Sheet sheet;
  SheetArray array;
  bool modified;
};

// The file dialogs asked for, in order.
QStringList Modes(const CommandWindow& w) {
  QStringList modes;
  for (const auto& r : w.backend.fileRequests) modes << (r.mode == FileDialogMode::Open ? "open" : "save");
  return modes;
}

struct ModifiedWindow : CommandWindow {
  ModifiedWindow() { fg2.SetTextMatrix(1, 1, QStringLiteral("edited")); }
};

}  // namespace

class DocumentCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void savedSheetOpensAsTheSameSheet() {
    TempDir dir;
    const QString file = Q(dir / "a.csv");
    CommandWindow window;
    window.Load(MakeSheet(4, 4, {u"名前", u"説明", u"空", u"山田 \"太郎\"", u"1,5", u"", u"a|b", u"", u"☆,\"|\""}));
    window.fg2.SetTextMatrix(3, 1, QStringLiteral("x"));
    const Sheet saved = window.fg2.sheet();
    window.backend.AcceptPath(file);
    window.commands.Save_Click();
    // The data columns only, as the CSV writer puts them.
    QCOMPARE(ReadBytes(dir / "a.csv"), EncodeCsv(SheetArray::FromSheet(saved)));
    QVERIFY(!window.CheckModify());
    QVERIFY(window.sheetArray() == SheetArray::FromSheet(saved));
    // Opened into the initial 11 x 6 sheet and its empty array.
    CommandWindow opened;
    opened.fg2.SetColWidth(2, 1230);
    opened.backend.AcceptPath(file);
    opened.commands.Open_Click();
    QVERIFY(opened.messageBox.calls.empty());
    QCOMPARE(opened.fg2.ColWidth(2), 1230);  // existing columns keep their widths
    QVERIFY(opened.fg2.sheet() == saved);
    QVERIFY(HoldsSheet(opened.sheetArray(), saved));
    QVERIFY(!opened.CheckModify());
    // The opened sheet starts a history of its own.
    QVERIFY(!opened.fg2.document().CanUndo());
    // Named from outside, the file opens without a file dialog.
    CommandWindow named;
    named.commands.OpenNamed(file);
    QVERIFY(named.fg2.sheet() == saved);
    QVERIFY(named.backend.fileRequests.empty());
    QCOMPARE(named.text1, named.fg2.Text());
    QCOMPARE(opened.text1, opened.fg2.Text());
    QCOMPARE(Modes(window), QStringList{"save"});
    QCOMPARE(Modes(opened), QStringList{"open"});
    // A new sheet's Save asks from nowhere in particular; once the sheet has
    // a file, Save asks again, starting at that file; Open is left alone.
    QCOMPARE((QStringList{window.backend.fileRequests[0].initialDir, window.backend.fileRequests[0].initialName}),
             (QStringList{QString(), QString()}));
    for (CommandWindow* w : {&window, &opened}) {
      w->backend.fileRequests.clear();
      w->backend.AcceptPath(file);
      w->commands.Save_Click();
      QCOMPARE((QStringList{w->backend.fileRequests.at(0).initialDir, w->backend.fileRequests.at(0).initialName}),
               (QStringList{Q(dir.path()), QStringLiteral("a.csv")}));
    }
    opened.backend.AcceptPath(file);
    opened.commands.Open_Click();
    QVERIFY(opened.backend.fileRequests.at(1).initialName.isEmpty());
  }

  void failuresLeaveEverything() {
    TempDir dir;
    const std::string tooLarge = std::string(16384, ',').append("\r\nx\r\ny\r\n");  // 16,385 fields
    const QString existing = Q(dir.Write("existing.csv", "\"old\"\r\n"));
    const QString protectedFile = Q(dir.Write("protected.csv", "\"kept\"\r\n"));
    std::filesystem::permissions(protectedFile.toStdString(), std::filesystem::perms::owner_read);
    const struct {
      bool open;
      QString name;
      int row, col;  // the cell given text; field 2 is named 名前, field 3 has no name
      std::u16string text;
      QString message;
    } cases[] = {
        {true, Q(dir.Write("one.csv", "a,b\r\n")), 1, 1, u"",
         QStringLiteral(
             "このファイルはシートとして開けません。\n1 行目にフィールド名、2 行目以降にデータが必要です。")},
        {true, Q(dir.Write("large.csv", tooLarge)), 1, 1, u"",
         QStringLiteral("このファイルは大きすぎて開けません。\n（レコードは 1048576 件、フィールドは 16384 個までです。"
                        "このファイルはレコード 2 件、フィールド 16385 個です）")},
        {true, Q(dir.path()), 1, 1, u"",
         QStringLiteral("ファイルを読み込めませんでした。\n") + Q(dir.path()) + QStringLiteral("\nフォルダーです。")},
        {true, QStringLiteral("/dev/zero"), 1, 1, u"",
         QStringLiteral("ファイルを読み込めませんでした。\n/dev/"
                        "zero\n通常のファイルではありません（デバイスやパイプなどは読み込めません）。")},
        {false, protectedFile, 1, 1, u"",
         QStringLiteral("ファイルに書き込めませんでした。\n") + protectedFile +
             QStringLiteral("\nこのファイルは書き込み禁止になっています。")},
        {true, QString(300, u'n'), 1, 1, u"", kTooLong},
        {false, QString(300, u'n'), 1, 1, u"", kTooLong},
        {false, existing, 3, 2, u"☃",
         kUnencodable + QStringLiteral("（3 行目、フィールド「名前」: 「☃」（U+2603））") + kUtf8Hint},
        {false, existing, 0, 1, u"✈",
         kUnencodable + QStringLiteral("（1 番目のフィールド名: 「✈」（U+2708））") + kUtf8Hint},
        {false, existing, 2, 3, u"✈",
         kUnencodable + QStringLiteral("（2 行目、3 番目のフィールド: 「✈」（U+2708））") + kUtf8Hint},
    };
    for (const auto& c : cases) {
      CommandWindow window;
      window.fg2.SetTextMatrix(0, 2, QStringLiteral("名前"));
      window.fg2.SetTextMatrix(0, 3, QString());
      window.fg2.SetTextMatrix(c.row, c.col, QString::fromStdU16String(c.text));
      const Snapshot before(window);
      window.messageBox.Answer(MsgResult::No);
      window.backend.AcceptPath(c.name);
      c.open ? window.commands.Open_Click() : window.commands.Save_Click();
      QCOMPARE(window.messageBox.TakePrompts(),
               c.open ? QStringList({kQuestion, c.message}) : QStringList({c.message}));
      QVERIFY(before.Same(window));
      QCOMPARE(window.text1, QStringLiteral("(untouched)"));
      QVERIFY(!QApplication::overrideCursor());  // not left busy
    }
    // A file named from outside that is plainly not text is refused before
    // anything is asked.
    for (const std::string& bytes : {std::string("\x89PNG\r\n\x1A\n"), std::string("a,b\r\n1,\0\r\n", 9)}) {
      const QString picture = Q(dir.Write("picture.csv", bytes));
      CommandWindow window;
      const Snapshot before(window);
      window.commands.OpenNamed(picture);
      QCOMPARE(
          window.messageBox.TakePrompts(),
          QStringList{QStringLiteral(
                          "このファイルは文字のファイルではない（画像や圧縮ファイルなど）ため、開きませんでした。\n") +
                      picture});
      QVERIFY(before.Same(window));
    }
    {  // Within the limits but not within the memory left: refused before it
       // is read, nothing changed.
      const QString fits = Q(dir.Write("fits.csv", "a,b\r\n1,2\r\n"));
      struct NoMemory final : MemoryBudget {
        bool Affords(std::uint64_t) const override { return false; }
      } none;
      CommandWindow window;
      window.fg2.document().SetMemoryBudget(none);
      const Snapshot before(window);
      window.commands.OpenNamed(fits);
      QCOMPARE(window.messageBox.TakePrompts(), QStringList{OutOfMemoryMessage()});
      QVERIFY(before.Same(window));
    }
    QCOMPARE(ReadBytes(dir / "existing.csv"), std::string("\"old\"\r\n"));
    QCOMPARE(ReadBytes(dir / "protected.csv"), std::string("\"kept\"\r\n"));
    // A sheet without data columns cannot be saved: no dialog, nothing written.
    CommandWindow window;
    window.fg2.SetCols(1);
    const Snapshot before(window);
    QVERIFY(!window.commands.Save());
    QVERIFY(window.backend.fileRequests.empty());
    QVERIFY(before.Same(window));
  }

  void saveQuestionLoop() {
    TempDir dir;
    {  // Yes, then the save dialog cancelled: asked again; Cancel stops.
      ModifiedWindow window;
      const Snapshot before(window);
      window.messageBox.Answer(MsgResult::Yes).Answer(MsgResult::Cancel);
      window.commands.Open_Click();
      QCOMPARE(window.messageBox.calls[0].buttons, MsgButtons::YesNoCancel);
      QCOMPARE(window.messageBox.TakePrompts(), QStringList({kQuestion, kQuestion}));
      QCOMPARE(Modes(window), QStringList{"save"});
      QVERIFY(before.Same(window));
    }
    {  // A Save that fails shows why and asks again; No goes on without saving.
      ModifiedWindow window;
      window.messageBox.Answer(MsgResult::Yes).Answer(MsgResult::Ok).Answer(MsgResult::No);
      const QString bad = Q(dir / "no-such-folder" / "x.csv");
      window.backend.AcceptPath(bad);
      window.commands.New_Click();
      QCOMPARE(window.messageBox.TakePrompts(),
               QStringList({kQuestion,
                            QStringLiteral("ファイルに書き込めませんでした。\n") + bad +
                                QStringLiteral("\n保存先のフォルダーが見つかりません。"),
                            kQuestion}));
      QVERIFY(window.fg2.sheet() == MakeInitialSheet());
    }
    {  // A good Save lets the command go on to its own dialog.
      ModifiedWindow window;
      const Sheet edited = window.fg2.sheet();
      window.messageBox.Answer(MsgResult::Yes);
      window.backend.AcceptPath(Q(dir / "saved.csv"));
      window.commands.Open_Click();
      QCOMPARE(window.messageBox.TakePrompts(), QStringList({kQuestion}));
      QCOMPARE(Modes(window), (QStringList{"save", "open"}));
      QVERIFY(window.sheetArray() == SheetArray::FromSheet(edited));
      QVERIFY(!window.CheckModify());
    }
  }

  void saveWritesTheEncodingTheSheetWasOpenedWith() {
    TempDir dir;
    const std::u16string text = u"\"商品\",\"価格\"\r\n\"りんご\",\"4,950\"\r\n";
    const std::string utf8 = EncodeText(text, TextEncoding::Utf8);
    CommandWindow window;
    window.backend.AcceptPath(Q(dir.Write("in.csv", utf8)));
    window.commands.Open_Click();
    QCOMPARE(window.document.fileEncoding(), TextEncoding::Utf8);
    QCOMPARE(window.document.sheetArrayEncoding(), TextEncoding::Utf8);
    QCOMPARE(window.fg2.TextMatrix(1, 2), QStringLiteral("4,950"));
    window.backend.AcceptPath(Q(dir / "same.csv"));
    window.commands.Save_Click();
    QCOMPARE(ReadBytes(dir / "same.csv"), utf8);
    // The user's choice of encoding is what Save writes, and what Convert
    // then takes the sheet's file to be.
    window.document.fileEncoding() = TextEncoding::Utf8WithBom;
    window.backend.AcceptPath(Q(dir / "bom.csv"));
    window.commands.Save_Click();
    QCOMPARE(ReadBytes(dir / "bom.csv"), "\xEF\xBB\xBF" + utf8);
    QCOMPARE(window.document.sheetArrayEncoding(), TextEncoding::Utf8WithBom);
    window.document.fileEncoding() = TextEncoding::Cp932;
    window.backend.AcceptPath(Q(dir / "cp932.csv"));
    window.commands.Save_Click();
    QCOMPARE(ReadBytes(dir / "cp932.csv"), EncodeText(text, TextEncoding::Cp932));
    // New starts a sheet in the program's code page; SheetArray keeps its file's.
    window.document.fileEncoding() = TextEncoding::Utf8;
    window.document.MarkSaved();
    window.commands.New_Click();
    QCOMPARE(window.document.fileEncoding(), TextEncoding::Cp932);
    QCOMPARE(window.document.sheetArrayEncoding(), TextEncoding::Cp932);
    QVERIFY(window.messageBox.calls.empty());
  }

  void characterCp932LacksIsSavedInUtf8() {
    TempDir dir;
    CommandWindow window;
    window.fg2.SetTextMatrix(2, 1, QStringLiteral("😀 と ☃"));
    window.backend.AcceptPath(Q(dir / "a.csv"));
    window.commands.Save_Click();
    QCOMPARE(window.messageBox.TakePrompts(),
             QStringList{kUnencodable + QStringLiteral("（2 行目、フィールド「フィールド 1」: 「😀」（U+1F600））") +
                         kUtf8Hint});
    QVERIFY(!std::filesystem::exists(dir / "a.csv"));
    QVERIFY(window.CheckModify());
    window.document.fileEncoding() = TextEncoding::Utf8;
    window.backend.AcceptPath(Q(dir / "a.csv"));
    window.commands.Save_Click();
    QVERIFY(window.messageBox.calls.empty());
    QVERIFY(!window.CheckModify());
    // CP932 bytes that would open as UTF-8 are not written either.
    CommandWindow katakana;
    katakana.Load(MakeSheet(2, 2, {u"name", u"ﾃｽ"}));
    katakana.backend.AcceptPath(Q(dir / "b.csv"));
    katakana.commands.Save_Click();
    QCOMPARE(katakana.messageBox.TakePrompts(),
             QStringList{QStringLiteral(
                 "このシートを文字コード CP932 で保存すると、次に開いたときに UTF-8 のファイルと判断され、"
                 "同じシートに戻りません。\n「ファイル」メニューの「文字コード」で UTF-8 を選んで保存してください。")});
    QVERIFY(!std::filesystem::exists(dir / "b.csv"));
  }

  void undecodableBytesOpenAndAreReported() {
    TempDir dir;
    const struct {
      const char* name;
      std::string bytes;
      QString message;
      QString cell;  // (2, 1)
    } cases[] = {
        {"UTF-8 with BOM",
         "\xEF\xBB\xBF"
         "A\nx\n\xE6\x97\n",
         QStringLiteral("このファイルには、文字コード UTF-8 (BOM 付き) として読めないバイトが 2 個あります（最初は 3 "
                        "行目、先頭から 8 バイト目）。"
                        "\n読めなかった所は「\uFFFD」で表しています。"),
         QStringLiteral("\uFFFD")},
        // The reading rule stays (CP932), but the message names UTF-8.
        {"UTF-8 with a stray byte", "A\n\xE6\x97\xA5\n\xE6\x97\xA5\x81\x40\n",
         QStringLiteral("このファイルは UTF-8 のようですが、UTF-8 として正しくないバイト列が 1 個あります（最初は 3 "
                        "行目、先頭から 10 バイト目）。"
                        "\nUTF-8 としては読めないため CP932 として開きました。文字が化けている所があります。"),
         QString::fromStdU16String(DecodeCodePage("\xE6\x97\xA5\x81\x40"))},
    };
    for (const auto& c : cases) {
      CommandWindow window;
      window.backend.AcceptPath(Q(dir.Write("bad.csv", c.bytes)));
      window.commands.Open_Click();
      QCOMPARE(window.messageBox.calls.size(), std::size_t{1});
      QCOMPARE(window.messageBox.calls[0].icon, MsgIcon::Exclamation);
      QCOMPARE(window.messageBox.TakePrompts(), QStringList{c.message});
      QCOMPARE(window.fg2.TextMatrix(2, 1), c.cell);
      QVERIFY(!window.CheckModify());
    }
  }

  void closingAsksAboutUnsavedChanges() {
    TempDir dir;
    {  // Unmodified: no question.
      CommandWindow window;
      QVERIFY(window.commands.MayClose());
      QVERIFY(window.messageBox.calls.empty());
    }
    {  // A pending edit is committed first and counts; Cancel stays.
      CommandWindow window;
      window.pendingEdit = QStringLiteral("typed");
      window.messageBox.Answer(MsgResult::Cancel);
      QVERIFY(!window.commands.MayClose());
      QCOMPARE(window.messageBox.TakePrompts(), QStringList{kQuestion});
      QCOMPARE(window.fg2.Text(), QStringLiteral("typed"));
      QVERIFY(window.CheckModify());
    }
    {  // Yes and a Save closes.
      ModifiedWindow window;
      window.messageBox.Answer(MsgResult::Yes);
      window.backend.AcceptPath(Q(dir / "kept.csv"));
      QVERIFY(window.commands.MayClose());
      QVERIFY(ReadBytes(dir / "kept.csv").find("\"edited\"") != std::string::npos);
    }
  }

  void newKeepsTheSizeAndOnlyOpenAndSaveCommit() {
    TempDir dir;
    CommandWindow window;
    window.fg2.Resize(20, 8);
    window.fg2.SetColWidth(3, 1230);
    window.fg2.SetTextMatrix(0, 2, QStringLiteral("名前"));
    window.fg2.SetTextMatrix(5, 0, QStringLiteral("ラベル"));
    window.fg2.SetTextMatrix(12, 7, QStringLiteral("data"));
    const SheetArray array = window.sheetArray();
    window.pendingEdit = QStringLiteral("pending");
    window.messageBox.Answer(MsgResult::No);
    window.commands.New_Click();
    Sheet expected(20, 8);
    LabelSheet(expected);
    QVERIFY(window.fg2.sheet() == expected);
    QVERIFY(window.sheetArray() == array);
    QVERIFY(!window.CheckModify());
    QCOMPARE(window.fg2.ColWidth(3), 1230);
    QCOMPARE(window.text1, QString());
    QCOMPARE(window.commits, 0);
    // Save writes the pending text, committed into the current cell first.
    window.backend.AcceptPath(Q(dir / "committed.csv"));
    window.commands.Save_Click();
    QCOMPARE(window.commits, 1);
    QVERIFY(ReadBytes(dir / "committed.csv").find("\"pending\"") != std::string::npos);
    // Open commits before it asks, so the edit counts as a modification;
    // Cancel leaves the sheet as it was.
    window.pendingEdit = QStringLiteral("again");
    window.messageBox.Answer(MsgResult::Cancel);
    window.commands.Open_Click();
    QCOMPARE(window.commits, 2);
    QCOMPARE(window.fg2.Text(), QStringLiteral("again"));
    const Snapshot before(window);
    window.messageBox.Answer(MsgResult::Cancel);
    window.commands.New_Click();
    QVERIFY(before.Same(window));
    QCOMPARE(window.messageBox.TakePrompts(), QStringList({kQuestion, kQuestion, kQuestion}));
  }
};

QTEST_MAIN(DocumentCommandsTest)
#include "DocumentCommandsTest.moc"
