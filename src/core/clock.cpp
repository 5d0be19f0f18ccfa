#include "core/clock.h"

#include <algorithm>
#include <thread>

namespace zova {

namespace {

SteadyClock g_steady;
std::atomic<Clock*> g_clock{&g_steady};

// Sleeps real time in slices so a stop request is seen quickly; with nothing
// to watch, in one go.
bool SleepReal(std::chrono::steady_clock::duration d, const std::atomic<bool>* stop) {
  if (!stop) {
    std::this_thread::sleep_for(d);
    return true;
  }
  auto end = std::chrono::steady_clock::now() + d;
  for (;;) {
    if (stop && stop->load(std::memory_order_relaxed)) return false;
    auto now = std::chrono::steady_clock::now();
    if (now >= end) return true;
    std::this_thread::sleep_for(
        std::min<std::chrono::steady_clock::duration>(end - now, std::chrono::milliseconds(20)));
  }
}

}  // namespace

Clock& TheClock() {
  return *g_clock.load(std::memory_order_acquire);
}
void SetClock(Clock* clock) {
  g_clock.store(clock ? clock : &g_steady, std::memory_order_release);
}

int64_t SteadyClock::TickMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

WallTime SteadyClock::Now() {
  return std::chrono::system_clock::now();
}

bool SteadyClock::Sleep(int64_t ms, const std::atomic<bool>* stop) {
  return SleepReal(std::chrono::milliseconds(std::max<int64_t>(ms, 0)), stop);
}

ManualClock::ManualClock(WallTime start) : wall_(start) {}

int64_t ManualClock::TickMs() {
  std::lock_guard lock(mutex_);
  return tick_;
}

WallTime ManualClock::Now() {
  std::lock_guard lock(mutex_);
  return wall_;
}

void ManualClock::Advance(int64_t ms) {
  std::lock_guard lock(mutex_);
  tick_ += ms;
  wall_ += std::chrono::milliseconds(ms);
}

bool ManualClock::Sleep(int64_t ms, const std::atomic<bool>* stop) {
  if (stop && stop->load()) return false;
  Advance(std::max<int64_t>(ms, 0));
  std::this_thread::yield();
  return !(stop && stop->load());
}

ScaledClock::ScaledClock(double scale)
    : scale_(scale),
      start_(std::chrono::steady_clock::now()),
      wallStart_(std::chrono::system_clock::now()) {}

int64_t ScaledClock::TickMs() {
  auto real = std::chrono::steady_clock::now() - start_;
  return static_cast<int64_t>(std::chrono::duration<double, std::milli>(real).count() * scale_) +
         1000000;
}

WallTime ScaledClock::Now() {
  auto real = std::chrono::steady_clock::now() - start_;
  auto scaled = std::chrono::duration_cast<std::chrono::system_clock::duration>(real * scale_);
  return wallStart_ + scaled;
}

bool ScaledClock::Sleep(int64_t ms, const std::atomic<bool>* stop) {
  auto real = std::chrono::duration<double, std::milli>(
      static_cast<double>(std::max<int64_t>(ms, 0)) / scale_);
  return SleepReal(std::chrono::duration_cast<std::chrono::steady_clock::duration>(real), stop);
}

}  // namespace zova
