#pragma once
// All waiting in the station goes through one Clock, so tests can run the
// station's seconds-long waits in microseconds.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace zova {

using WallTime = std::chrono::system_clock::time_point;

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds of a monotonic counter (the system tick count).
  virtual int64_t TickMs() = 0;
  // Wall-clock time for log lines and status records.
  virtual WallTime Now() = 0;
  // Sleeps Ms milliseconds; returns early (false) when Stop becomes true.
  // Stop is polled at least every 20 ms of real time; without one the sleep
  // is one piece.
  virtual bool Sleep(int64_t ms, const std::atomic<bool>* stop = nullptr) = 0;
};

// The process clock: steady by default; tests install their own.
Clock& TheClock();
void SetClock(Clock* clock);  // null restores the steady clock

class SteadyClock : public Clock {
 public:
  int64_t TickMs() override;
  WallTime Now() override;
  bool Sleep(int64_t ms, const std::atomic<bool>* stop) override;
};

// A test clock whose time only moves when somebody sleeps on it or calls
// Advance: a Sleep advances the clock by its full length and returns at once
// (after letting other threads run).
class ManualClock : public Clock {
 public:
  explicit ManualClock(WallTime start = WallTime{} + std::chrono::hours(24 * 365 * 56));
  int64_t TickMs() override;
  WallTime Now() override;
  bool Sleep(int64_t ms, const std::atomic<bool>* stop) override;
  void Advance(int64_t ms);

 private:
  std::mutex mutex_;
  int64_t tick_ = 1000000;
  WallTime wall_;
};

// A test clock that runs Scale times faster than real time.
class ScaledClock : public Clock {
 public:
  explicit ScaledClock(double scale);
  int64_t TickMs() override;
  WallTime Now() override;
  bool Sleep(int64_t ms, const std::atomic<bool>* stop) override;

 private:
  double scale_;
  std::chrono::steady_clock::time_point start_;
  WallTime wallStart_;
};

// Makes Clock the process clock for the life of the object.
class ScopedClock {
 public:
  explicit ScopedClock(Clock& clock) { SetClock(&clock); }
  ~ScopedClock() { SetClock(nullptr); }
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;
};

}  // namespace zova
