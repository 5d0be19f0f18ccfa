#pragma once
// The synchronous call-over: a driver thread runs an operation on the main
// thread and waits until it has returned. The main thread owns the station
// model and every user-interface object; drivers touch them only this way.

#include <cstdint>
#include <functional>
#include <thread>

#include "core/call_queue.h"

namespace zova {

class CallOver {
 public:
  virtual ~CallOver() = default;
  // Runs Fn on the main thread and blocks the caller until it has returned.
  // On the main thread itself Fn runs at once.
  virtual void Invoke(const std::function<void()>& fn) = 0;
  // Serves pending calls for up to Ms milliseconds of TheClock(), returning
  // early (true) once Done returns true. Main thread only: waits of the main
  // thread (restart, close) use it so a driver blocked in a call can finish.
  virtual bool ServeFor(int64_t ms, const std::function<bool()>& done) = 0;
  virtual bool IsMainThread() const = 0;
};

namespace MainThread {
// Runs Fn on the main thread (directly when no call-over is installed, as in
// tests of single-threaded code).
void invoke(const std::function<void()>& fn);
bool ServeFor(int64_t ms, const std::function<bool()>& done = {});
CallOver* Current();
void Install(CallOver* callOver);
}  // namespace MainThread

// The headless call-over: a queue served by the main thread's own loop.
class QueueCallOver : public CallOver {
 public:
  QueueCallOver();  // the constructing thread is the main thread
  ~QueueCallOver() override;
  void Invoke(const std::function<void()>& fn) override;
  bool ServeFor(int64_t ms, const std::function<bool()>& done) override;
  bool IsMainThread() const override;

  // Runs every queued call; returns how many ran.
  size_t ServePending();
  // Waits up to Ms of real time for a call or a Wake; then serves.
  void WaitAndServe(int64_t ms);
  // Wakes a WaitAndServe (from any thread, also signal-safe through a flag poll).
  void Wake();
  // Queues Fn to run on the main thread without waiting for it.
  void Post(std::function<void()> fn);

 private:
  std::thread::id mainId_;
  CallQueue queue_;
};

}  // namespace zova
