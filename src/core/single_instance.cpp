#include "core/single_instance.h"

#include "core/latin1.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace zova {

namespace {

std::string RuntimeDir() {
  const char* d = std::getenv("XDG_RUNTIME_DIR");
  if (d && *d) return d;
  return "/tmp";
}

bool FillAddress(const std::string& path, sockaddr_un& addr) {
  std::memset(&addr, 0, sizeof addr);
  addr.sun_family = AF_UNIX;
  if (path.size() >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  return true;
}

// One request to come forward; the connection closes with the last answer
// that could still be given.
class PendingRequest {
 public:
  explicit PendingRequest(int fd) : fd_(fd) {}
  ~PendingRequest() { ::close(fd_); }
  PendingRequest(const PendingRequest&) = delete;
  PendingRequest& operator=(const PendingRequest&) = delete;
  void Answer() {
    if (answered_.exchange(true)) return;
    // The asking start may have given up: no SIGPIPE for that.
    if (::send(fd_, kAnswer, sizeof kAnswer - 1, MSG_NOSIGNAL) < 0) {
    }
  }
  static constexpr char kAnswer[] = "ok\n";

 private:
  int fd_;
  std::atomic<bool> answered_{false};
};

}  // namespace

SingleInstance::SingleInstance(std::string name) : name_(std::move(name)) {}

std::string SingleInstance::LockPath() const {
  return RuntimeDir() + "/" + name_ + "-" + std::to_string(::getuid()) + ".lock";
}

std::string SingleInstance::SocketPath() const {
  return RuntimeDir() + "/" + name_ + "-" + std::to_string(::getuid()) + ".sock";
}

bool SingleInstance::Acquire() {
  lockFd_ = ::open(LockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lockFd_ < 0) return true;  // no place for a lock: better run than refuse
  if (::flock(lockFd_, LOCK_EX | LOCK_NB) == 0) return true;
  ::close(lockFd_);
  lockFd_ = -1;
  // Another station runs: ask it to come forward.
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un addr;
  if (fd >= 0 && FillAddress(SocketPath(), addr) &&
      ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
    const char msg[] = "raise\n";
    if (::write(fd, msg, sizeof msg - 1) == static_cast<ssize_t>(sizeof msg - 1)) {
      pollfd p{fd, POLLIN, 0};
      char buf[8] = {};
      answered_ = ::poll(&p, 1, kAnswerWaitMs) == 1 && ::read(fd, buf, sizeof buf) >= 2 &&
                  buf[0] == 'o' && buf[1] == 'k';
    }
  }
  if (fd >= 0) ::close(fd);
  return false;
}

std::string SingleInstance::SecondStartText() const {
  return L1(answered_ ? "stasjonen kjører allerede; den er bedt om å komme frem"
                      : "stasjonen kjører allerede, men svarte ikke innen " +
                            std::to_string(kAnswerWaitMs / 1000) + " s");
}

void SingleInstance::Listen(std::function<void(Answer)> onRaise) {
  std::string path = SocketPath();
  ::unlink(path.c_str());
  listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un addr;
  if (listenFd_ < 0 || !FillAddress(path, addr) ||
      ::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::listen(listenFd_, 4) != 0 || ::pipe2(wakePipe_, O_CLOEXEC) != 0) {
    return;
  }
  listener_ = std::thread([this, onRaise = std::move(onRaise)] {
    for (;;) {
      pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
      if (::poll(fds, 2, -1) < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if (fds[1].revents) return;
      int c = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (c < 0) continue;
      auto request = std::make_shared<PendingRequest>(c);
      char buf[16];
      // A start that connects and says nothing must not hold the listener,
      // nor the end of the station.
      pollfd p[2] = {{c, POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
      if (::poll(p, 2, kAnswerWaitMs) < 1 || p[1].revents) {
        if (p[1].revents) return;
        continue;
      }
      if (::read(c, buf, sizeof buf) <= 0 || !onRaise) continue;
      onRaise([request] { request->Answer(); });
    }
  });
}

void SingleInstance::StopListening() {
  if (listener_.joinable()) {
    char b = 'q';
    if (::write(wakePipe_[1], &b, 1) < 0) {
      // The pipe cannot be full: it carries one byte.
    }
    listener_.join();
  }
  for (int* fd : {&wakePipe_[0], &wakePipe_[1]}) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }
  if (listenFd_ >= 0) {
    ::close(listenFd_);
    ::unlink(SocketPath().c_str());
    listenFd_ = -1;
  }
}

SingleInstance::~SingleInstance() {
  StopListening();
  if (lockFd_ >= 0) ::close(lockFd_);
}

}  // namespace zova
