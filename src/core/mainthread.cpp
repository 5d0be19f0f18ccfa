#include "core/mainthread.h"

#include <algorithm>
#include <atomic>
#include <chrono>

#include "core/clock.h"

namespace zova {

namespace {
std::atomic<CallOver*> g_callOver{nullptr};
}  // namespace

namespace MainThread {

void invoke(const std::function<void()>& fn) {
  CallOver* c = g_callOver.load(std::memory_order_acquire);
  if (!c || c->IsMainThread())
    fn();
  else
    c->Invoke(fn);
}

bool ServeFor(int64_t ms, const std::function<bool()>& done) {
  CallOver* c = g_callOver.load(std::memory_order_acquire);
  if (c) return c->ServeFor(ms, done);
  int64_t end = TheClock().TickMs() + ms;
  while (TheClock().TickMs() < end) {
    if (done && done()) return true;
    TheClock().Sleep(10);
  }
  return done && done();
}

CallOver* Current() {
  return g_callOver.load(std::memory_order_acquire);
}
void Install(CallOver* callOver) {
  g_callOver.store(callOver, std::memory_order_release);
}

}  // namespace MainThread

QueueCallOver::QueueCallOver() : mainId_(std::this_thread::get_id()) {}

QueueCallOver::~QueueCallOver() {
  // Posted calls that never ran are dropped; waiting callers cannot exist
  // here, because the machine set has awaited every driver.
  for (Job* job : queue_)
    if (job->async) delete job;
}

bool QueueCallOver::IsMainThread() const {
  return std::this_thread::get_id() == mainId_;
}

void QueueCallOver::Invoke(const std::function<void()>& fn) {
  if (IsMainThread()) {
    fn();
    return;
  }
  Job job;
  job.fn = fn;
  std::unique_lock lock(mutex_);
  queue_.push_back(&job);
  queueCv_.notify_one();
  job.doneCv.wait(lock, [&] { return job.done; });
}

void QueueCallOver::Post(std::function<void()> fn) {
  auto* job = new Job;
  job->fn = std::move(fn);
  job->async = true;
  std::lock_guard lock(mutex_);
  queue_.push_back(job);
  queueCv_.notify_one();
}

size_t QueueCallOver::ServePending() {
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
    if (job->async) {
      delete job;
    } else {
      job->done = true;
      job->doneCv.notify_one();
    }
  }
  return ran;
}

void QueueCallOver::WaitAndServe(int64_t ms) {
  {
    std::unique_lock lock(mutex_);
    queueCv_.wait_for(lock, std::chrono::milliseconds(ms),
                      [&] { return !queue_.empty() || woken_; });
    woken_ = false;
  }
  ServePending();
}

void QueueCallOver::Wake() {
  std::lock_guard lock(mutex_);
  woken_ = true;
  queueCv_.notify_one();
}

bool QueueCallOver::ServeFor(int64_t ms, const std::function<bool()>& done) {
  Clock& clock = TheClock();
  int64_t end = clock.TickMs() + ms;
  for (;;) {
    ServePending();
    if (done && done()) return true;
    if (clock.TickMs() >= end) return false;
    bool idle;
    {
      std::unique_lock lock(mutex_);
      queueCv_.wait_for(lock, std::chrono::milliseconds(2), [&] { return !queue_.empty(); });
      idle = queue_.empty();
    }
    // A test clock moves only when slept on; the steady clock has moved by itself.
    if (idle && dynamic_cast<SteadyClock*>(&clock) == nullptr)
      clock.Sleep(std::min<int64_t>(50, end - clock.TickMs()));
  }
}

}  // namespace zova
