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

QueueCallOver::~QueueCallOver() = default;

bool QueueCallOver::IsMainThread() const {
  return std::this_thread::get_id() == mainId_;
}

void QueueCallOver::Invoke(const std::function<void()>& fn) {
  if (IsMainThread()) {
    fn();
    return;
  }
  queue_.RunAndWait(fn);
}

void QueueCallOver::Post(std::function<void()> fn) {
  queue_.Post(std::move(fn));
}

size_t QueueCallOver::ServePending() {
  return queue_.Serve();
}

void QueueCallOver::WaitAndServe(int64_t ms) {
  queue_.WaitForCall(ms);
  queue_.Serve();
}

void QueueCallOver::Wake() {
  queue_.Wake();
}

bool QueueCallOver::ServeFor(int64_t ms, const std::function<bool()>& done) {
  Clock& clock = TheClock();
  int64_t end = clock.TickMs() + ms;
  for (;;) {
    queue_.Serve();
    if (done && done()) return true;
    if (clock.TickMs() >= end) return false;
    const bool idle = !queue_.WaitForCall(2);
    // A test clock moves only when slept on; the steady clock has moved by itself.
    if (idle && dynamic_cast<SteadyClock*>(&clock) == nullptr)
      clock.Sleep(std::min<int64_t>(50, end - clock.TickMs()));
  }
}

}  // namespace zova
