// The window's recovery file: written after edits, offered back at the next
// start, restored or declined, damaged files set aside (two programs apart:
// the recovery folder's tests), and gone once the sheet is saved or deliberately let go.

#include <QtTest>

#include <memory>

#include "app/ProgramRecovery.h"
#include "mainwindow/MainWindowHarness.h"
#include "platform/FileIO.h"
#include "recovery/RecoveryFile.h"
#include "recovery/keeper/RecoveryKeeper.h"
#include "sheet/document/SheetDocument.h"
#include "support/SheetOf.h"
#include "support/TempDir.h"

using namespace quillary;
using namespace quillary::testing;
using namespace Qt::StringLiterals;

namespace {

// A program's window with its commands and its recovery, in the state
// folder XDG_STATE_HOME names.
struct RecoveringWindow {
  RecoveringWindow() { recovery = std::make_unique<ProgramRecovery>(h.window); }
  RecoveryKeeper& keeper() const { return *recovery->keeper(); }
  // What waits is written, and on the disk.
  void Keep() {
    keeper().WriteNow();
    keeper().WaitForWriter();
  }
  bool Kept() const { return std::filesystem::exists(keeper().file()); }
  RecoveredSheet ReadBack() const { return ReadRecovery(ReadFileBytes(keeper().file())); }
  SheetDocument& document() const { return h.window.document(); }

  MainWindowHarness h;
  std::unique_ptr<ProgramRecovery> recovery;
};

const RecoveryInfo kNamed{u"/data/名簿.csv", TextEncoding::Utf8, true, 1700000000000};
const QString kQuestion = u"前回保存されなかった変更があります。復元しますか？"_s;

}  // namespace

class RecoveryWindowTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TempDir> state_;
  std::filesystem::path Folder() const { return state_->path() / "quillary" / "recovery"; }
  // What a killed program leaves: its file, no lock held.
  std::filesystem::path LeaveBehind(const char* name, const RecoveryInfo& info, const Sheet& sheet) const {
    std::filesystem::create_directories(Folder());
    const std::filesystem::path file = Folder() / name;
    WriteRecoveryFile(file, info, sheet);
    return file;
  }

 private slots:
  void init() {
    state_ = std::make_unique<TempDir>();
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString(state_->path().string()));
  }
  void cleanup() { state_.reset(); }

  void writtenAfterEditsAsTheirChanges() {
    RecoveringWindow w;
    QVERIFY(!w.Kept());
    w.h.grid().SetTextMatrix(1, 1, u"最初"_s);
    // By itself, a little while after the change.
    QTRY_VERIFY_WITH_TIMEOUT(w.Kept(), RecoveryKeeper::kQuietMs + 3000);
    w.keeper().WaitForWriter();
    RecoveredSheet read = w.ReadBack();
    QCOMPARE(read.records, 0);
    QVERIFY(read.sheet == w.h.grid().sheet());

    const struct {
      const char* name;
      std::function<void()> change;
      int records;
    } steps[] = {
        {"a cell: a record", [&] { w.h.grid().SetTextMatrix(2, 2, u"次"_s); }, 1},
        {"the encoding: a record", [&] { w.h.window.Item("EncodingUtf8")->trigger(); }, 2},
        {"a resize: a new base", [&] { w.document().Resize(4, 3); }, 0},
        {"a paste after it: a record",
         [&] {
           w.document().SetBlock(1, 1, 2, 2, {{u"a"_s, u"b"_s}, {u"c"_s}});
         },
         1},
        {"a paste over most of the sheet: a new base",
         [&] {
           w.document().SetBlock(0, 0, 3, 2, {{u"x"_s, u"y"_s, u"z"_s}, {u"1"_s}, {u"2"_s}, {u"3"_s}});
         },
         0},
    };
    for (const auto& step : steps) {
      step.change();
      w.Keep();
      read = w.ReadBack();
      QVERIFY2(read.records == step.records, step.name);
      QVERIFY2(read.sheet == w.h.grid().sheet(), step.name);
    }
    QCOMPARE(read.info.encoding, TextEncoding::Utf8);
    QVERIFY(read.info.fileName.empty());
    QVERIFY(read.info.modified);
  }

  void offeredAtTheNextStart_data() {
    QTest::addColumn<bool>("damaged");
    QTest::addColumn<bool>("restored");
    QTest::newRow("restored") << false << true;
    QTest::newRow("declined") << false << false;
    QTest::newRow("damaged") << true << false;
  }
  void offeredAtTheNextStart() {
    QFETCH(bool, damaged);
    QFETCH(bool, restored);
    const Sheet left = NumberedSheet(3, 2);
    const std::filesystem::path file = LeaveBehind("4242-gone.qrec", kNamed, left);
    if (damaged) std::filesystem::resize_file(file, std::filesystem::file_size(file) - 6);

    RecoveringWindow w;
    if (!damaged) w.h.messageBox.Answer(restored ? MsgResult::Yes : MsgResult::No);
    w.recovery->OfferLeftovers();
    const QStringList prompts = w.h.messageBox.TakePrompts();
    QCOMPARE(prompts.size(), 1);
    QVERIFY(!std::filesystem::exists(file));
    if (damaged) {
      QVERIFY2(prompts[0].startsWith(u"前回保存されなかった変更を復元できませんでした。\n変更の控えが壊れています。"_s),
               qPrintable(prompts[0]));
      QVERIFY(prompts[0].endsWith(QString::fromStdString(file.string()) + u".damaged"_s));
      QVERIFY(std::filesystem::exists(file.string() + ".damaged"));
    } else {
      QVERIFY(prompts[0].startsWith(kQuestion + u"\nファイル: /data/名簿.csv\n日時: "_s));
    }
    // Restored: the sheet, its name and encoding, modified, with no history;
    // the file is now this program's own.
    QCOMPARE(w.h.grid().sheet() == left, restored);
    QCOMPARE(w.document().fileName(), restored ? u"/data/名簿.csv"_s : QString());
    QCOMPARE(w.h.window.document().fileEncoding(), restored ? TextEncoding::Utf8 : TextEncoding::Cp932);
    QCOMPARE(w.document().CheckModify(), restored);
    QVERIFY(!w.document().CanUndo());
    QCOMPARE(w.Kept(), restored);
    if (restored) QVERIFY(w.ReadBack().sheet == left);
  }

  // Newest first; No goes on to the next; after a Yes the rest wait.
  void severalLeftovers() {
    const auto older = LeaveBehind("1-older.qrec", {}, NumberedSheet(1, 1));
    const auto newer = LeaveBehind("2-newer.qrec", kNamed, NumberedSheet(2, 2));
    const auto oldest = LeaveBehind("3-oldest.qrec", {}, NumberedSheet(3, 3));
    const auto now = std::filesystem::file_time_type::clock::now();
    std::filesystem::last_write_time(oldest, now - std::chrono::minutes(9));
    std::filesystem::last_write_time(older, now - std::chrono::minutes(5));

    RecoveringWindow w;
    w.h.messageBox.Answer(MsgResult::No).Answer(MsgResult::Yes);
    w.recovery->OfferLeftovers();
    const QStringList prompts = w.h.messageBox.TakePrompts();
    QCOMPARE(prompts.size(), 2);
    QVERIFY(prompts[0].contains(u"/data/名簿.csv"_s));
    QVERIFY(prompts[0].endsWith(u"（ほかに 2 件あります。新しいものから順にお尋ねします。）"_s));
    QVERIFY(prompts[1].startsWith(kQuestion + u"\nファイル: （名前のないシート）\n"_s));
    QVERIFY(prompts[1].endsWith(u"（ほかに 1 件あります。新しいものから順にお尋ねします。）"_s));
    QVERIFY(w.h.grid().sheet() == NumberedSheet(1, 1));
    QVERIFY(!std::filesystem::exists(newer));
    QVERIFY(!std::filesystem::exists(older));
    QVERIFY(std::filesystem::exists(oldest));
  }

  void goneOnceTheSheetIsLetGo_data() {
    QTest::addColumn<QString>("how");
    for (const char* how : {"Save", "New", "Open", "Undo", "exit"}) QTest::newRow(how) << QString::fromLatin1(how);
  }
  void goneOnceTheSheetIsLetGo() {
    QFETCH(QString, how);
    const std::filesystem::path csv = state_->Write("list.csv", "a,b\r\n1,2\r\n");
    RecoveringWindow w;
    w.h.grid().SetTextMatrix(1, 1, u"変更"_s);
    w.Keep();
    QVERIFY(w.Kept());
    const std::filesystem::path file = w.keeper().file();
    const std::filesystem::path lock = std::filesystem::path(file).replace_extension(".lock");
    // No: do not save; the dialogs answer with a file.
    w.h.messageBox.Answer(MsgResult::No);
    w.h.backend.AcceptPath(QString::fromStdString((how == u"Save" ? *state_ / "saved.csv" : csv).string()));
    if (how == u"Save") w.h.window.Run("Save");
    if (how == u"New") w.h.window.Run("New");
    if (how == u"Open") w.h.window.Run("Open");
    if (how == u"Undo") w.h.window.Run("Undo");
    if (how == u"exit") {
      QVERIFY(w.h.window.close());
      w.recovery.reset();
      QVERIFY(!std::filesystem::exists(lock));
    } else {
      QVERIFY(!w.document().CheckModify());
      w.Keep();
    }
    QVERIFY(!std::filesystem::exists(file));
  }
};

QTEST_MAIN(RecoveryWindowTest)
#include "RecoveryWindowTest.moc"
