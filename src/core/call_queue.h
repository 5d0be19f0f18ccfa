#pragma once
// The queue behind both call-overs: a driver's call waits in it until the
// main thread has run it; a posted call does not wait. How the main thread
// is woken for a call is the call-over's own business.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

namespace zova {

class CallQueue {
 public:
  CallQueue() = default;
  // Posted calls that never ran are dropped.
  ~CallQueue();
  CallQueue(const CallQueue&) = delete;
  CallQueue& operator=(const CallQueue&) = delete;

  // Queues Fn, calls Wake (when given) to rouse the main thread, and blocks
  // until the main thread has run Fn.
  void RunAndWait(const std::function<void()>& fn, const std::function<void()>& wake = {});
  void Post(std::function<void()> fn);
  // Main thread: runs every queued call; returns how many ran.
  size_t Serve();
  size_t Size();
  // Waits up to Ms of real time for a call or a Wake; true when calls wait.
  bool WaitForCall(int64_t ms);
  void Wake();

 private:
  struct Job {
    std::function<void()> fn;
    bool done = false;
    bool async = false;
    std::condition_variable doneCv;
  };
  std::mutex mutex_;
  std::condition_variable queueCv_;
  std::deque<Job*> queue_;
  bool woken_ = false;
};

}  // namespace zova
