#include "commondialog/LongWork.h"

#include <atomic>
#include <exception>
#include <thread>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include "commondialog/DialogOwner.h"
#include "commondialog/MessageBox.h"

namespace quillary {

namespace {

// Work shorter than this shows no dialog, only the busy cursor.
constexpr int kDialogAfterMs = 500;
constexpr int kRefreshMs = 100;

bool IsUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: return true;
    default: return false;
  }
}

// Keeps the user's input from every window but the progress dialog while
// the work runs, and keeps the windows from being closed: nothing may
// change the sheet the work reads.
class InputHold : public QObject {
 public:
  InputHold() { qApp->installEventFilter(this); }
  void Allow(QWidget* dialog) { allowed_ = dialog; }

 protected:
  bool eventFilter(QObject* target, QEvent* event) override {
    if (event->type() == QEvent::Close) {
      auto* widget = qobject_cast<QWidget*>(target);
      if (!widget || !widget->isWindow() || Allowed(target) || (widget->windowType() & Qt::Popup) == Qt::Popup)
        return false;
      event->ignore();
      return true;
    }
    return IsUserInput(event->type()) && !Allowed(target);
  }

 private:
  bool Allowed(QObject* target) const {
    if (!allowed_) return false;
    if (auto* window = qobject_cast<QWindow*>(target)) return window == allowed_->windowHandle();
    auto* widget = qobject_cast<QWidget*>(target);
    return widget && (widget == allowed_ || allowed_->isAncestorOf(widget));
  }

  QPointer<QWidget> allowed_;
};

// The window in use; before any is active (a file named at start-up), the
// main window, so that the dialog sits over it.
QWidget* Owner() {
  QWidget* shown = nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (!shown && widget->isVisible() && widget->windowType() == Qt::Window) shown = widget;
  return DialogOwner(shown);
}

}  // namespace

// What the user sees while the work runs: the busy cursor, then the dialog.
class LongWork::Watch {
 public:
  explicit Watch(QString label) : label_(std::move(label)) {
    QApplication::setOverrideCursor(Qt::BusyCursor);
    started_.start();
  }
  ~Watch() {
    QApplication::restoreOverrideCursor();
    // The keyboard goes back to the window the dialog sat over, whatever
    // the desktop does with the focus of a window that goes.
    if (dialog_) {
      dialog_.reset();
      if (owner_) owner_->activateWindow();
    }
  }

  WorkProgress& progress() { return progress_; }

  // Shows the dialog once the work has run long enough, and how far it is.
  void Refresh() {
    if (!dialog_ && started_.elapsed() >= kDialogAfterMs) {
      owner_ = Owner();
      dialog_ = std::make_unique<QProgressDialog>(label_, QString(), 0, WorkProgress::kWhole, owner_);
      // Enter typed ahead (the answer to the question before) must not
      // stop the work: only a click or Esc does.
      auto* cancel = new QPushButton(QStringLiteral("キャンセル"));
      cancel->setAutoDefault(false);
      dialog_->setCancelButton(cancel);
      dialog_->setWindowTitle(kProgramTitle);
      dialog_->setWindowModality(Qt::ApplicationModal);
      dialog_->setAutoReset(false);
      dialog_->setMinimumDuration(0);
      QObject::connect(dialog_.get(), &QProgressDialog::canceled, [this] { progress_.Cancel(); });
      hold_.Allow(dialog_.get());
      dialog_->show();
    }
    if (dialog_ && !dialog_->wasCanceled()) dialog_->setValue(progress_.Thousandths());
  }

 private:
  QString label_;
  QElapsedTimer started_;
  InputHold hold_;
  WorkProgress progress_;
  QPointer<QWidget> owner_;
  std::unique_ptr<QProgressDialog> dialog_;
};

LongWork::LongWork(QString label) : watch_(std::make_unique<Watch>(std::move(label))) {}

LongWork::~LongWork() = default;

void LongWork::RunOnThread(const std::function<void(WorkProgress&)>& work) {
  WorkProgress& progress = watch_->progress();
  progress.Check();
  QEventLoop loop;
  QTimer refresh;
  QObject::connect(&refresh, &QTimer::timeout, [this] { watch_->Refresh(); });
  refresh.start(kRefreshMs);
  std::exception_ptr failure;
  std::atomic<bool> finished{false};
  std::thread worker([&] {
    try {
      work(progress);
    } catch (...) {
      failure = std::current_exception();
    }
    finished.store(true);
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  // The loop may also end because the program is quitting: the work is
  // then asked to stop, and waited for.
  while (!finished.load()) {
    loop.exec();
    if (!finished.load() && QCoreApplication::closingDown()) progress.Cancel();
  }
  worker.join();
  if (failure) std::rethrow_exception(failure);
  // Stopped too late to stop it: what it made is not used all the same.
  progress.Check();
}

}  // namespace quillary
