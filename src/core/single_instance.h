#pragma once
// One station per user: a lock file in $XDG_RUNTIME_DIR (or /tmp) and a local
// socket beside it through which a second start asks the running station to
// come forward.

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace zova {

class SingleInstance {
 public:
  // Name distinguishes independent stations (tests use their own).
  explicit SingleInstance(std::string name = "zova");
  ~SingleInstance();

  // True when this process is the only instance. Otherwise the running one
  // has been asked to come forward and this one should end; it waits up to
  // kAnswerWaitMs for the running one to say it came forward.
  bool Acquire();
  static constexpr int kAnswerWaitMs = 3000;
  // After Acquire returned false: the running station answered in time (a
  // station that does not is hanging or closing).
  bool Answered() const { return answered_; }
  // The station log's line for a second start that ends (Latin-1).
  std::string SecondStartText() const;

  // What a request to come forward is answered with once the station has
  // come forward. Copies share one request; when the last copy goes without
  // being called, the request is closed unanswered.
  using Answer = std::function<void()>;
  // Serves requests to come forward: OnRaise runs on the listener thread.
  void Listen(std::function<void(Answer)> onRaise);
  // Ends the listener thread: after it returns OnRaise no longer runs, so
  // whatever it reaches may be destroyed. A later second start still finds
  // this instance running (the lock is kept) and ends.
  void StopListening();

  std::string LockPath() const;
  std::string SocketPath() const;

 private:
  std::string name_;
  int lockFd_ = -1;
  bool answered_ = false;
  int listenFd_ = -1;
  int wakePipe_[2] = {-1, -1};
  std::thread listener_;
};

}  // namespace zova
