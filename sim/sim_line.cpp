#include "sim_line.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace zova::sim {

namespace {

constexpr char kXon = 17, kXoff = 19;

// Paced reads and writes move this many bytes at a time, as a UART hands
// over its receive FIFO at the trigger level (8 on a 16550): the reader of
// a real line is not woken for every byte, and the simulator would cost more
// than the line it simulates.
constexpr long kPacedBatch = 8;

double Seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void MakeRaw(int fd) {
  termios t{};
  if (::tcgetattr(fd, &t) != 0) return;
  ::cfmakeraw(&t);
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  ::tcsetattr(fd, TCSANOW, &t);
}

int PollOne(int fd, short events, int timeoutMs) {
  for (;;) {
    pollfd p{fd, events, 0};
    int n = ::poll(&p, 1, timeoutMs);
    if (n >= 0) return n == 0 ? 0 : p.revents;
    if (errno != EINTR) return -1;
  }
}

}  // namespace

SimLine::~SimLine() {
  Drop();
}

bool SimLine::OpenPty(std::string& error) {
  fd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  char name[128];
  if (fd_ < 0 || ::grantpt(fd_) != 0 || ::unlockpt(fd_) != 0 ||
      ::ptsname_r(fd_, name, sizeof name) != 0) {
    error = std::string("posix_openpt: ") + std::strerror(errno);
    Drop();
    return false;
  }
  // Termios calls on the master act on the slave's settings.
  MakeRaw(fd_);
  ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
  stationPath_ = name;
  isPty_ = true;
  return true;
}

bool SimLine::OpenTty(const std::string& path, std::string& error) {
  fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) {
    error = path + ": " + std::strerror(errno);
    return false;
  }
  MakeRaw(fd_);
  stationPath_ = path;
  return true;
}

void SimLine::SetPace(int baud, int bitsPerChar) {
  charsPerSecond_ = baud > 0 ? static_cast<double>(baud) / std::max(bitsPerChar, 1) : 0;
}

bool SimLine::WriteSome(const char* data, size_t len, size_t& written) {
  written = 0;
  for (;;) {
    ssize_t n = ::write(fd_, data, len);
    if (n > 0) {
      written = static_cast<size_t>(n);
      return true;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return false;
    int ev = PollOne(fd_, POLLOUT, 100);
    if (ev < 0 || (ev & POLLERR)) return false;
    if (ev == 0) return true;  // nothing taken yet; the caller comes again
  }
}

void SimLine::TakeInput(bool& stopped) {
  char buf[512];
  for (;;) {
    ssize_t n = ::read(fd_, buf, sizeof buf);
    if (n <= 0) return;
    for (ssize_t i = 0; i < n; ++i) {
      if (buf[i] == kXoff)
        stopped = true;
      else if (buf[i] == kXon)
        stopped = false;
      else
        pending_ += buf[i];
    }
  }
}

bool SimLine::Send(const std::string& data, bool obeyXoff, long dropAfter) {
  using clock = std::chrono::steady_clock;
  size_t limit = data.size();
  if (dropAfter >= 0 && static_cast<size_t>(dropAfter) < limit)
    limit = static_cast<size_t>(dropAfter);
  auto start = clock::now();
  size_t sent = 0;
  bool stopped = false;
  while (sent < limit && fd_ >= 0) {
    if (obeyXoff) TakeInput(stopped);
    if (stopped) {
      PollOne(fd_, POLLIN, 20);
      start =
          clock::now() - std::chrono::duration_cast<clock::duration>(
                             std::chrono::duration<double>(sent / std::max(charsPerSecond_, 1.0)));
      continue;
    }
    size_t chunk = std::min<size_t>(limit - sent, 1024);
    if (charsPerSecond_ > 0) {
      double elapsed = std::chrono::duration<double>(clock::now() - start).count();
      double due = elapsed * charsPerSecond_ - static_cast<double>(sent);
      const double batch =
          static_cast<double>(std::min(static_cast<size_t>(kPacedBatch), limit - sent));
      if (due < batch) {
        std::this_thread::sleep_for(std::chrono::duration<double>((batch - due) / charsPerSecond_));
        continue;
      }
      chunk = std::min(chunk, static_cast<size_t>(due));
    }
    size_t written;
    if (!WriteSome(data.data() + sent, chunk, written)) return false;
    sent += written;
  }
  if (sent < data.size() && dropAfter >= 0) Drop();
  return fd_ >= 0;
}

bool SimLine::Read(std::string& out, size_t max, int timeoutMs) {
  if (!pending_.empty()) {
    size_t n = std::min(max, pending_.size());
    out.append(pending_, 0, n);
    pending_.erase(0, n);
    return true;
  }
  if (fd_ < 0) return false;
  int ev = PollOne(fd_, POLLIN, timeoutMs);
  if (ev <= 0) return ev == 0;
  char buf[4096];
  ssize_t n = ::read(fd_, buf, std::min(max, sizeof buf));
  if (n > 0) {
    out.append(buf, static_cast<size_t>(n));
    return true;
  }
  // EIO on a master: the station closed its end. Not a loss of the line for
  // the control, which may wait for the next open.
  if (n < 0 && errno == EIO && isPty_) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min(timeoutMs, 20)));
    return true;
  }
  return n < 0 && (errno == EAGAIN || errno == EINTR);
}

long SimLine::ReadNow(std::string& out, size_t max) {
  size_t got = 0;
  char buf[4096];
  while (got < max) {
    ssize_t n = ::read(fd_, buf, std::min(max - got, sizeof buf));
    if (n > 0) {
      out.append(buf, static_cast<size_t>(n));
      got += static_cast<size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || (errno == EIO && isPty_))) {
      break;
    } else {
      return got > 0 ? static_cast<long>(got) : -1;
    }
  }
  return static_cast<long>(got);
}

bool SimLine::ReadPaced(std::string& out, size_t max, int timeoutMs) {
  if (!pacedStarted_ || !pending_.empty()) {
    const size_t before = out.size();
    if (!Read(out, pacedStarted_ ? max : 1, timeoutMs)) return false;
    if (!pacedStarted_ && out.size() > before) {
      pacedStarted_ = true;
      pacedBase_ = Seconds();
    }
    pacedTaken_ += out.size() - before;
    return true;
  }
  const double cps = charsPerSecond_;
  for (;;) {
    if (pacedDry_) {
      int ev = PollOne(fd_, POLLIN, timeoutMs);
      if (ev < 0) return false;
      if (ev == 0) return true;
      if (!(ev & POLLIN)) {
        // The station closed its end; as Read, this is no loss of the line.
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(timeoutMs, 20)));
        return true;
      }
      // The wire starts again with the byte that has just come.
      const double base = Seconds() - static_cast<double>(pacedTaken_) / cps;
      if (base > pacedBase_) {
        pacedIdle_ += base - pacedBase_;
        pacedBase_ = base;
        ++pacedGaps_;
      }
      pacedDry_ = false;
    }
    // Bytes the wire has begun to carry by now, less those already taken.
    const long due =
        static_cast<long>((Seconds() - pacedBase_) * cps) + 1 - static_cast<long>(pacedTaken_);
    if (due < kPacedBatch) {
      std::this_thread::sleep_for(std::chrono::duration<double>((kPacedBatch - due) / cps));
      continue;
    }
    const size_t want = std::min(static_cast<size_t>(due), max);
    const long n = ReadNow(out, want);
    if (n < 0) return false;
    pacedTaken_ += static_cast<size_t>(n);
    // Fewer than due: the station left the wire without a byte to carry.
    if (static_cast<size_t>(n) < want) pacedDry_ = true;
    if (n > 0) return true;
  }
}

SimLine::LineUse SimLine::PacedUse() const {
  LineUse u;
  u.bytes = pacedTaken_;
  u.wireSeconds = charsPerSecond_ > 0 ? static_cast<double>(pacedTaken_) / charsPerSecond_ : 0;
  u.idleSeconds = pacedIdle_;
  u.gaps = pacedGaps_;
  return u;
}

bool SimLine::StationAbsent() {
  if (!isPty_ || fd_ < 0) return false;
  // A master reports POLLHUP while no slave is open.
  int ev = PollOne(fd_, 0, 0);
  return ev > 0 && (ev & POLLHUP);
}

void SimLine::Drop() {
  if (fd_ < 0) return;
  if (lingerMs_ > 0) std::this_thread::sleep_for(std::chrono::milliseconds(lingerMs_));
  ::close(fd_);
  fd_ = -1;
}

}  // namespace zova::sim
