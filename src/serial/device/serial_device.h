#pragma once
// One serial line as the drivers see it, whatever carries it: a tty, a
// network serial server or an in-process loopback pair.
//
// Contracts shared by every backend:
// - All calls are made from the one driver thread that owns the device; no
//   call is thread-safe against another call on the same object.
// - Timeouts are in milliseconds of real time. A timeout of 0 means "do not
//   wait": take what is there now. A negative timeout is treated as 0.
// - EINTR is retried inside the backend with the remaining time; callers
//   never see it.
// - Read and Write may return fewer bytes than asked (a partial result);
//   IoResult says why: timedOut (the time ran out, not an error), hangup (the
//   other end is gone: pty closed, TCP peer closed, loopback end closed) or
//   err (an errno value, for DeviceErrorText).
// - A feature the backend cannot provide (modem lines on a pseudo-terminal,
//   break over TCP) returns false from its call and leaves the state as "line
//   up"; the backend logs that once per device.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/error_text.h"

namespace zova {

enum class Parity : uint8_t { None, Even, Odd };

// The kernel-facing part of a port's settings.
struct LineSettings {
  int baud = 9600;
  int dataBits = 8;  // 5..8
  Parity parity = Parity::None;
  int stopBits = 1;  // 1 or 2
  // Software flow control. Out: the control's XOFF holds our output (IXON).
  // In: we send XOFF when our input fills (IXOFF).
  bool xonXoffOut = false;
  bool xonXoffIn = false;
  uint8_t xonChar = 17;
  uint8_t xoffChar = 19;
  bool rtsCts = false;  // output held while CTS is low; RTS follows our input
  // Output held while DSR is low. No kernel has this for a tty: TermiosDevice
  // leaves it to the driver (which polls ModemStatus); the loopback honours it.
  bool dtrDsr = false;
  bool stripNul = false;  // input NUL bytes are discarded by the device layer
  // Each received character's line errors marked in the input (termios INPCK
  // and PARMRK): a character with a framing or parity error (or a break)
  // arrives as 0xFF 0x00 and the character, a real 0xFF as 0xFF 0xFF.
  bool markErrors = false;

  bool operator==(const LineSettings&) const = default;
};

struct ModemStatus {
  bool cts = true, dsr = true, ring = false, dcd = true;
  bool operator==(const ModemStatus&) const = default;
};

// Counts since the device was opened. Differences between two samples are the
// new errors.
struct LineErrorCounts {
  uint32_t brk = 0, frame = 0, overrun = 0, rxOverflow = 0, parity = 0, io = 0;
  bool operator==(const LineErrorCounts&) const = default;
};

struct IoResult {
  size_t count = 0;
  int err = 0;  // errno of a failure, 0 when none
  bool timedOut = false;
  bool hangup = false;
  bool woken = false;  // the wait was cut short by the wake fd (timedOut too)
  bool Ok() const { return err == 0 && !hangup; }
};

// poll() on Fd for Events and, when WakeFd >= 0, on that eventfd: the revents
// of Fd; 0 on timeout; -1 with errno on error; kWoken when only the wake fd
// was ready (its count is taken). EINTR is retried with the time left.
constexpr int kWoken = -2;
int PollWithWake(int fd, short events, int timeoutMs, int wakeFd);

class SerialDevice {
 public:
  virtual ~SerialDevice() = default;
  SerialDevice() = default;
  SerialDevice(const SerialDevice&) = delete;
  SerialDevice& operator=(const SerialDevice&) = delete;

  // Applies the settings. False with Err set when the device refuses them.
  // Settings the backend cannot carry (parity on a pty, anything over TCP)
  // are accepted and logged once.
  virtual bool Configure(const LineSettings& settings, int& err) = 0;

  // One byte, served from the user-space buffer; when that is empty the
  // buffer is refilled with one system call taking all bytes that are
  // waiting. Waits at most TimeoutMs for the first byte.
  IoResult ReadByte(uint8_t& b, int timeoutMs);
  // A byte already received, without any wait; false when none is buffered.
  // Inline: a reception takes nearly every byte this way.
  bool TakeBuffered(uint8_t& b) {
    if (begin_ == end_) return false;
    b = buffer_[begin_++];
    return true;
  }
  // Up to Max bytes: buffered bytes first, else one refill as ReadByte.
  IoResult Read(uint8_t* buf, size_t max, int timeoutMs);
  // Bytes already received and not yet taken (buffered ones only).
  size_t Buffered() const { return end_ - begin_; }
  // Those bytes in place, without taking them; DropBuffered takes the first
  // N of them.
  const uint8_t* PeekBuffered() const { return buffer_ + begin_; }
  void DropBuffered(size_t n) { begin_ += n < end_ - begin_ ? n : end_ - begin_; }

  // Writes Len bytes, waiting at most TimeoutMs in all (flow control may hold
  // the output). Count is what went out; less than Len on timeout or error.
  virtual IoResult Write(const uint8_t* data, size_t len, int timeoutMs) = 0;

  // Drops unread input (Rx) and/or output not yet sent (Tx).
  bool Purge(bool rx, bool tx);

  // Modem lines of the control; nullopt when the backend has none.
  virtual std::optional<ModemStatus> GetModemStatus() = 0;
  virtual bool SetDtr(bool on) = 0;
  virtual bool SetRts(bool on) = 0;
  virtual bool SetBreak(bool on) = 0;
  // Resumes output as though the control had sent XON.
  virtual bool ResumeOutput() = 0;
  // Nullopt when the backend has no error counters.
  virtual std::optional<LineErrorCounts> GetLineErrors() = 0;

  virtual std::string Name() const = 0;

 protected:
  // One system call (or its equivalent) for all bytes waiting, at most Max;
  // waits at most TimeoutMs for the first.
  virtual IoResult ReadSome(uint8_t* buf, size_t max, int timeoutMs) = 0;
  virtual bool PurgeDevice(bool rx, bool tx) = 0;
  // Logs "<name>: <what> ikke tilgjengelig" the first time for each Feature
  // bit.
  void LogUnavailableOnce(unsigned feature, std::string_view what);

  bool stripNul_ = false;

 public:
  // An eventfd that cuts a read's wait short (the driver is woken for an
  // operator's order); -1 for none. The device never closes it. Backends
  // without a file descriptor to wait on (the loopback) ignore it.
  void SetWakeFd(int fd) { wakeFd_ = fd; }

 protected:
  int wakeFd_ = -1;

 private:
  static constexpr size_t kBufferSize = 65536;
  uint8_t buffer_[kBufferSize];
  size_t begin_ = 0, end_ = 0;
  unsigned loggedFeatures_ = 0;
};

enum UnavailableFeature : unsigned {
  kFeatureModem = 1,
  kFeatureDtrRts = 2,
  kFeatureBreak = 4,
  kFeatureErrors = 8,
  kFeatureSettings = 16,
  kFeatureDsrFlow = 32,
};

// The text the operator sees for an errno of a device operation.
inline std::string DeviceErrorText(int err) {
  return ErrorText(err, ErrorContext::Device);
}

}  // namespace zova
