#include "serial/device/termios_device.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "core/station_log.h"
#include "serial/device/termios_settings.h"

namespace zova {

int PollFd(int fd, short events, int timeoutMs) {
  using namespace std::chrono;
  if (timeoutMs < 0) timeoutMs = 0;
  auto deadline = steady_clock::now() + milliseconds(timeoutMs);
  for (;;) {
    pollfd p{fd, events, 0};
    int n = ::poll(&p, 1, timeoutMs);
    if (n > 0) return p.revents;
    if (n == 0) return 0;
    if (errno != EINTR) return -1;
    auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
    timeoutMs = left > 0 ? static_cast<int>(left) : 0;
  }
}

std::unique_ptr<TermiosDevice> TermiosDevice::Open(const std::string& path, int& err) {
  int fd;
  do fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    err = errno;
    return nullptr;
  }
  if (!::isatty(fd)) {
    err = ENOTTY;
    ::close(fd);
    return nullptr;
  }
  // No sharing: a second driver on the same line would split its input.
  if (::ioctl(fd, TIOCEXCL) != 0) LogStationWarning(path + ": TIOCEXCL feilet");
  err = 0;
  return std::unique_ptr<TermiosDevice>(new TermiosDevice(fd, path));
}

std::unique_ptr<TermiosDevice> TermiosDevice::Adopt(int fd, std::string name) {
  return std::unique_ptr<TermiosDevice>(new TermiosDevice(fd, std::move(name)));
}

TermiosDevice::~TermiosDevice() {
  if (fd_ >= 0) ::close(fd_);
}

bool TermiosDevice::Configure(const LineSettings& settings, int& err) {
  termios base{}, wanted{}, got{};
  if (::tcgetattr(fd_, &base) != 0) {
    err = errno;
    return false;
  }
  if (!BuildTermios(settings, base, wanted, err)) return false;
  if (::tcsetattr(fd_, TCSANOW, &wanted) != 0 || ::tcgetattr(fd_, &got) != 0) {
    err = errno;
    return false;
  }
  applied_ = ReadTermios(got);
  applied_.dtrDsr = settings.dtrDsr;
  applied_.stripNul = settings.stripNul;
  stripNul_ = settings.stripNul;
  // A pseudo-terminal clears parity and forces 8 bits; that is no failure,
  // but the operator should be able to see that the line is not as set.
  std::string diff = SettingsDifference(settings, applied_);
  if (!diff.empty()) LogUnavailableOnce(kFeatureSettings, "innstilling (" + diff + ")");
  if (settings.dtrDsr) LogUnavailableOnce(kFeatureDsrFlow, "DSR-flytkontroll i kjernen");
  err = 0;
  return true;
}

IoResult TermiosDevice::ReadSome(uint8_t* buf, size_t max, int timeoutMs) {
  // With VMIN = VTIME = 0 a tty read returns 0 both for "nothing yet" and for
  // a hang-up, so poll() tells them apart first.
  IoResult r;
  // A read that brought much leaves more waiting as a rule (a pty hands over
  // what fills one kernel buffer at a time): take it without asking poll()
  // first. A slow line's short reads still wait in poll(), so an idle line
  // costs no extra call.
  if (lastReadLarge_) {
    ssize_t n = ::read(fd_, buf, max);
    if (n > 0) {
      lastReadLarge_ = Large(static_cast<size_t>(n), max);
      r.count = static_cast<size_t>(n);
      return r;
    }
    lastReadLarge_ = false;
    // Nothing, a hang-up or an error: poll() below tells which.
  }
  int ev = PollWithWake(fd_, POLLIN, timeoutMs, wakeFd_);
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
  for (;;) {
    ssize_t n = ::read(fd_, buf, max);
    if (n > 0) {
      lastReadLarge_ = Large(static_cast<size_t>(n), max);
      r.count = static_cast<size_t>(n);
      return r;
    }
    if (n < 0 && errno == EINTR) continue;
    if ((n == 0 || errno == EAGAIN) && !(ev & POLLHUP)) {
      // Nothing after all: the wake-up was for bytes the kernel took.
      r.timedOut = true;
      return r;
    }
    if (n == 0 || errno == EIO) {
      // A closed pty master, or an adapter that was pulled out.
      r.hangup = true;
      if (n < 0 && !(ev & POLLHUP)) r.err = EIO;
      return r;
    }
    r.err = errno;
    return r;
  }
}

IoResult TermiosDevice::Write(const uint8_t* data, size_t len, int timeoutMs) {
  using namespace std::chrono;
  IoResult r;
  auto deadline = steady_clock::now() + milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
  while (r.count < len) {
    ssize_t n = ::write(fd_, data + r.count, len - r.count);
    if (n > 0) {
      r.count += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) {
      r.err = errno;
      if (errno == EIO) r.hangup = true;
      return r;
    }
    auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
    if (left <= 0) {
      r.timedOut = true;
      return r;
    }
    int ev = PollFd(fd_, POLLOUT, static_cast<int>(left));
    if (ev < 0) {
      r.err = errno;
      return r;
    }
    if (ev & (POLLHUP | POLLERR)) {
      r.hangup = true;
      return r;
    }
  }
  return r;
}

bool TermiosDevice::PurgeDevice(bool rx, bool tx) {
  int what = rx && tx ? TCIOFLUSH : rx ? TCIFLUSH : TCOFLUSH;
  if (!rx && !tx) return true;
  return ::tcflush(fd_, what) == 0;
}

std::optional<ModemStatus> TermiosDevice::GetModemStatus() {
  int bits = 0;
  if (hasModem_ && ::ioctl(fd_, TIOCMGET, &bits) == 0) {
    ModemStatus m;
    m.cts = bits & TIOCM_CTS;
    m.dsr = bits & TIOCM_DSR;
    m.ring = bits & TIOCM_RNG;
    m.dcd = bits & TIOCM_CAR;
    return m;
  }
  hasModem_ = false;
  LogUnavailableOnce(kFeatureModem, "modemstatus");
  return std::nullopt;
}

bool TermiosDevice::SetModemBit(int bit, bool on) {
  if (::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bit) == 0) return true;
  LogUnavailableOnce(kFeatureDtrRts, "DTR/RTS-styring");
  return false;
}

bool TermiosDevice::SetDtr(bool on) {
  return SetModemBit(TIOCM_DTR, on);
}
bool TermiosDevice::SetRts(bool on) {
  return SetModemBit(TIOCM_RTS, on);
}

bool TermiosDevice::SetBreak(bool on) {
  // A pty accepts both calls and does nothing; that cannot be detected.
  if (::ioctl(fd_, on ? TIOCSBRK : TIOCCBRK) == 0) return true;
  LogUnavailableOnce(kFeatureBreak, "break");
  return false;
}

bool TermiosDevice::ResumeOutput() {
  return ::tcflow(fd_, TCOON) == 0;
}

std::optional<LineErrorCounts> TermiosDevice::GetLineErrors() {
  serial_icounter_struct ic{};
  if (hasCounters_ && ::ioctl(fd_, TIOCGICOUNT, &ic) == 0) {
    LineErrorCounts c;
    c.brk = static_cast<uint32_t>(ic.brk);
    c.frame = static_cast<uint32_t>(ic.frame);
    c.overrun = static_cast<uint32_t>(ic.overrun);
    c.rxOverflow = static_cast<uint32_t>(ic.buf_overrun);
    c.parity = static_cast<uint32_t>(ic.parity);
    return c;
  }
  hasCounters_ = false;
  LogUnavailableOnce(kFeatureErrors, "feiltellere");
  return std::nullopt;
}

}  // namespace zova
