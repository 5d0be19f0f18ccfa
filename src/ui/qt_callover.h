#pragma once
// The call-over of the window: a driver's call is queued and the GUI thread
// is woken by a posted event; the driver blocks until its call has run. While
// a modal box of the window is open the queue is held (ModalScope), so every
// driver that wants to report waits for the operator, as the station expects.
// ServeFor, used by the restart and close waits, serves the queue and keeps
// processing window events.

#include <QObject>
#include <thread>

#include "core/call_queue.h"
#include "core/mainthread.h"

namespace zova::ui {

class QtCallOver : public QObject, public CallOver {
  Q_OBJECT
 public:
  QtCallOver();  // the constructing thread is the GUI thread
  ~QtCallOver() override;

  void Invoke(const std::function<void()>& fn) override;
  bool ServeFor(int64_t ms, const std::function<bool()>& done) override;
  bool IsMainThread() const override;

  // Runs every queued call unless a modal box holds the queue (Force ignores
  // that). Returns how many ran.
  size_t ServePending(bool force = false);
  // Runs Fn on the GUI thread without waiting (any thread).
  void Post(std::function<void()> fn);

  // Calls queued and not yet run (any thread).
  size_t Waiting();

  void HoldForModal() { ++modalDepth_; }
  void ReleaseAfterModal();
  int ModalDepth() const { return modalDepth_; }

 private:
  void WakeGuiThread();

  std::thread::id mainId_;
  CallQueue queue_;
  int modalDepth_ = 0;  // GUI thread only
};

// Holds the call-over of the current window for the life of a modal box.
class ModalScope {
 public:
  ModalScope();
  ~ModalScope();
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  QtCallOver* callOver_;
};

}  // namespace zova::ui
