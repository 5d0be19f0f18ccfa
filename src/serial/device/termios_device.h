#pragma once
// A tty of the kernel: /dev/ttyS*, /dev/ttyUSB*, /dev/serial/by-id/* and
// pseudo-terminals. Opened exclusively (TIOCEXCL), non-blocking, with reads
// and writes driven by poll().

#include <memory>
#include <string>

#include "serial/device/serial_device.h"

namespace zova {

class TermiosDevice : public SerialDevice {
 public:
  // Null with Err set when the path cannot be opened or is not a tty.
  static std::unique_ptr<TermiosDevice> Open(const std::string& path, int& err);
  // Takes over an open tty descriptor (cncsim's own pty master).
  static std::unique_ptr<TermiosDevice> Adopt(int fd, std::string name);
  ~TermiosDevice() override;

  bool Configure(const LineSettings& settings, int& err) override;
  IoResult Write(const uint8_t* data, size_t len, int timeoutMs) override;
  std::optional<ModemStatus> GetModemStatus() override;
  bool SetDtr(bool on) override;
  bool SetRts(bool on) override;
  bool SetBreak(bool on) override;
  bool ResumeOutput() override;
  std::optional<LineErrorCounts> GetLineErrors() override;
  std::string Name() const override { return name_; }
  int Fd() const { return fd_; }
  // What the kernel kept of the last Configure (read back after applying).
  const LineSettings& Applied() const { return applied_; }

 protected:
  IoResult ReadSome(uint8_t* buf, size_t max, int timeoutMs) override;
  bool PurgeDevice(bool rx, bool tx) override;

 private:
  TermiosDevice(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}
  bool SetModemBit(int bit, bool on);

  int fd_;
  std::string name_;
  LineSettings applied_;
  bool hasModem_ = true;
  bool hasCounters_ = true;
  // The last read filled the buffer or brought at least kLargeRead bytes.
  static constexpr size_t kLargeRead = 1024;
  static bool Large(size_t n, size_t max) { return n == max || n >= kLargeRead; }
  bool lastReadLarge_ = false;
};

// Waits for Events on Fd at most TimeoutMs, retrying EINTR with the time
// that is left. Returns poll's revents (0 on timeout) or -1 with errno.
int PollFd(int fd, short events, int timeoutMs);

}  // namespace zova
