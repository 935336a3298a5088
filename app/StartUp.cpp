#include "app/StartUp.h"

#include <memory>
#include <utility>

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace quillary {

namespace {

// Long enough for any window system to map the window.
constexpr int kLongestWaitMs = 3000;

class FirstExpose : public QObject {
 public:
  FirstExpose(QWidget& window, std::function<void()> work) : QObject(&window), work_(std::move(work)) {
    if (QWindow* handle = window.windowHandle()) handle->installEventFilter(this);
    QTimer::singleShot(kLongestWaitMs, this, [this] { Run(); });
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed())
      // After the window has drawn itself.
      QTimer::singleShot(0, this, [this] { Run(); });
    return QObject::eventFilter(watched, event);
  }

 private:
  void Run() {
    if (!work_) return;
    std::function<void()> work = std::exchange(work_, nullptr);
    deleteLater();
    work();
  }

  std::function<void()> work_;
};

}  // namespace

void RunWhenShown(QWidget& window, std::function<void()> work) { new FirstExpose(window, std::move(work)); }

}  // namespace quillary
