#pragma once
// A network serial server speaking Telnet with the COM-PORT-OPTION
// ("rfc2217:HOST:PORT"). Unlike "tcp:" the station sets the server's line:
// Configure sends every setting, and since a server forgets them when the
// connection ends, each new connection sends them all again (with DTR and
// RTS as last set). Nothing here waits for an answer, because a server may
// never send one: modem lines and line errors come from the server's
// reports as far as it sends any, and until then they count as unavailable.
// A closed connection behaves as for "tcp:": the current call reports a
// hang-up and the next one connects again, at most once per second.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "serial/device/rfc2217_codec.h"
#include "serial/device/serial_device.h"
#include "serial/device/tcp_link.h"
#include "serial/device/telnet_codec.h"

namespace zova {

// "rfc2217:HOST:PORT" or "rfc2217:[V6ADDR]:PORT"; the prefix in any case.
bool ParseRfc2217Address(std::string_view text, std::string& host, uint16_t& port);

class Rfc2217Device : public SerialDevice {
 public:
  // Connects once and offers the options; null with Err set when that fails.
  static std::unique_ptr<Rfc2217Device> Open(std::string_view address, int& err);

  // Accepted even while the server is away: the settings go with the next
  // connection.
  bool Configure(const LineSettings& settings, int& err) override;
  // The 0xFF bytes of Data are doubled on the way; Count is in bytes of Data.
  IoResult Write(const uint8_t* data, size_t len, int timeoutMs) override;
  // The server's last modem report; nullopt until it has sent one.
  std::optional<ModemStatus> GetModemStatus() override;
  bool SetDtr(bool on) override;
  bool SetRts(bool on) override;
  bool SetBreak(bool on) override;
  bool ResumeOutput() override { return true; }
  // Counted from the server's line reports; nullopt while it has not taken
  // the line-state mask.
  std::optional<LineErrorCounts> GetLineErrors() override;
  std::string Name() const override { return name_; }

  bool Connected() const { return link_.Connected(); }
  // Shortest time between two connection attempts (1000 ms by default).
  void SetReconnectGap(int ms) { link_.SetReconnectGap(ms); }
  // The server's last answer to SET-BAUDRATE, 0 before any.
  uint32_t ReportedBaud() const { return reportedBaud_; }

 protected:
  IoResult ReadSome(uint8_t* buf, size_t max, int timeoutMs) override;
  bool PurgeDevice(bool rx, bool tx) override;

 private:
  Rfc2217Device(std::string name, std::string host, uint16_t port)
      : name_(std::move(name)), link_(std::move(host), port) {}
  bool EnsureSession(int timeoutMs, IoResult& r);
  bool InSession() const { return link_.Connected() && session_ == link_.Connections(); }
  // Sends what is owed and then Control_; what does not go out in time stays
  // owed and goes before any later byte.
  IoResult SendControl(int timeoutMs);
  // Decodes N bytes in place, answers negotiations, takes reports; returns
  // the number of data bytes.
  size_t Take(uint8_t* buf, size_t n);
  void TakeReport(const rfc2217::Report& report);
  // Takes what is waiting without a wait, keeping its data for ReadSome.
  void Pump();

  std::string name_;
  TcpLink link_;
  unsigned session_ = 0;
  telnet::Decoder decoder_;
  telnet::Options options_;
  std::vector<telnet::Event> events_;
  std::vector<uint8_t> control_, owed_, escaped_;
  std::vector<uint8_t> pending_;
  size_t pendingBegin_ = 0;
  std::optional<LineSettings> settings_;
  std::optional<bool> dtr_, rts_;
  std::optional<ModemStatus> modem_;
  std::optional<LineErrorCounts> errors_;
  uint32_t reportedBaud_ = 0;
};

}  // namespace zova
