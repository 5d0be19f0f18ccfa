#include "ui/qt_callover.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <chrono>

#include "core/clock.h"

namespace zova::ui {

QtCallOver::QtCallOver() : mainId_(std::this_thread::get_id()) {}

QtCallOver::~QtCallOver() {
  // A caller still waiting would wait forever; let it go on.
  ServePending(true);
}

bool QtCallOver::IsMainThread() const {
  return std::this_thread::get_id() == mainId_;
}

void QtCallOver::WakeGuiThread() {
  QMetaObject::invokeMethod(
      this, [this] { ServePending(); }, Qt::QueuedConnection);
}

void QtCallOver::Invoke(const std::function<void()>& fn) {
  if (IsMainThread()) {
    fn();
    return;
  }
  queue_.RunAndWait(fn, [this] { WakeGuiThread(); });
}

void QtCallOver::Post(std::function<void()> fn) {
  QMetaObject::invokeMethod(this, std::move(fn), Qt::QueuedConnection);
}

size_t QtCallOver::ServePending(bool force) {
  if (modalDepth_ > 0 && !force) return 0;
  return queue_.Serve();
}

size_t QtCallOver::Waiting() {
  return queue_.Size();
}

void QtCallOver::ReleaseAfterModal() {
  if (modalDepth_ > 0 && --modalDepth_ == 0) WakeGuiThread();
}

bool QtCallOver::ServeFor(int64_t ms, const std::function<bool()>& done) {
  Clock& clock = TheClock();
  int64_t end = clock.TickMs() + ms;
  for (;;) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    ServePending(true);
    if (done && done()) return true;
    if (clock.TickMs() >= end) return false;
    const bool idle = !queue_.WaitForCall(2);
    // A test clock moves only when slept on; the steady clock has moved by itself.
    if (idle && dynamic_cast<SteadyClock*>(&clock) == nullptr) clock.Sleep(10);
  }
}

ModalScope::ModalScope() : callOver_(dynamic_cast<QtCallOver*>(MainThread::Current())) {
  if (callOver_ && callOver_->IsMainThread())
    callOver_->HoldForModal();
  else
    callOver_ = nullptr;
}

ModalScope::~ModalScope() {
  if (callOver_) callOver_->ReleaseAfterModal();
}

}  // namespace zova::ui
