#include "serial/device/tcp_link.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <optional>

#include "serial/device/termios_device.h"

namespace zova {

namespace {

int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

bool ParseHostPort(std::string_view rest, std::string& host, uint16_t& port) {
  size_t colon;
  if (!rest.empty() && rest[0] == '[') {
    size_t close = rest.find(']');
    if (close == std::string_view::npos || close + 1 >= rest.size() || rest[close + 1] != ':')
      return false;
    host = std::string(rest.substr(1, close - 1));
    colon = close + 1;
  } else {
    colon = rest.rfind(':');
    if (colon == std::string_view::npos) return false;
    host = std::string(rest.substr(0, colon));
  }
  std::string_view digits = rest.substr(colon + 1);
  if (host.empty() || digits.empty() || digits.size() > 5) return false;
  int value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > 65535) return false;
  port = static_cast<uint16_t>(value);
  return true;
}

void TcpLink::Drop() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

int TcpLink::Connect(int timeoutMs) {
  lastAttemptMs_ = NowMs();
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* list = nullptr;
  std::string service = std::to_string(port_);
  if (::getaddrinfo(host_.c_str(), service.c_str(), &hints, &list) != 0 || !list)
    return EHOSTUNREACH;
  int err = ECONNREFUSED;
  for (addrinfo* ai = list; ai; ai = ai->ai_next) {
    int fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
      err = errno;
      continue;
    }
    int rc = ::connect(fd, ai->ai_addr, ai->ai_addrlen);
    if (rc != 0 && errno == EINPROGRESS) {
      int ev = PollFd(fd, POLLOUT, timeoutMs);
      socklen_t len = sizeof(err);
      if (ev <= 0) {
        err = ETIMEDOUT;
      } else if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0) {
        rc = 0;
      }
    } else if (rc != 0) {
      err = errno;
    }
    if (rc == 0) {
      int one = 1;
      // One byte at a time is the protocol's rhythm; Nagle would hold it back.
      ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
      fd_ = fd;
      ++connections_;
      ::freeaddrinfo(list);
      return 0;
    }
    ::close(fd);
  }
  ::freeaddrinfo(list);
  return err;
}

bool TcpLink::EnsureConnected(int timeoutMs, IoResult& r) {
  if (fd_ >= 0) return true;
  if (NowMs() - lastAttemptMs_ < reconnectGapMs_) {
    r.err = ENOTCONN;
    return false;
  }
  int err = Connect(std::max(timeoutMs, 250));
  if (err) r.err = err;
  return err == 0;
}

IoResult TcpLink::Receive(uint8_t* buf, size_t max, int timeoutMs, int wakeFd) {
  IoResult r;
  for (;;) {
    ssize_t n = ::recv(fd_, buf, max, 0);
    if (n > 0) {
      r.count = static_cast<size_t>(n);
      return r;
    }
    if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
      if (n < 0 && errno != ECONNRESET) r.err = errno;
      r.hangup = true;
      Drop();
      return r;
    }
    if (errno == EINTR) continue;
    int ev = PollWithWake(fd_, POLLIN, timeoutMs, wakeFd);
    if (ev == kWoken) {
      r.timedOut = r.woken = true;
      return r;
    }
    if (ev < 0) {
      r.err = errno;
      return r;
    }
    if (ev == 0) {
      r.timedOut = true;
      return r;
    }
    timeoutMs = 0;
  }
}

size_t TcpLink::ReceiveNow(uint8_t* buf, size_t max) {
  if (fd_ < 0) return 0;
  ssize_t n = ::recv(fd_, buf, max, MSG_DONTWAIT);
  return n > 0 ? static_cast<size_t>(n) : 0;
}

IoResult TcpLink::Send(const uint8_t* data, size_t len, int timeoutMs) {
  using namespace std::chrono;
  IoResult r;
  // The time runs from the first full buffer: a send that fits at once, the
  // usual case, does not read the clock.
  std::optional<steady_clock::time_point> deadline;
  while (r.count < len) {
    ssize_t n = ::send(fd_, data + r.count, len - r.count, MSG_NOSIGNAL);
    if (n > 0) {
      r.count += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) {
      if (errno != EPIPE && errno != ECONNRESET) r.err = errno;
      r.hangup = true;
      Drop();
      return r;
    }
    if (!deadline) deadline = steady_clock::now() + milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    auto left = duration_cast<milliseconds>(*deadline - steady_clock::now()).count();
    if (left <= 0 || PollFd(fd_, POLLOUT, static_cast<int>(left)) == 0) {
      r.timedOut = true;
      return r;
    }
  }
  return r;
}

}  // namespace zova
