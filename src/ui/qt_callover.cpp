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
  Job job;
  job.fn = fn;
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(&job);
    queueCv_.notify_one();
  }
  WakeGuiThread();
  std::unique_lock lock(mutex_);
  job.doneCv.wait(lock, [&] { return job.done; });
}

void QtCallOver::Post(std::function<void()> fn) {
  QMetaObject::invokeMethod(this, std::move(fn), Qt::QueuedConnection);
}

size_t QtCallOver::ServePending(bool force) {
  if (modalDepth_ > 0 && !force) return 0;
  size_t ran = 0;
  std::unique_lock lock(mutex_);
  while (!queue_.empty()) {
    Job* job = queue_.front();
    queue_.pop_front();
    lock.unlock();
    try {
      job->fn();
    } catch (...) {
      // A failing operation must not leave its caller waiting forever.
    }
    lock.lock();
    ++ran;
    job->done = true;
    job->doneCv.notify_one();
  }
  return ran;
}

size_t QtCallOver::Waiting() {
  std::lock_guard lock(mutex_);
  return queue_.size();
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
    bool idle;
    {
      std::unique_lock lock(mutex_);
      queueCv_.wait_for(lock, std::chrono::milliseconds(2), [&] { return !queue_.empty(); });
      idle = queue_.empty();
    }
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
