#include "core/call_queue.h"

#include <chrono>

namespace zova {

CallQueue::~CallQueue() {
  // Waiting callers cannot exist here: the machine set has awaited every
  // driver, and the window's call-over serves its queue before it goes.
  for (Job* job : queue_)
    if (job->async) delete job;
}

void CallQueue::RunAndWait(const std::function<void()>& fn, const std::function<void()>& wake) {
  Job job;
  job.fn = fn;
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(&job);
    queueCv_.notify_one();
  }
  if (wake) wake();
  std::unique_lock lock(mutex_);
  job.doneCv.wait(lock, [&] { return job.done; });
}

void CallQueue::Post(std::function<void()> fn) {
  auto* job = new Job;
  job->fn = std::move(fn);
  job->async = true;
  std::lock_guard lock(mutex_);
  queue_.push_back(job);
  queueCv_.notify_one();
}

size_t CallQueue::Serve() {
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

size_t CallQueue::Size() {
  std::lock_guard lock(mutex_);
  return queue_.size();
}

bool CallQueue::WaitForCall(int64_t ms) {
  std::unique_lock lock(mutex_);
  queueCv_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return !queue_.empty() || woken_; });
  woken_ = false;
  return !queue_.empty();
}

void CallQueue::Wake() {
  std::lock_guard lock(mutex_);
  woken_ = true;
  queueCv_.notify_one();
}

}  // namespace zova
