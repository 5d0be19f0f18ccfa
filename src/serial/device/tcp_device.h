#pragma once
// A network serial server on a raw TCP port ("tcp:HOST:PORT"). The server
// owns the real line settings, so Configure only records them; modem lines,
// break and error counters do not cross a raw TCP port. When the server
// closes the connection the current call reports a hang-up and the next one
// connects again (at most one attempt per second, so an idle driver does not
// hammer a server that is down).

#include <cstdint>
#include <memory>
#include <string>

#include "serial/device/serial_device.h"
#include "serial/device/tcp_link.h"

namespace zova {

// "tcp:HOST:PORT" or "tcp:[V6ADDR]:PORT"; the prefix in any case. False for
// anything else, an empty host or a port outside 1..65535.
bool ParseTcpAddress(std::string_view text, std::string& host, uint16_t& port);

class TcpDevice : public SerialDevice {
 public:
  // Connects once; null with Err set when that fails.
  static std::unique_ptr<TcpDevice> Open(std::string_view address, int& err);

  bool Configure(const LineSettings& settings, int& err) override;
  IoResult Write(const uint8_t* data, size_t len, int timeoutMs) override;
  std::optional<ModemStatus> GetModemStatus() override;
  bool SetDtr(bool on) override;
  bool SetRts(bool on) override;
  bool SetBreak(bool on) override;
  bool ResumeOutput() override { return true; }
  std::optional<LineErrorCounts> GetLineErrors() override;
  std::string Name() const override { return name_; }
  bool Connected() const { return link_.Connected(); }
  // Shortest time between two connection attempts (1000 ms by default).
  void SetReconnectGap(int ms) { link_.SetReconnectGap(ms); }

 protected:
  IoResult ReadSome(uint8_t* buf, size_t max, int timeoutMs) override;
  bool PurgeDevice(bool rx, bool tx) override;

 private:
  TcpDevice(std::string name, std::string host, uint16_t port)
      : name_(std::move(name)), link_(std::move(host), port) {}

  std::string name_;
  TcpLink link_;
};

}  // namespace zova
