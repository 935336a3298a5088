// Memory under a limit: a large change is refused before it begins when the
// memory is not there, a failed allocation inside a change leaves the sheet
// and its history as they were, the history keeps within its bound under
// replace-alls of enormous cells, and nothing a handler lets out ends the
// program.

#include <QtTest>

#include <QPushButton>
#include <cstdlib>
#include <functional>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's allocator, which takes malloc's place (its header is not
// always installed).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

#include "MainWindowHarness.h"
#include "commondialog/ErrorGuard.h"
#include "commondialog/GuardedApplication.h"
#include "dialogs/FindReplace.h"
#include "sheet/SheetEdits.h"
#include "sheet/document/SheetDocument.h"
#include "support/SheetOf.h"

// Allocations through operator new are counted and fail on request: armed
// with n, the (n + 1)-th from then on throws, once.
namespace {
thread_local long allocationsMade = 0;
thread_local long allocationsBeforeFailure = -1;
}  // namespace

void* operator new(std::size_t size) {
  ++allocationsMade;
  if (allocationsBeforeFailure >= 0 && allocationsBeforeFailure-- == 0) throw std::bad_alloc();
  if (void* memory = std::malloc(size > 0 ? size : 1)) return memory;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }

using namespace quillary;
using namespace quillary::testing;
using namespace Qt::StringLiterals;

namespace {

class FixedBudget final : public MemoryBudget {
 public:
  explicit FixedBudget(std::uint64_t bytes) : bytes_(bytes) {}
  bool Affords(std::uint64_t bytes) const override { return bytes <= bytes_; }

 private:
  std::uint64_t bytes_;
};

// What a change may have touched.
struct DocumentState {
  explicit DocumentState(const SheetDocument& document)
      : sheet(document.sheet()),
        steps(document.HistorySteps()),
        canUndo(document.CanUndo()),
        modified(document.CheckModify()) {}
  bool operator==(const DocumentState&) const = default;

  Sheet sheet;
  int steps;
  bool canUndo;
  bool modified;
};

// The find window with both boxes filled in.
FindReplace& ReplaceWindow(MainWindowHarness& h, const QString& find, const QString& with) {
  h.window.Run("Replace");
  auto& window = Find<FindReplace>(h.window, "FindReplace");
  Find<QLineEdit>(window, "FindText").setText(find);
  Find<QLineEdit>(window, "ReplaceText").setText(with);
  return window;
}

void Click(const QObject& window, const char* button) { Find<QPushButton>(window, button).click(); }

// What the allocator holds for the program.
std::size_t AllocatedBytes() {
#if defined(__SANITIZE_ADDRESS__)
  return __sanitizer_get_current_allocated_bytes();
#else
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
#endif
}

using Change = std::function<void(SheetDocument&)>;

}  // namespace

Q_DECLARE_METATYPE(Change)

class MemoryTest : public QObject {
  Q_OBJECT

 private slots:
  // Refused with the sheet, its history and its modified state as they
  // were; with the memory there, the same command goes through. (Every
  // kind of change refused: the document's tests.)
  void aLargeChangeIsRefusedWhenTheMemoryIsNotThere() {
    const auto command = [](MainWindowHarness& h) { Click(ReplaceWindow(h, u"1"_s, u"x"_s), "ReplaceAll"); };
    MainWindowHarness h;
    SheetDocument& document = h.window.document();
    h.grid().SetSheet(NumberedSheet(4, 3));
    h.grid().SetTextMatrix(4, 3, u"edited"_s);
    h.Select(2, 2, 2, 2);
    const DocumentState before(document);
    const FixedBudget none(0);
    document.SetMemoryBudget(none);
    command(h);
    QCOMPARE(h.messageBox.TakePrompts(), QStringList{OutOfMemoryMessage()});
    QVERIFY(DocumentState(document) == before);

    const FixedBudget enough(64 * kMiB);
    document.SetMemoryBudget(enough);
    h.Select(2, 2, 2, 2);
    command(h);
    QCOMPARE(h.messageBox.TakePrompts(), QStringList());
    QCOMPARE(document.HistorySteps(), before.steps + 1);
  }

  // One cell of a million "a", each to become 3,000 "x": six gigabytes,
  // refused before a byte of it is made.
  void anEnormousReplacementIsRefusedBeforeItIsMade() {
    MainWindowHarness h;
    SheetDocument& document = h.window.document();
    Sheet sheet = NumberedSheet(2, 2);
    sheet.SetText(1, 1, std::u16string(1'000'000, u'a'));
    h.grid().SetSheet(sheet);
    const DocumentState before(document);
    const FixedBudget gibibyte(1024 * kMiB);
    document.SetMemoryBudget(gibibyte);
    FindReplace& find = ReplaceWindow(h, u"a"_s, QString(3000, u'x'));
    for (const char* button : {"ReplaceAll", "ReplaceOne"}) {
      h.Select(1, 1, 1, 1);
      const std::size_t allocated = AllocatedBytes();
      Click(find, button);
      QVERIFY2(AllocatedBytes() < allocated + 16 * kMiB, button);
      QCOMPARE(h.messageBox.TakePrompts(), QStringList{OutOfMemoryMessage()});
      QVERIFY2(DocumentState(document) == before, button);
    }
  }

  // Ten cells of a million characters, a -> b, then b -> a, and so on: each
  // step holds 20 MB that nothing else does.
  void alternatingReplaceAllsKeepTheHistoryWithinItsBound() {
    MainWindowHarness h;
    SheetDocument& document = h.window.document();
    Sheet sheet(2, 11);
    LabelSheet(sheet);
    for (int c = 1; c <= 10; ++c) sheet.SetText(1, c, std::u16string(1'000'000, u'a'));
    h.grid().SetSheet(std::move(sheet));
    const std::size_t start = AllocatedBytes();
    FindReplace& find = ReplaceWindow(h, u"a"_s, u"b"_s);
    constexpr int kSteps = 16;  // 320 MB of history without the bound
    for (int step = 1; step <= kSteps; ++step) {
      Find<QLineEdit>(find, "FindText").setText(step % 2 ? u"a"_s : u"b"_s);
      Find<QLineEdit>(find, "ReplaceText").setText(step % 2 ? u"b"_s : u"a"_s);
      Click(find, "ReplaceAll");
      QCOMPARE(find.Result(), u"10000000 か所置換しました。"_s);
      QVERIFY(document.HistoryBytes() <= document.HistoryBound());
    }
    // The program holds the new sheet and the bounded history, no more.
    const std::size_t grown = AllocatedBytes() - start;
    QVERIFY2(grown <= document.HistoryBound() + document.SheetBytes() + 16 * kMiB, QByteArray::number(grown >> 20));

    // Undo goes back over the steps kept and stops where the older ones
    // were forgotten; Redo brings them all again.
    const int kept = document.HistorySteps();
    QVERIFY(kept >= 2 && kept < kSteps);
    for (int i = 0; i < kept; ++i) h.window.Run("Undo");
    QVERIFY(!document.CanUndo() && !h.window.Item("Undo")->isEnabled());
    const std::u16string oldest(1'000'000, (kSteps - kept) % 2 == 0 ? u'a' : u'b');
    h.window.Run("Undo");
    QVERIFY(h.grid().sheet().Text(1, 1) == oldest && h.grid().sheet().Text(1, 10) == oldest);
    while (document.CanRedo()) h.window.Run("Redo");
    QVERIFY(h.grid().sheet().Text(1, 5) == std::u16string(1'000'000, u'a'));
    QCOMPARE(h.messageBox.TakePrompts(), QStringList());
  }

  void aFailedAllocationInsideAChangeLeavesEverythingAsItWas_data() {
    QTest::addColumn<Change>("change");
    QTest::newRow("a cell") << Change([](SheetDocument& d) { d.SetCell(1, 1, SharedText(u"new cell text")); });
    QTest::newRow("a paste") << Change([](SheetDocument& d) {
      d.SetBlock(1, 1, 2, 3, {{u"a", u"b", u"c"}, {u"d", u"e with a longer text"}});
    });
    QTest::newRow("a sort") << Change([](SheetDocument& d) {
      const TextOrder order = [](std::u16string_view a, std::u16string_view b) { return a.compare(b); };
      d.Change(EditBytes(d.sheet().Rows(), d.sheet().Cols()),
               [&] { return WithRowsSorted(d.sheet(), 2, true, order); });
    });
    QTest::newRow("names in one step") << Change([](SheetDocument& d) {
      SheetDocument::Step step(d);
      for (int c = 1; c < d.sheet().Cols(); ++c) d.SetCell(0, c, SharedText(u"a new name " + DecimalText(c)));
      step.Commit();
    });
  }

  // Every allocation the change makes fails in turn: each failure leaves
  // the document as it was, with its history whole.
  void aFailedAllocationInsideAChangeLeavesEverythingAsItWas() {
    QFETCH(Change, change);
    const auto fresh = [] {
      auto document = std::make_unique<SheetDocument>();
      document->Reset(NumberedSheet(4, 3));
      document->SetCell(4, 3, SharedText(u"earlier"));
      return document;
    };
    std::unique_ptr<SheetDocument> document = fresh();
    const DocumentState before(*document);
    const long start = allocationsMade;
    change(*document);
    const long allocations = allocationsMade - start;
    const DocumentState after(*document);
    QVERIFY(allocations > 0 && !(after == before) && after.steps == before.steps + 1);
    for (long n = 0; n < allocations; ++n) {
      document = fresh();
      bool failed = false;
      allocationsBeforeFailure = n;
      try {
        change(*document);
      } catch (const std::bad_alloc&) {
        failed = true;
      }
      allocationsBeforeFailure = -1;
      // A failure the change gets over (a sort without its buffer) still
      // makes it.
      QVERIFY2(DocumentState(*document) == (failed ? before : after), QByteArray::number(qlonglong(n)));
      if (!failed) continue;
      change(*document);
      document->Undo();
      QVERIFY(DocumentState(*document).sheet == before.sheet);
      document->Redo();
      QVERIFY2(DocumentState(*document) == after, QByteArray::number(qlonglong(n)));
    }
  }

  // Through the application's own guard, the last one: the message, and the
  // program goes on.
  void whatAHandlerLetsOutIsShownAndTheProgramGoesOn() {
    FakeMessageBox messageBox;
    auto& application = static_cast<GuardedApplication&>(*QCoreApplication::instance());
    application.SetMessageBox(&messageBox);
    QPushButton button(u"OK"_s);
    int clicks = 0;
    connect(&button, &QPushButton::clicked, [&clicks] {
      if (++clicks == 1) throw std::bad_alloc();
    });
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QTest::mouseClick(&button, Qt::LeftButton);
    QTimer::singleShot(0, [] { throw std::runtime_error("broken"); });
    QTest::qWait(20);
    QTest::mouseClick(&button, Qt::LeftButton);
    application.SetMessageBox(nullptr);
    QCOMPARE(messageBox.TakePrompts(),
             (QStringList{OutOfMemoryMessage(), u"予期しないエラーが発生しました。\nbroken"_s}));
    QCOMPARE(clicks, 2);
  }
};

int main(int argc, char* argv[]) {
  GuardedApplication application(argc, argv);
  application.setAttribute(Qt::AA_Use96Dpi, true);
  MemoryTest test;
  QTEST_SET_MAIN_SOURCE_PATH
  return QTest::qExec(&test, argc, argv);
}

#include "MemoryTest.moc"
